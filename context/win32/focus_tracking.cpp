// The focus-tracking thread on Windows: WinEvent hooks for focus and foreground changes, and
// a short poll of the foreground and focus windows for the events that never come (Wine has
// no EVENT_SYSTEM_FOREGROUND). Element properties come from UI Automation where it exists;
// without it the field is classified by its process, its window and the focused control.
#include "context/focus_tracking.h"

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

#include "context/focus_tracking_loop.h"
#include "context/win32/uia.h"

namespace tonvira {
namespace {

constexpr wchar_t kTrackerClass[] = L"TonviraFocusTracker";
constexpr UINT kTurnMessage = WM_APP + 1;      // the turn a burst of events asked for
constexpr UINT kClassifyMessage = WM_APP + 2;  // the rules were edited
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 250;
// How long shut-down waits for the thread: a hung application can hold a UI Automation call.
constexpr DWORD kStopWaitMs = 2000;

FocusTracker* g_tracker = nullptr;
HWND g_notifyWindow = nullptr;
UINT g_notifyMessage = 0;
HANDLE g_thread = nullptr;
DWORD g_threadId = 0;
std::atomic<bool> g_running{false};
// The thread's message-only window: messages for it reach its procedure even from inside the
// modal loop a UI Automation call runs, where thread messages would be lost.
HWND g_window = nullptr;
uia::IAutomation* g_automation = nullptr;  // created and used on the tracking thread only

std::u16string ToU16(const wchar_t* s, size_t n) {
  return std::u16string(s, s + n);
}

std::u16string ProcessFileName(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = pid ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid) : nullptr;
  if (!process) return {};
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  std::u16string name;
  if (QueryFullProcessImageNameW(process, 0, path, &size)) {
    std::wstring full(path, size);
    size_t slash = full.find_last_of(L"\\/");
    std::wstring file = slash == std::wstring::npos ? full : full.substr(slash + 1);
    name = ToU16(file.data(), file.size());
  }
  CloseHandle(process);
  return name;
}

std::u16string StringProperty(uia::IElement* element, int property) {
  VARIANT v;
  VariantInit(&v);
  std::u16string out;
  if (SUCCEEDED(element->GetCurrentPropertyValue(property, &v)) && v.vt == VT_BSTR && v.bstrVal) {
    out = ToU16(v.bstrVal, SysStringLen(v.bstrVal));
  }
  VariantClear(&v);
  return out;
}

int IntProperty(uia::IElement* element, int property) {
  VARIANT v;
  VariantInit(&v);
  int out = 0;
  if (SUCCEEDED(element->GetCurrentPropertyValue(property, &v))) {
    if (v.vt == VT_I4) out = v.lVal;
    if (v.vt == VT_BOOL) out = v.boolVal != VARIANT_FALSE;
  }
  VariantClear(&v);
  return out;
}

// The focused element's properties, when UI Automation is there (Wine has none).
void ReadElement(FocusFacts& f) {
  if (!g_automation) return;
  uia::ComPtr<uia::IElement> element;
  if (FAILED(g_automation->GetFocusedElement(element.Out())) || !element) return;
  f.hasElement = true;
  f.elementIsPassword = IntProperty(element.p, uia::kPropertyIsPassword) != 0;
  f.elementName = StringProperty(element.p, uia::kPropertyName);
  f.automationId = StringProperty(element.p, uia::kPropertyAutomationId);
  f.controlType = IntProperty(element.p, uia::kPropertyControlType);
  if (f.controlType != kControlTypeEdit) return;
  uia::ComPtr<uia::ITreeWalker> walker;
  uia::ComPtr<uia::IElement> parent;
  if (SUCCEEDED(g_automation->get_ControlViewWalker(walker.Out())) && walker &&
      SUCCEEDED(walker->GetParentElement(element.p, parent.Out())) && parent) {
    f.parentControlType = IntProperty(parent.p, uia::kPropertyControlType);
  }
}

HWND FocusWindow(HWND foreground) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  DWORD thread = GetWindowThreadProcessId(foreground, nullptr);
  return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

std::u16string ClassName(HWND window, int limit) {
  wchar_t buffer[256] = {};
  int n = GetClassNameW(window, buffer, limit);
  return ToU16(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

FocusFacts ReadFacts(HWND foreground) {
  FocusFacts f;
  f.foreground = reinterpret_cast<uintptr_t>(foreground);
  f.ownProcessId = GetCurrentProcessId();
  if (!foreground) return f;
  DWORD pid = 0;
  GetWindowThreadProcessId(foreground, &pid);
  f.processId = pid;
  f.processName = ProcessFileName(foreground);
  f.windowClass = ClassName(foreground, 81);
  wchar_t buffer[256] = {};
  int n = GetWindowTextW(foreground, buffer, 256);
  f.title = ToU16(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  if (HWND focus = FocusWindow(foreground)) {
    f.focusWindowClass = ClassName(focus, 256);
    f.focusWindowStyle = static_cast<uint32_t>(GetWindowLongW(focus, GWL_STYLE));
  }
  ReadElement(f);
  return f;
}

class Win32FocusSystem final : public FocusSystem {
 public:
  FocusWindows Windows() override {
    HWND foreground = GetForegroundWindow();
    return {reinterpret_cast<uintptr_t>(foreground), reinterpret_cast<uintptr_t>(FocusWindow(foreground))};
  }
  FocusFacts ReadFacts() override { return tonvira::ReadFacts(GetForegroundWindow()); }
  void RequestTurn() override { PostMessageW(g_window, kTurnMessage, 0, 0); }
  void Published(const FocusClassification&, uint64_t sequence) override {
    if (g_notifyWindow) PostMessageW(g_notifyWindow, g_notifyMessage, static_cast<WPARAM>(sequence), 0);
  }
};

std::optional<FocusTrackingLoop> g_loop;  // lives on the tracking thread

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
  if (g_loop) g_loop->OnEvent();
}

LRESULT CALLBACK TrackerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!g_loop) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case kTurnMessage:
      g_loop->OnTurn();
      return 0;
    case kClassifyMessage:
      g_loop->Classify();
      return 0;
    case WM_TIMER:
      if (wParam == kPollTimer) g_loop->OnPoll();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool CreateTrackerWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = TrackerWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kTrackerClass;
  RegisterClassW(&wc);
  g_window =
      CreateWindowExW(0, kTrackerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  return g_window != nullptr;
}

DWORD WINAPI TrackingThread(void* ready) {
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the queue exists from here on
  bool haveWindow = CreateTrackerWindow();
  SetEvent(static_cast<HANDLE>(ready));
  if (!haveWindow) return 1;
  // COM is released at the end only when this succeeded (a thread already in another
  // apartment mode gets an error and must not uninitialise).
  bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  if (!com || FAILED(CoCreateInstance(uia::kClsidCUIAutomation, nullptr, CLSCTX_INPROC_SERVER,
                                      uia::kIidIUIAutomation, reinterpret_cast<void**>(&g_automation)))) {
    g_automation = nullptr;  // "class not registered" under Wine: classify without elements
  }
  Win32FocusSystem system;
  g_loop.emplace(*g_tracker, system);
  DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
  HWINEVENTHOOK focusHook =
      SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnWinEvent, 0, 0, flags);
  HWINEVENTHOOK foregroundHook =
      SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnWinEvent, 0, 0, flags);
  SetTimer(g_window, kPollTimer, kPollMs, nullptr);
  g_loop->Classify();
  while (g_running && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  KillTimer(g_window, kPollTimer);
  if (focusHook) UnhookWinEvent(focusHook);
  if (foregroundHook) UnhookWinEvent(foregroundHook);
  g_loop.reset();
  DestroyWindow(g_window);
  if (g_automation) g_automation->Release();
  g_automation = nullptr;
  if (com) CoUninitialize();
  return 0;
}

}  // namespace

