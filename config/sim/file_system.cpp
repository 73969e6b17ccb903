// The file-system seam on the simulated machine: POSIX files, '/' as separator, the Windows
// folders the machine reports, and the failures its switches inject.
#include "config/file_system.h"

#include "config/posix/posix_files.h"
#include "sim/sim_machine.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

std::string Native(std::u16string_view path) {
  return Utf16ToUtf8(path);
}

const SimFaults& Faults() {
  return SimulatedMachine().faults;
}

}  // namespace

std::u16string ExecutablePath() {
  if (!SimulatedMachine().executablePath.empty()) return SimulatedMachine().executablePath;
  return Utf8ToUtf16(posix::ExecutablePath());
}

std::u16string ProgramFilesFolder() {
  return SimulatedMachine().programFiles;
}
std::u16string ProgramFilesX86Folder() {
  return SimulatedMachine().programFilesX86;
}
std::u16string LocalAppDataFolder() {
  return SimulatedMachine().localAppData;
}
std::u16string StartupFolder() {
  return SimulatedMachine().startupFolder;
}
char16_t PathSeparator() {
  return u'/';
}

bool FileExists(std::u16string_view path) {
  return posix::FileExists(Native(path));
}

FileBytes ReadFileBytes(std::u16string_view path) {
  if (Faults().unreadable.contains(std::u16string(path)) && FileExists(path))
    return {FileRead::Unreadable, {}};
  return posix::ReadFileBytes(Native(path));
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  bool shortWrite = Faults().failWrites || Faults().silentShortWrites;
  bool ok = posix::WriteFileBytes(Native(path), shortWrite ? bytes.substr(0, bytes.size() / 2) : bytes);
  return ok && !Faults().failWrites;
}

bool MoveFileOver(std::u16string_view from, std::u16string_view to) {
  return !Faults().failMoves && posix::MoveFileOver(Native(from), Native(to));
}

bool CopyFileIfAbsent(std::u16string_view from, std::u16string_view to) {
  return !Faults().failCopies && posix::CopyFileIfAbsent(Native(from), Native(to));
}

bool RemoveFile(std::u16string_view path) {
  return posix::RemoveFile(Native(path));
}

bool MakeFolder(std::u16string_view path) {
  return posix::MakeFolder(Native(path));
}

}  // namespace tonvira
