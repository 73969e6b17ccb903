// A small Win32 application for the end-to-end tests: an EDIT control that has the focus and,
// a Tab away in the same window, a password EDIT control. Each one's text is written as UTF-8
// after every change, the first to the file named on the command line and the password box to
// that name with ".password" added, so a test can type with xdotool and read what the
// application really received.
#include <windows.h>

#include <optional>
#include <string>

// The test programs are built without the project's include path.
#include "text/win32/handle.h"

namespace {

using tonvira::FileHandle;
using tonvira::LocalMemory;

constexpr int kEditId = 100;
constexpr int kPasswordId = 101;
std::wstring g_outputPath;
HWND g_edit = nullptr;
HWND g_password = nullptr;

void WriteText(HWND edit, const std::wstring& path) {
  int length = GetWindowTextLengthW(edit);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), bytes, nullptr, nullptr);
  // Written to a sibling and moved over, so a reader never sees half a text.
  std::wstring temp = path + L".tmp";
  FileHandle file(
      CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  file.reset();  // closed before it is moved: it is not shared
  MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void WriteTexts() {
  WriteText(g_password, g_outputPath + L".password");
  WriteText(g_edit, g_outputPath);  // last: the main file appearing says both exist
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      g_edit =
          CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                          10, 10, 560, 28, window, reinterpret_cast<HMENU>(kEditId), nullptr, nullptr);
      g_password = CreateWindowExW(
          0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 10,
          48, 560, 28, window, reinterpret_cast<HMENU>(kPasswordId), nullptr, nullptr);
      return 0;
    case WM_SETFOCUS:
      SetFocus(g_edit);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE) {
        if (LOWORD(wParam) == kEditId) WriteText(g_edit, g_outputPath);
        if (LOWORD(wParam) == kPasswordId) WriteText(g_password, g_outputPath + L".password");
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// The command line's argument N (the file to write, then an optional window title).
std::optional<std::wstring> Argument(int n) {
  int argc = 0;
  LocalMemory<LPWSTR*> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  if (!argv || argc <= n) return std::nullopt;
  return argv.get()[n];
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  std::optional<std::wstring> outputPath = Argument(1);
  if (!outputPath) return 2;
  g_outputPath = *outputPath;

  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"TonviraTestEdit";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&wc);
  // Another title lets a copy stand in for another program without being taken for the editor.
  std::wstring title = Argument(2).value_or(L"Tonvira test edit");
  HWND window = CreateWindowExW(0, L"TonviraTestEdit", title.c_str(), WS_OVERLAPPEDWINDOW, 50, 50, 600, 140,
                                nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(g_edit);
  WriteTexts();  // an empty file says the window is up

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg)) continue;  // Tab moves between the two boxes
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
