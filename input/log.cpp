#include "input/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tonvira {
namespace {

// The variable is read into 512 bytes, terminator included.
constexpr size_t kLogPathBuffer = 512;

FILE* g_log = nullptr;

}  // namespace

void OpenLog() {
  if (g_log) return;
  const char* path = std::getenv("TONVIRA_LOG");
  if (!path) return;
  size_t length = std::strlen(path);
  if (length == 0 || length + 1 > kLogPathBuffer) return;
  g_log = std::fopen(path, "w");
}

bool LogIsOpen() {
  return g_log != nullptr;
}

void LogLine(const char* format, ...) {
  if (!g_log) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(g_log, format, args);
  va_end(args);
  std::fflush(g_log);
}

void CloseLog() {
  if (g_log) std::fclose(g_log);
  g_log = nullptr;
}

}  // namespace tonvira
