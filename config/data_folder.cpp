#include "config/data_folder.h"

#include <optional>

#include "config/file_system.h"

namespace tonvira {
namespace {

std::u16string AsciiLowered(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c += 32;
  }
  return out;
}

bool IsUnder(const std::u16string& folder, std::u16string_view root) {
  if (root.empty()) return false;
  std::u16string lowered = AsciiLowered(root);
  return folder.size() > lowered.size() && folder.starts_with(lowered);
}

std::optional<std::u16string>& CachedDataFolder() {
  static std::optional<std::u16string> folder;
  return folder;
}

std::u16string DecideDataFolder() {
  std::u16string program = ProgramFolder();
  if (IsInstalledFolder(program, ProgramFilesFolder(), ProgramFilesX86Folder())) {
    std::u16string appData = LocalAppDataFolder();
    if (!appData.empty()) {
      std::u16string folder = JoinPath(appData, u"Tonvira");
      MakeFolder(folder);  // a failure shows later as files that cannot be written
      return folder;
    }
  }
  return JoinPath(program, u"data");
}

}  // namespace

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string out(folder);
  if (!out.empty() && out.back() != u'\\' && out.back() != u'/') out.push_back(PathSeparator());
  out.append(name);
  return out;
}

std::u16string FolderOf(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/");
  if (cut == std::u16string_view::npos) return u".";
  return std::u16string(path.substr(0, cut));
}

bool IsInstalledFolder(std::u16string_view programFolder, std::u16string_view programFiles,
                       std::u16string_view programFilesX86) {
  std::u16string folder = AsciiLowered(programFolder);
  return IsUnder(folder, programFiles) || IsUnder(folder, programFilesX86);
}

std::u16string ProgramFolder() {
  return FolderOf(ExecutablePath());
}

std::u16string ShippedDataFolder() {
  return JoinPath(ProgramFolder(), u"data");
}

const std::u16string& DataFolder() {
  std::optional<std::u16string>& cached = CachedDataFolder();
  if (!cached) cached = DecideDataFolder();
  return *cached;
}

void ForgetDataFolder() {
  CachedDataFolder().reset();
}

std::u16string ShippedFilePath(std::u16string_view name) {
  return JoinPath(ShippedDataFolder(), name);
}

std::u16string DataFilePath(std::u16string_view name) {
  std::u16string path = JoinPath(DataFolder(), name);
  if (!FileExists(path)) {
    std::u16string shipped = ShippedFilePath(name);
    // Another process may have created the file meanwhile: the copy then fails, as it should.
    if (FileExists(shipped)) CopyFileIfAbsent(shipped, path);
  }
  return path;
}

}  // namespace tonvira
