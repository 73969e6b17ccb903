#include "context/focus_tracker.h"

#include "config/text_file.h"
#include "context/builtin_classes.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

// Shell surfaces and Tonvira itself are never "the application the user was in".
bool Remembered(const FocusFacts& f, std::u16string_view loweredName) {
  if (!f.foreground || loweredName.empty()) return false;
  if (f.processId == f.ownProcessId || loweredName == u"tonvira.exe") return false;
  return !IsListed(ShellProcesses(), loweredName) && !IsListed(ShellWindowClasses(), f.windowClass);
}

}  // namespace

FocusClassification ClassifyFocus(const FocusFacts& f, const ContextRules& rules) {
  FocusClassification r;
  std::u16string name = LowerForContext(f.processName);
  r.description = name;
  if (Remembered(f, name)) r.lastApp = f.processName;
  r.is_sheet_or_combo = IsSpreadsheetWindow(f.foreground != 0, f.title, name);
  r.foreground = f.foreground;

  if (f.hasElement) {
    r.is_password = f.elementIsPassword;
    std::u16string elementName = LowerForContext(f.elementName);
    std::u16string id = LowerForContext(f.automationId);
    auto mentions = [&](std::u16string_view word) {
      return elementName.find(word) != std::u16string::npos || id.find(word) != std::u16string::npos;
    };
    for (const ContextRule& rule : rules) {
      if (rule.is_process || !mentions(rule.value)) continue;
      r.contextClass = rule.contextClass;
      r.description = u"uia:" + rule.value;
      break;
    }
    if (!r.is_password)
      r.is_password = ContainsAny(elementName, PasswordWords()) || ContainsAny(id, PasswordWords());
    r.is_address_bar = ContainsAny(elementName, AddressBarWords()) || ContainsAny(id, AddressBarWords());
    if (!r.is_sheet_or_combo) {
      r.is_sheet_or_combo =
          f.controlType == kControlTypeComboBox ||
          (f.controlType == kControlTypeEdit && f.parentControlType == kControlTypeComboBox);
    }
  }
  if (IsPasswordEdit(f.focusWindowClass, f.focusWindowStyle)) r.is_password = true;
  if (!name.empty() && IsListed(SecureDesktopProcesses(), name)) r.is_password = true;
  // A process rule applies unless an element rule already gave a class other than auto.
  if (r.contextClass == ContextClass::Auto && !name.empty()) {
    for (const ContextRule& rule : rules) {
      if (!rule.is_process || rule.value != name) continue;
      r.contextClass = rule.contextClass;
      r.description = u"proc:" + name;
      break;
    }
  }
  return r;
}

FocusFields ToFields(const FocusClassification& r) {
  return FocusFields{r.contextClass, r.is_password, r.is_address_bar, r.is_sheet_or_combo, r.foreground};
}

void Publish(FocusTracker& t, const FocusClassification& r, uint64_t sequence) {
  t.published.Store(ToFields(r), sequence);
  std::lock_guard guard(t.lock);
  t.description = r.description;
  if (r.lastApp) t.last_app = *r.lastApp;
}

std::u16string GetLastApp(FocusTracker& t) {
  std::lock_guard guard(t.lock);
  return t.last_app;
}

std::u16string GetFocusDescription(FocusTracker& t) {
  std::lock_guard guard(t.lock);
  return t.description;
}

void ReadContextFile(FocusTracker& t, std::u16string_view path) {
  {
    std::lock_guard guard(t.lock);
    t.rules_path = path;
    t.rules.clear();  // what an empty, missing or unreadable file gives
    t.rules_bytes.clear();
  }
  ReloadContextFileIfChanged(t);
}

bool WriteContextFile(FocusTracker& t, std::u16string_view path) {
  std::u16string text;
  {
    std::lock_guard guard(t.lock);
    text = ContextFileText(t.rules);
  }
  if (!WriteTextFile(path, text)) return false;
  std::lock_guard guard(t.lock);
  t.rules_bytes = Utf16ToUtf8(text);
  return true;
}

bool ReloadContextFileIfChanged(FocusTracker& t) {
  std::u16string path;
  {
    std::lock_guard guard(t.lock);
    path = t.rules_path;
  }
  FileBytes file = ReadFileBytes(path);
  if (file.status != FileRead::Ok) return false;
  {
    std::lock_guard guard(t.lock);
    if (file.bytes == t.rules_bytes) return false;
  }
  ContextRules rules = ParseContextLines(SplitTextLines(file.bytes));
  std::lock_guard guard(t.lock);
  t.rules = std::move(rules);
  t.rules_bytes = std::move(file.bytes);
  return true;
}

ContextRules CopyContextRules(FocusTracker& t) {
  std::lock_guard guard(t.lock);
  return t.rules;
}

void ReplaceContextRules(FocusTracker& t, ContextRules rules) {
  std::lock_guard guard(t.lock);
  t.rules = std::move(rules);
}

}  // namespace tonvira
