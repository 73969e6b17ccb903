#include "program/win32/settings_host.h"

#include "app/update_notices.h"
#include "app/version.h"
#include "context/focus_tracking.h"
#include "input/pipeline.h"
#include "program/win32/background_worker.h"
#include "program/win32/update_window_host.h"
#include "text/win32/handle.h"
#include "update/status_texts.h"

namespace tonvira {
namespace {

// Whether this process may type into elevated windows (a signed build with UI access).
bool HasUiAccess() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  KernelHandle owner(token);
  DWORD access = 0;
  DWORD size = 0;
  return GetTokenInformation(token, TokenUIAccess, &access, sizeof(access), &size) && access != 0;
}

}  // namespace

WindowsSettingsHost::WindowsSettingsHost(WindowsApp& w) : w_(w), uiAccess_(HasUiAccess()) {}

ui::WindowFacts WindowsSettingsHost::Facts() {
  ui::WindowFacts facts;
  facts.suspended = IsSuspended(w_.app.pipeline);
  FocusFields focus = w_.focusTracker.published.Load();
  facts.field = {focus.password, focus.fieldClass, GetFocusDescription(w_.focusTracker)};
  facts.englishWords = w_.app.lexicon.english.size();
  facts.uiAccess = uiAccess_;
  facts.version = std::u16string(kRunningVersion);
  UpdateStatus update = GetUpdateStatus(g_worker->updater);
  facts.updateStatus = UpdateStatusLine(update);
  facts.updateStatusCode = static_cast<int>(update.kind);
  facts.updateBusy = update.checking || update.downloading || update.kind == UpdateKind::Installing;
  return facts;
}

Banner WindowsSettingsHost::CurrentBanner() {
  return tonvira::CurrentBanner(g_worker->banner);
}
void WindowsSettingsHost::OpenUpdateWindow() {
  OpenTheUpdateWindow();
}
void WindowsSettingsHost::StartUpdateCheck() {
  g_worker->signals.Wake(true);
}
void WindowsSettingsHost::ClassifyAgain() {
  RequestClassification();
}
void WindowsSettingsHost::OptionsChanged() {
  SaveSettingsSoon(w_.mainWindow);
  g_worker->signals.Wake(false);
}

}  // namespace tonvira
