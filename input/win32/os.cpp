// The keyboard pipeline's OS seam on Windows: thin translations of Win32 calls and types.
#include "input/os.h"

#include <windows.h>

#include <atomic>
#include <cwchar>
#include <vector>

#include "text/win32/handle.h"

namespace tonvira::os {
namespace {

HookHandle g_keyboardHook;
HookHandle g_mouseHook;
// Set by the windows' thread, read by the hook thread.
std::atomic<KeyboardHookFn> g_keyboardFn{nullptr};
std::atomic<MouseHookFn> g_mouseFn{nullptr};

HWND AsWindow(WindowId id) {
  return reinterpret_cast<HWND>(id);
}

// The raw hook structure becomes a portable key event here and nowhere else.
KeyEvent ToKeyEvent(WPARAM message, const KBDLLHOOKSTRUCT& raw) {
  KeyEvent event;
  event.vk = raw.vkCode;
  event.scan = raw.scanCode;
  event.flags = raw.flags & (LLKHF_EXTENDED | LLKHF_INJECTED);
  event.time = raw.time;
  event.extraInfo = static_cast<uint64_t>(raw.dwExtraInfo);
  event.down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  return event;
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  KeyboardHookFn hook = g_keyboardFn.load();
  if (code == HC_ACTION && hook) {
    const KeyEvent event = ToKeyEvent(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
    if (hook(event) == HookAction::Swallow) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

MouseMessage ToMouseMessage(WPARAM message) {
  switch (message) {
    case WM_LBUTTONDOWN:
      return MouseMessage::LeftDown;
    case WM_LBUTTONUP:
      return MouseMessage::LeftUp;
    case WM_RBUTTONDOWN:
      return MouseMessage::RightDown;
    case WM_RBUTTONUP:
      return MouseMessage::RightUp;
    case WM_MBUTTONDOWN:
      return MouseMessage::MiddleDown;
    case WM_MBUTTONUP:
      return MouseMessage::MiddleUp;
    case WM_XBUTTONDOWN:
      return MouseMessage::XDown;
    case WM_XBUTTONUP:
      return MouseMessage::XUp;
    case WM_MOUSEWHEEL:
      return MouseMessage::Wheel;
    case WM_MOUSEHWHEEL:
      return MouseMessage::HorizontalWheel;
    case WM_LBUTTONDBLCLK:
      return MouseMessage::DoubleClick;
    default:
      return MouseMessage::Move;
  }
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
  MouseHookFn hook = g_mouseFn.load();
  if (code == HC_ACTION && hook) {
    const auto& raw = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    MouseEvent event;
    event.message = ToMouseMessage(wParam);
    event.time = raw.time;
    event.injected = (raw.flags & LLMHF_INJECTED) != 0;
    hook(event);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A new hook replaces the old one only once it is in place.
bool Install(HookHandle& slot, int kind, HOOKPROC proc) {
  HHOOK hook = SetWindowsHookExW(kind, proc, GetModuleHandleW(nullptr), 0);
  if (!hook) return false;
  slot.reset(hook);
  return true;
}

bool InstallKeyboardHere() {
  return Install(g_keyboardHook, WH_KEYBOARD_LL, KeyboardProc);
}
bool InstallMouseHere() {
  return Install(g_mouseHook, WH_MOUSE_LL, MouseProc);
}
bool RemoveHere() {
  g_keyboardHook.reset();
  g_mouseHook.reset();
  PostQuitMessage(0);
  return true;
}

// Windows calls a low-level hook on the thread that installed it, through that thread's
// messages. The hooks get a thread of their own that does nothing else: whatever the windows'
// thread is busy with (a dialog being built, a file being saved), a key is handled at once.
constexpr UINT kRunOnHookThread = WM_APP + 1;

struct HookRequest {
  bool (*work)() = nullptr;
  bool result = false;
  KernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

KernelHandle g_hookThread;
DWORD g_hookThreadId = 0;

DWORD WINAPI HookThreadMain(void* ready) {
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the queue exists from here on
  SetEvent(static_cast<HANDLE>(ready));
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != kRunOnHookThread) continue;
    auto* request = reinterpret_cast<HookRequest*>(msg.lParam);
    request->result = request->work();
    SetEvent(request->done.get());
  }
  return 0;
}

bool StartHookThread() {
  if (g_hookThread) return true;
  KernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) return false;
  g_hookThread.reset(CreateThread(nullptr, 0, HookThreadMain, ready.get(), 0, &g_hookThreadId));
  if (!g_hookThread) return false;
  // Keys come before everything else this process does.
  SetThreadPriority(g_hookThread.get(), THREAD_PRIORITY_HIGHEST);
  WaitForSingleObject(ready.get(), INFINITE);
  return true;
}

// Runs work on the hook thread and waits for it: that thread only ever handles one key at a
// time, so the wait is short.
bool OnHookThread(bool (*work)()) {
  if (!StartHookThread()) return false;
  HookRequest request;
  request.work = work;
  if (!request.done ||
      !PostThreadMessageW(g_hookThreadId, kRunOnHookThread, 0, reinterpret_cast<LPARAM>(&request))) {
    return false;
  }
  WaitForSingleObject(request.done.get(), INFINITE);
  return request.result;
}

std::optional<uint32_t> IntegrityOfProcess(HANDLE process) {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &opened)) return 0u;
  KernelHandle token(opened);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<BYTE> buffer(size ? size : 1);
  uint32_t level = 0;
  if (size && GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size)) {
    auto* label = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data());
    DWORD count = *GetSidSubAuthorityCount(label->Label.Sid);
    if (count > 0) level = *GetSidSubAuthority(label->Label.Sid, count - 1);
  }
  return level;
}

}  // namespace

