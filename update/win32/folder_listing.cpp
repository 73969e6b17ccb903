// The folder listing on Windows: FindFirstFileW over "*".
#include "update/folder_listing.h"

#include <windows.h>

namespace tonvira {

std::vector<std::u16string> FilesInFolder(std::u16string_view folder) {
  std::vector<std::u16string> names;
  std::wstring pattern(folder.begin(), folder.end());
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::wstring name = found.cFileName;
    names.emplace_back(name.begin(), name.end());
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

}  // namespace tonvira
