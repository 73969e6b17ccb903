// Files and folders on a POSIX system, by UTF-8 path: what the file seam's bodies outside Windows
// do (posix/file_system.cpp for the Linux front end, sim/file_system.cpp for the simulated
// machine, which adds its failures on top).
#pragma once

#include <string>
#include <string_view>

#include "config/file_system.h"

namespace tonvira::posix {

bool FileExists(const std::string& path);
FileBytes ReadFileBytes(const std::string& path);
// Creates or truncates, writes every byte, fsyncs and closes.
bool WriteFileBytes(const std::string& path, std::string_view bytes);
bool MoveFileOver(const std::string& from, const std::string& to);
bool CopyFileIfAbsent(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
bool MakeFolder(const std::string& path);
// /proc/self/exe; empty when it cannot be read.
std::string ExecutablePath();
// The user's configuration folder as the XDG base directories say: XDG_CONFIG_HOME when it is an
// absolute path, else HOME/.config; empty without either. The arguments are the variables' values
// (null when unset).
std::string ConfigHome(const char* xdgConfigHome, const char* home);

}  // namespace tonvira::posix