bool StartFocusTracker(FocusTracker& tracker, std::u16string_view path, uintptr_t notifyWindow,
                       uint32_t notifyMessage) {
  g_tracker = &tracker;
  g_notifyWindow = reinterpret_cast<HWND>(notifyWindow);
  g_notifyMessage = notifyMessage;
  ReadContextFile(tracker, path);
  g_running = true;
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  // The id comes from the creation itself, and start-up waits for the thread's window: a stop
  // or a request right after the start always reaches the thread.
  g_thread = CreateThread(nullptr, 0, TrackingThread, ready, 0, &g_threadId);
  if (g_thread) WaitForSingleObject(ready, INFINITE);
  CloseHandle(ready);
  if (g_thread && !g_window) {
    WaitForSingleObject(g_thread, INFINITE);  // it ends at once without its window
    CloseHandle(g_thread);
    g_thread = nullptr;
  }
  if (!g_thread) g_running = false;
  return g_thread != nullptr;
}

bool StopFocusTracker() {
  if (!g_thread) return true;
  g_running = false;
  PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
  bool ended = WaitForSingleObject(g_thread, kStopWaitMs) == WAIT_OBJECT_0;
  CloseHandle(g_thread);
  g_thread = nullptr;
  return ended;
}

void RequestClassification() {
  if (g_thread && g_window) PostMessageW(g_window, kClassifyMessage, 0, 0);
}

}  // namespace tonvira
