// What the data files need from the operating system: a few folders, and whole-file reads and
// writes. Windows implements it in config/win32/file_system.cpp, the simulated desktop in
// config/sim/file_system.cpp. Paths are UTF-16 here and converted at the edge.
#pragma once

#include <string>
#include <string_view>

namespace tonvira {

// The running executable's full path; empty when it cannot be had.
std::u16string ExecutablePath();
// The Program Files and Program Files (x86) folders; empty when unknown.
std::u16string ProgramFilesFolder();
std::u16string ProgramFilesX86Folder();
// The per-user local application data folder; empty when it cannot be had.
std::u16string LocalAppDataFolder();
// The per-user Startup folder of the shell; empty when it cannot be had.
std::u16string StartupFolder();
// The separator added when a name is joined to a folder.
char16_t PathSeparator();

bool FileExists(std::u16string_view path);

enum class FileRead {
  Ok,
  Missing,     // no such file
  Unreadable,  // it is there but could not be opened or read (locked, denied, I/O error)
};
struct FileBytes {
  FileRead status = FileRead::Missing;
  std::string bytes;  // the whole file when status is Ok
};
// Opens with sharing allowed and reads the file whole.
FileBytes ReadFileBytes(std::u16string_view path);

// Creates or truncates the file, writes every byte, flushes it to the disk and closes it.
// False on any failure; the file may then hold part of the bytes.
bool WriteFileBytes(std::u16string_view path, std::string_view bytes);
// Moves a file over another, replacing it; on Windows the move is written through to the disk.
bool MoveFileOver(std::u16string_view from, std::u16string_view to);
// Copies a file unless the target exists; never overwrites.
bool CopyFileIfAbsent(std::u16string_view from, std::u16string_view to);
bool RemoveFile(std::u16string_view path);
// True when the folder exists afterwards.
bool MakeFolder(std::u16string_view path);

}  // namespace tonvira
