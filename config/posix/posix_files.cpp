#include "config/posix/posix_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tonvira::posix {
namespace {

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

bool FileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

FileBytes ReadFileBytes(const std::string& path) {
  FileBytes out;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    out.status = errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Unreadable;
    return out;
  }
  out.status = FileRead::Ok;
  struct stat info;
  if (::fstat(fd, &info) == 0 && info.st_size > 0) out.bytes.reserve(static_cast<size_t>(info.st_size));
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

bool WriteFileBytes(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes);
  ok = ::fsync(fd) == 0 && ok;
  return ::close(fd) == 0 && ok;
}

bool MoveFileOver(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFileIfAbsent(const std::string& from, const std::string& to) {
  FileBytes source = ReadFileBytes(from);
  if (source.status != FileRead::Ok) return false;
  int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, source.bytes);
  return ::close(fd) == 0 && ok;
}

bool RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

bool MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  struct stat info;
  return errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ExecutablePath() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return {};
  return std::string(buffer, static_cast<size_t>(n));
}

std::string ConfigHome(const char* xdgConfigHome, const char* home) {
  if (xdgConfigHome && xdgConfigHome[0] == '/') return xdgConfigHome;  // a relative one is ignored
  if (home && home[0] == '/') return std::string(home) + "/.config";
  return {};
}

}  // namespace tonvira::posix
