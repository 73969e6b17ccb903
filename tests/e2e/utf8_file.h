// The test helpers' answers: UTF-16 text written to a file as UTF-8.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// 0 when written, 1 when the file could not be created.
inline int WriteUtf8File(const wchar_t* path, const std::wstring& text) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                  nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr,
                      nullptr);
  FILE* file = _wfopen(path, L"wb");
  if (!file) return 1;
  fwrite(utf8.data(), 1, utf8.size(), file);
  fclose(file);
  return 0;
}
