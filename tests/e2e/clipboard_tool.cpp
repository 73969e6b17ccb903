// Puts text on the clipboard or reads it back, for the end-to-end tests: more deterministic
// than going through the X selection. Usage:
//   tonvira_clipboard_tool set FILE   the UTF-8 text of FILE as CF_UNICODETEXT
//   tonvira_clipboard_tool empty      an empty clipboard (no text at all)
//   tonvira_clipboard_tool get FILE   the clipboard's text into FILE as UTF-8 (empty when none)
// Exits 0 on success.
#include <windows.h>

#include "tests/e2e/utf8_file.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Data can only be set by a clipboard opened with a window: a message-only one is enough.
bool OpenWithRetry() {
  static HWND owner =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  for (int i = 0; i < 50; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(100);
  }
  return false;
}

std::string ReadFileBytes(const wchar_t* path) {
  std::string bytes;
  if (FILE* f = _wfopen(path, L"rb")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) bytes.append(buffer, n);
    fclose(f);
  }
  return bytes;
}

int Set(const wchar_t* path) {
  std::string utf8 = ReadFileBytes(path);
  int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(wchar_t));
  if (!block) return 1;
  auto* text = static_cast<wchar_t*>(GlobalLock(block));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text, units);
  text[units] = L'\0';
  GlobalUnlock(block);
  if (!OpenWithRetry()) return 1;
  EmptyClipboard();
  bool ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  CloseClipboard();
  return ok ? 0 : 1;
}

int Empty() {
  if (!OpenWithRetry()) return 1;
  EmptyClipboard();
  CloseClipboard();
  return 0;
}

int Get(const wchar_t* path) {
  if (!OpenWithRetry()) return 1;
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      text.assign(units, wcsnlen(units, GlobalSize(data) / sizeof(wchar_t)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return WriteUtf8File(path, text);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && wcscmp(argv[1], L"set") == 0) return Set(argv[2]);
  if (argc == 2 && wcscmp(argv[1], L"empty") == 0) return Empty();
  if (argc == 3 && wcscmp(argv[1], L"get") == 0) return Get(argv[2]);
  return 2;
}