WindowId ForegroundWindow() {
  return reinterpret_cast<WindowId>(GetForegroundWindow());
}

uint32_t WindowProcessId(WindowId window) {
  DWORD pid = 0;
  if (window) GetWindowThreadProcessId(AsWindow(window), &pid);
  return pid;
}

bool WindowIsOurs(WindowId window) {
  return window && WindowProcessId(window) == GetCurrentProcessId();
}

std::u16string WindowTitle(WindowId window, size_t maxUnits) {
  std::wstring buffer(maxUnits + 1, L'\0');
  // Not GetWindowText: for a window of this process it sends WM_GETTEXT to the window's thread,
  // and the hooks' thread would wait for the windows' thread.
  int n =
      window ? InternalGetWindowText(AsWindow(window), buffer.data(), static_cast<int>(buffer.size())) : 0;
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), n > 0 ? static_cast<size_t>(n) : 0);
}

bool FocusHasProperty(std::u16string_view name) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  DWORD thread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  if (!GetGUIThreadInfo(thread, &info) || !info.hwndFocus) return false;
  std::wstring property(reinterpret_cast<const wchar_t*>(name.data()), name.size());
  return GetPropW(info.hwndFocus, property.c_str()) != nullptr;
}

std::optional<uint32_t> ProcessIntegrityLevel(uint32_t processId) {
  KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return std::nullopt;
  return IntegrityOfProcess(process.get());
}

uint32_t OwnIntegrityLevel() {
  static const uint32_t level = IntegrityOfProcess(GetCurrentProcess()).value_or(0);
  return level;
}

bool KeyStateDown(uint32_t vk) {
  return (GetKeyState(static_cast<int>(vk)) & 0x8000) != 0;
}
bool AsyncKeyDown(uint32_t vk) {
  return (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) != 0;
}
bool ReadKeyboardState(KeyboardState& state) {
  return GetKeyboardState(state.data()) != 0;
}

LayoutId ForegroundLayout(WindowId foreground) {
  DWORD thread = foreground ? GetWindowThreadProcessId(AsWindow(foreground), nullptr) : 0;
  return reinterpret_cast<LayoutId>(GetKeyboardLayout(thread));
}

Translation TranslateKey(uint32_t vk, uint32_t scan, const KeyboardState& state, LayoutId layout) {
  Translation t;
  wchar_t buffer[8] = {};
  // Flag 4: leave the keyboard state (dead keys) as it is.
  t.count = ToUnicodeEx(vk, scan, state.data(), buffer, 8, 4, reinterpret_cast<HKL>(layout));
  for (int i = 0; i < 8; ++i) t.units[i] = static_cast<char16_t>(buffer[i]);
  return t;
}

SendOutcome SendEvents(std::span<const OutputEvent> events) {
  // Reused from batch to batch (only the hook thread sends): it grows to the longest batch
  // once, and typing allocates nothing more.
  static thread_local std::vector<INPUT> inputs;
  inputs.assign(events.size(), INPUT{});
  for (size_t i = 0; i < events.size(); ++i) {
    INPUT& in = inputs[i];
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = events[i].vk;
    in.ki.wScan = events[i].scan;
    in.ki.dwFlags = (events[i].flags & kEventExtendedKey ? KEYEVENTF_EXTENDEDKEY : 0) |
                    (events[i].flags & kEventKeyUp ? KEYEVENTF_KEYUP : 0) |
                    (events[i].flags & kEventUnicode ? KEYEVENTF_UNICODE : 0);
    in.ki.dwExtraInfo = static_cast<ULONG_PTR>(events[i].extraInfo);
  }
  SendOutcome outcome;
  if (inputs.empty()) return outcome;
  outcome.inserted = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (outcome.inserted != inputs.size()) outcome.error = GetLastError();
  return outcome;
}

bool PostToWindow(WindowId window, uint32_t message) {
  return window && PostMessageW(AsWindow(window), message, 0, 0) != 0;
}

uint32_t TickCount() {
  return GetTickCount();
}

uint32_t HookTimeoutMs() {
  // Written as a number or as text, depending on who set it; Windows 10 caps it at a second.
  constexpr uint32_t kCapMs = 1000;
  const wchar_t* key = L"Control Panel\\Desktop";
  const wchar_t* name = L"LowLevelHooksTimeout";
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
    wchar_t text[16] = L"";
    size = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
      return kDefaultHookTimeoutMs;
    }
    value = wcstoul(text, nullptr, 10);
  }
  if (value == 0) return kDefaultHookTimeoutMs;
  return value < kCapMs ? value : kCapMs;
}

bool InstallKeyboardHook(KeyboardHookFn hook) {
  g_keyboardFn = hook;
  return OnHookThread(InstallKeyboardHere);
}

bool InstallMouseHook(MouseHookFn hook) {
  g_mouseFn = hook;
  return OnHookThread(InstallMouseHere);
}

void RemoveHooks() {
  if (!g_hookThread) return;
  OnHookThread(RemoveHere);
  WaitForSingleObject(g_hookThread.get(), 5000);
  g_hookThread.reset();
  g_hookThreadId = 0;
}

}  // namespace tonvira::os
