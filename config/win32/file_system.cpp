// The file-system seam on Windows: shell folders, the module path, and whole-file reads and
// writes with CreateFileW. Paths are UTF-16 on both sides; only the type changes.
#include "config/file_system.h"

#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "text/win32/handle.h"
#include "text/win32/wide.h"

namespace tonvira {
namespace {

std::u16string KnownFolder(REFKNOWNFOLDERID id) {
  // Freed whether or not the call succeeded, as the shell asks.
  TaskMemory<PWSTR> path;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, path.put())) && path) return FromWide(path.get());
  return {};
}

}  // namespace

std::u16string ExecutablePath() {
  // A path longer than MAX_PATH comes back truncated: grow the buffer until it fits.
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::wstring buffer(size, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) return FromWide(std::wstring_view(buffer.data(), length));
  }
  return {};
}

std::u16string ProgramFilesFolder() {
  return KnownFolder(FOLDERID_ProgramFiles);
}
std::u16string ProgramFilesX86Folder() {
  return KnownFolder(FOLDERID_ProgramFilesX86);
}
std::u16string LocalAppDataFolder() {
  return KnownFolder(FOLDERID_LocalAppData);
}
std::u16string StartupFolder() {
  return KnownFolder(FOLDERID_Startup);
}
char16_t PathSeparator() {
  return u'\\';
}

bool FileExists(std::u16string_view path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileBytes ReadFileBytes(std::u16string_view path) {
  FileBytes out;
  FileHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD error = GetLastError();
    bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    out.status = missing ? FileRead::Missing : FileRead::Unreadable;
    return out;
  }
  out.status = FileRead::Ok;
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
      out.status = FileRead::Unreadable;
      out.bytes.clear();
      break;
    }
    if (read == 0) break;
    out.bytes.append(buffer, read);
  }
  return out;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  FileHandle file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file.get())) return false;
  // Closing can report a failed delayed write.
  return CloseHandle(file.release()) != 0;
}

bool MoveFileOver(std::u16string_view from, std::u16string_view to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool CopyFileIfAbsent(std::u16string_view from, std::u16string_view to) {
  return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), TRUE) != 0;  // TRUE: fail if it exists
}

bool RemoveFile(std::u16string_view path) {
  return DeleteFileW(Wide(path).c_str()) != 0;
}

bool MakeFolder(std::u16string_view path) {
  std::wstring folder = Wide(path);
  if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
  DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace tonvira
