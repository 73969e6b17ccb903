// The file-system seam on a POSIX desktop (the Linux front end): real files, '/' as separator,
// the user's data under the XDG configuration folder, autostart entries in its autostart/.
//
// The front end is a library inside the fcitx5 daemon, not a program of its own: it stands where
// its package put its folder, <prefix>/share/tonvira (the environment variable TONVIRA_SHARE_DIR
// overrides it, for a package unpacked elsewhere), with the shipped files in its data/. The
// folder above stands for Program Files: the front end counts as installed, and the user's files
// live in the configuration folder's Tonvira/.
#include "config/file_system.h"

#include <cstdlib>

#include "config/data_folder.h"
#include "config/posix/posix_files.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

std::string Native(std::u16string_view path) {
  return Utf16ToUtf8(path);
}

std::u16string PackageFolder() {
  const char* overridden = std::getenv("TONVIRA_SHARE_DIR");
  return Utf8ToUtf16(overridden && *overridden ? overridden : TONVIRA_SHARE_DIR);
}

}  // namespace

// A name in the package's folder: the shipped data is found beside it, as beside tonvira.exe.
std::u16string ExecutablePath() {
  return PackageFolder() + u"/tonvira";
}
std::u16string ProgramFilesFolder() {
  return FolderOf(PackageFolder());
}
std::u16string ProgramFilesX86Folder() {
  return {};
}
std::u16string LocalAppDataFolder() {
  return Utf8ToUtf16(posix::ConfigHome(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
}
std::u16string StartupFolder() {
  std::u16string config = LocalAppDataFolder();
  return config.empty() ? config : config + u"/autostart";
}
char16_t PathSeparator() {
  return u'/';
}

bool FileExists(std::u16string_view path) {
  return posix::FileExists(Native(path));
}
FileBytes ReadFileBytes(std::u16string_view path) {
  return posix::ReadFileBytes(Native(path));
}
bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  return posix::WriteFileBytes(Native(path), bytes);
}
bool MoveFileOver(std::u16string_view from, std::u16string_view to) {
  return posix::MoveFileOver(Native(from), Native(to));
}
bool CopyFileIfAbsent(std::u16string_view from, std::u16string_view to) {
  return posix::CopyFileIfAbsent(Native(from), Native(to));
}
bool RemoveFile(std::u16string_view path) {
  return posix::RemoveFile(Native(path));
}
bool MakeFolder(std::u16string_view path) {
  return posix::MakeFolder(Native(path));
}

}  // namespace tonvira
