// The focus-tracking thread on Windows: WinEvent hooks for focus and foreground changes, and
// a short poll of the foreground and focus windows for the events that never come (Wine has
// no EVENT_SYSTEM_FOREGROUND). Element properties come from UI Automation where it exists;
// without it the field is classified by its process and window alone.
#include "context/focus_tracking.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "context/win32/uia.h"

namespace tonvira {
namespace {

constexpr UINT kClassifyMessage = WM_APP + 1;
constexpr UINT kPollMs = 250;

FocusTracker* g_tracker = nullptr;
HWND g_notifyWindow = nullptr;
UINT g_notifyMessage = 0;
HANDLE g_thread = nullptr;
DWORD g_threadId = 0;
std::atomic<bool> g_running{false};
HWND g_lastForeground = nullptr;
HWND g_lastFocus = nullptr;
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

FocusFacts ReadFacts(HWND foreground) {
  FocusFacts f;
  f.foreground = reinterpret_cast<uintptr_t>(foreground);
  f.ownProcessId = GetCurrentProcessId();
  if (!foreground) return f;
  DWORD pid = 0;
  GetWindowThreadProcessId(foreground, &pid);
  f.processId = pid;
  f.processName = ProcessFileName(foreground);
  wchar_t buffer[256] = {};
  int n = GetClassNameW(foreground, buffer, 81);
  f.windowClass = ToU16(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  n = GetWindowTextW(foreground, buffer, 256);
  f.title = ToU16(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  ReadElement(f);
  return f;
}

void Classify() {
  HWND foreground = GetForegroundWindow();
  FocusClassification result = ClassifyFocus(ReadFacts(foreground), CopyContextRules(*g_tracker));
  Publish(*g_tracker, result);
  if (g_notifyWindow) PostMessageW(g_notifyWindow, g_notifyMessage, 0, 0);
}

HWND FocusWindow() {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  DWORD thread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Classifies only when the foreground or focus window changed since the last look.
void Poll() {
  HWND foreground = GetForegroundWindow();
  HWND focus = FocusWindow();
  if (foreground == g_lastForeground && focus == g_lastFocus) return;
  g_lastForeground = foreground;
  g_lastFocus = focus;
  Classify();
}

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
  Poll();
}

DWORD WINAPI TrackingThread(void* ready) {
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the queue exists from here on
  SetEvent(static_cast<HANDLE>(ready));
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(CoCreateInstance(uia::kClsidCUIAutomation, nullptr, CLSCTX_INPROC_SERVER, uia::kIidIUIAutomation,
                              reinterpret_cast<void**>(&g_automation)))) {
    g_automation = nullptr;  // "class not registered" under Wine: classify without elements
  }
  DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
  HWINEVENTHOOK focusHook =
      SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnWinEvent, 0, 0, flags);
  HWINEVENTHOOK foregroundHook =
      SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnWinEvent, 0, 0, flags);
  UINT_PTR timer = SetTimer(nullptr, 0, kPollMs, nullptr);
  Classify();
  while (g_running && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
      Poll();
    } else if (msg.message == kClassifyMessage && msg.hwnd == nullptr) {
      Classify();
    } else {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  KillTimer(nullptr, timer);
  if (focusHook) UnhookWinEvent(focusHook);
  if (foregroundHook) UnhookWinEvent(foregroundHook);
  if (g_automation) g_automation->Release();
  g_automation = nullptr;
  CoUninitialize();
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
  // The id comes from the creation itself, and start-up waits for the thread's queue: a stop
  // right after the start always reaches the thread.
  g_thread = CreateThread(nullptr, 0, TrackingThread, ready, 0, &g_threadId);
  if (g_thread) WaitForSingleObject(ready, INFINITE);
  CloseHandle(ready);
  if (!g_thread) g_running = false;
  return g_thread != nullptr;
}

void StopFocusTracker() {
  if (!g_thread) return;
  g_running = false;
  PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(g_thread, INFINITE);
  CloseHandle(g_thread);
  g_thread = nullptr;
}

void RequestClassification() {
  if (g_thread) PostThreadMessageW(g_threadId, kClassifyMessage, 0, 0);
}

}  // namespace tonvira
