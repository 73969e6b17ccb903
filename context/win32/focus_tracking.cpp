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
#include "text/win32/handle.h"

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
KernelHandle g_thread;
DWORD g_threadId = 0;
std::atomic<bool> g_running{false};
// The thread's message-only window: messages for it reach its procedure even from inside the
// modal loop a UI Automation call runs, where thread messages would be lost.
HWND g_window = nullptr;
uia::IAutomation* g_automation = nullptr;  // owned by the tracking thread and used on it only

std::u16string ToU16(const wchar_t* s, size_t n) {
  return std::u16string(s, s + n);
}

std::u16string ProcessFileName(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  KernelHandle process(pid ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid) : nullptr);
  if (!process) return {};
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  std::u16string name;
  if (QueryFullProcessImageNameW(process.get(), 0, path, &size)) {
    std::wstring full(path, size);
    size_t slash = full.find_last_of(L"\\/");
    std::wstring file = slash == std::wstring::npos ? full : full.substr(slash + 1);
    name = ToU16(file.data(), file.size());
  }
  return name;
}

std::u16string StringProperty(uia::IElement* element, int property) {
  Variant v;
  if (SUCCEEDED(element->GetCurrentPropertyValue(property, v.put())) && v->vt == VT_BSTR && v->bstrVal) {
    return ToU16(v->bstrVal, SysStringLen(v->bstrVal));
  }
  return {};
}

int IntProperty(uia::IElement* element, int property) {
  Variant v;
  int out = 0;
  if (SUCCEEDED(element->GetCurrentPropertyValue(property, v.put()))) {
    if (v->vt == VT_I4) out = v->lVal;
    if (v->vt == VT_BOOL) out = v->boolVal != VARIANT_FALSE;
  }
  return out;
}

// The focused element's properties, when UI Automation is there (Wine has none).
void ReadElement(FocusFacts& f) {
  if (!g_automation) return;
  ComPtr<uia::IElement> element;
  if (FAILED(g_automation->GetFocusedElement(element.put())) || !element) return;
  f.hasElement = true;
  f.elementIsPassword = IntProperty(element.get(), uia::kPropertyIsPassword) != 0;
  f.elementName = StringProperty(element.get(), uia::kPropertyName);
  f.automationId = StringProperty(element.get(), uia::kPropertyAutomationId);
  f.controlType = IntProperty(element.get(), uia::kPropertyControlType);
  if (f.controlType != kControlTypeEdit) return;
  ComPtr<uia::ITreeWalker> walker;
  ComPtr<uia::IElement> parent;
  if (SUCCEEDED(g_automation->get_ControlViewWalker(walker.put())) && walker &&
      SUCCEEDED(walker->GetParentElement(element.get(), parent.put())) && parent) {
    f.parentControlType = IntProperty(parent.get(), uia::kPropertyControlType);
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
  // Declared before the automation object, so that COM is uninitialised after its release.
  ComApartment com(COINIT_APARTMENTTHREADED);
  ComPtr<uia::IAutomation> automation;
  if (!com.started() ||
      FAILED(CoCreateInstance(uia::kClsidCUIAutomation, nullptr, CLSCTX_INPROC_SERVER, uia::kIidIUIAutomation,
                              reinterpret_cast<void**>(automation.put())))) {
    automation.reset();  // "class not registered" under Wine: classify without elements
  }
  g_automation = automation.get();
  Win32FocusSystem system;
  g_loop.emplace(*g_tracker, system);
  DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
  WinEventHookHandle focusHook(
      SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnWinEvent, 0, 0, flags));
  WinEventHookHandle foregroundHook(
      SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnWinEvent, 0, 0, flags));
  SetTimer(g_window, kPollTimer, kPollMs, nullptr);
  g_loop->Classify();
  while (g_running && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  KillTimer(g_window, kPollTimer);
  // No event may reach the loop once it is gone.
  focusHook.reset();
  foregroundHook.reset();
  g_loop.reset();
  DestroyWindow(g_window);
  g_automation = nullptr;
  return 0;  // the automation object is released here, then COM uninitialised
}

// Starts the thread and waits until it has made its window (or failed to): a stop or a request
// right after the start always reaches the thread. The id comes from the creation itself.
KernelHandle StartTrackingThread() {
  KernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  KernelHandle thread(CreateThread(nullptr, 0, TrackingThread, ready.get(), 0, &g_threadId));
  if (thread) WaitForSingleObject(ready.get(), INFINITE);
  return thread;
}

}  // namespace

bool StartFocusTracker(FocusTracker& tracker, std::u16string_view path, uintptr_t notifyWindow,
                       uint32_t notifyMessage) {
  g_tracker = &tracker;
  g_notifyWindow = reinterpret_cast<HWND>(notifyWindow);
  g_notifyMessage = notifyMessage;
  ReadContextFile(tracker, path);
  g_running = true;
  g_thread = StartTrackingThread();
  if (g_thread && !g_window) {
    WaitForSingleObject(g_thread.get(), INFINITE);  // it ends at once without its window
    g_thread.reset();
  }
  if (!g_thread) {
    g_running = false;
    return false;
  }
  return true;
}

bool StopFocusTracker() {
  if (!g_thread) return true;
  g_running = false;
  PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
  // Closing the handle does not end the thread: the caller decides what a thread that did not
  // end in time means (the program then ends without its destructors).
  bool ended = WaitForSingleObject(g_thread.get(), kStopWaitMs) == WAIT_OBJECT_0;
  g_thread.reset();
  return ended;
}

void RequestClassification() {
  if (g_thread && g_window) PostMessageW(g_window, kClassifyMessage, 0, 0);
}

}  // namespace tonvira
