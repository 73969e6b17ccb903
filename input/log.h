// The diagnostic trace of the keyboard pipeline: off unless TONVIRA_LOG names a file.
#pragma once

namespace tonvira {

// Opens the file named by TONVIRA_LOG (created or truncated) while no log is open. A missing,
// empty or over-long value, or a file that cannot be created, leaves the log off; the next
// call tries again.
void OpenLog();
bool LogIsOpen();
// printf-style; each line is flushed at once. Does nothing while no log is open.
#ifdef __MINGW32__
// mingw's own printf (see __USE_MINGW_ANSI_STDIO) takes %zu like the C library on Linux.
void LogLine(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
#else
void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
#endif
// The log lives until the process ends; tests close it to start another one.
void CloseLog();

}  // namespace tonvira
