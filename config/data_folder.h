// Where the program's files live: the shipped "data" folder beside the executable, and the
// data folder the user's files are kept in (per user when the program is installed).
#pragma once

#include <string>
#include <string_view>

namespace tonvira {

// "C:\x" + "a.txt" -> "C:\x\a.txt"; no separator is added after a trailing \ or /, and an
// empty folder gives the name alone.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);
// The folder part of a path, cut at the last \ or /; "." when there is none.
std::u16string FolderOf(std::u16string_view path);
// Installed: the program folder (A-Z lowered) is longer than and begins with one of the
// Program Files folders (also lowered). An empty Program Files folder never matches.
bool IsInstalledFolder(std::u16string_view programFolder, std::u16string_view programFiles,
                       std::u16string_view programFilesX86);

std::u16string ProgramFolder();
std::u16string ShippedDataFolder();
// Decided on first use and kept for the life of the process.
const std::u16string& DataFolder();
// The next DataFolder call decides the folder again (a changed simulated machine).
void ForgetDataFolder();

std::u16string ShippedFilePath(std::u16string_view name);
// The user's copy of a data file. A fresh user gets the shipped file copied first; an
// existing file is never overwritten.
std::u16string DataFilePath(std::u16string_view name);

}  // namespace tonvira
