// The file-system seam on the simulated machine: POSIX files, '/' as separator, and the
// failures the machine's switches inject.
#include "config/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "config/utf8.h"
#include "sim/sim_machine.h"

namespace tonvira {
namespace {

std::string Native(std::u16string_view path) {
  return Utf16ToUtf8(path);
}

const SimFaults& Faults() {
  return SimulatedMachine().faults;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

std::u16string ExecutablePath() {
  if (!SimulatedMachine().executablePath.empty()) return SimulatedMachine().executablePath;
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return {};
  return Utf8ToUtf16(std::string_view(buffer, static_cast<size_t>(n)));
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
  struct stat info;
  return ::stat(Native(path).c_str(), &info) == 0;
}

FileBytes ReadFileBytes(std::u16string_view path) {
  FileBytes out;
  if (Faults().unreadable.contains(std::u16string(path)) && FileExists(path)) {
    out.status = FileRead::Unreadable;
    return out;
  }
  int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    out.status = errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Unreadable;
    return out;
  }
  out.status = FileRead::Ok;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      out.status = FileRead::Unreadable;  // a folder, or an I/O error
      out.bytes.clear();
      break;
    }
    if (n == 0) break;
    out.bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return out;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  int fd = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool shortWrite = Faults().failWrites || Faults().silentShortWrites;
  bool ok = WriteAll(fd, shortWrite ? bytes.substr(0, bytes.size() / 2) : bytes);
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  return ok && !Faults().failWrites;
}

bool MoveFileOver(std::u16string_view from, std::u16string_view to) {
  if (Faults().failMoves) return false;
  return ::rename(Native(from).c_str(), Native(to).c_str()) == 0;
}

bool CopyFileIfAbsent(std::u16string_view from, std::u16string_view to) {
  if (Faults().failCopies) return false;
  FileBytes source = ReadFileBytes(from);
  if (source.status != FileRead::Ok) return false;
  int fd = ::open(Native(to).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, source.bytes);
  ok = ::close(fd) == 0 && ok;
  return ok;
}

bool RemoveFile(std::u16string_view path) {
  return ::unlink(Native(path).c_str()) == 0;
}

bool MakeFolder(std::u16string_view path) {
  if (::mkdir(Native(path).c_str(), 0755) == 0) return true;
  struct stat info;
  return errno == EEXIST && ::stat(Native(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace tonvira
