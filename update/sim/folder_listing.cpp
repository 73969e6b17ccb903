// The folder listing on Linux: the simulated machine's files are POSIX files.
#include "update/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include "text/utf8.h"

namespace tonvira {

std::vector<std::u16string> FilesInFolder(std::u16string_view folder) {
  std::vector<std::u16string> names;
  std::string native = Utf16ToUtf8(folder);
  DIR* dir = ::opendir(native.c_str());
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string path = native + "/" + entry->d_name;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
      names.push_back(Utf8ToUtf16(entry->d_name));
  }
  ::closedir(dir);
  return names;
}

}  // namespace tonvira
