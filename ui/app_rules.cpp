#include "ui/app_rules.h"

#include <utility>

namespace tonvira::ui {

std::vector<size_t> ProcessRuleRows(const ContextRules& rules) {
  std::vector<size_t> rows;
  for (size_t i = 0; i < rules.size(); ++i) {
    if (rules[i].is_process) rows.push_back(i);
  }
  return rows;
}

std::u16string_view ClassCaption(ContextClass fieldClass) {
  switch (fieldClass) {
    case ContextClass::English:
      return u"Tiếng Anh";
    case ContextClass::Vietnamese:
      return u"Tiếng Việt";
    default:
      return u"Tự quyết định";
  }
}

std::optional<size_t> EditAppRules(FocusTracker& tracker, Dialogs& dialogs, AppRuleEdit edit,
                                   std::optional<size_t> selectedRow,
                                   const std::function<void()>& classifyAgain) {
  // An edit made in Notepad since is kept: the list is read again first. A row chosen in the old
  // list may now be another rule, so a change or deletion waits for the user to choose again.
  if (ReloadContextFileIfChanged(tracker)) {
    if (classifyAgain) classifyAgain();
    if (edit != AppRuleEdit::AddCurrent) {
      dialogs.Tell({std::u16string(kReloadedMessage), MessageIcon::Information, u"Tonvira"});
      return std::nullopt;
    }
  }
  ContextRules rules = CopyContextRules(tracker);
  std::vector<size_t> rows = ProcessRuleRows(rules);
  std::optional<size_t> select;
  switch (edit) {
    case AppRuleEdit::AddCurrent:
      switch (AddApplicationRule(rules, GetLastApp(tracker))) {
        case AddAppResult::NoApplication:
          dialogs.Tell({std::u16string(kNoApplicationMessage), MessageIcon::Information,
                        std::u16string(kNoApplicationTitle)});
          return selectedRow;
        case AddAppResult::AlreadyListed:
          dialogs.Tell({std::u16string(kAlreadyListedMessage), MessageIcon::Information, u"Tonvira"});
          return selectedRow;
        case AddAppResult::Added:
          break;
      }
      break;
    case AppRuleEdit::ChangeLanguage:
      if (!selectedRow || *selectedRow >= rows.size()) return selectedRow;
      CycleRuleClass(rules, rows[*selectedRow]);
      select = selectedRow;
      break;
    case AppRuleEdit::Delete:
      if (!selectedRow || *selectedRow >= rows.size()) return selectedRow;
      DeleteRule(rules, rows[*selectedRow]);
      break;
  }
  ReplaceContextRules(tracker, std::move(rules));
  if (classifyAgain) classifyAgain();
  // A failed write keeps the edit in memory; the user is told once per run of failures.
  if (WriteContextFile(tracker, tracker.rules_path)) {
    tracker.writeFailureTold = false;
  } else if (!std::exchange(tracker.writeFailureTold, true)) {
    dialogs.Tell(
        {u"Không lưu được danh sách phần mềm vào file:\n" + tracker.rules_path +
             u"\n\nThay đổi vẫn dùng được đến khi thoát Tonvira; lần sửa sau Tonvira sẽ thử lưu lại.",
         MessageIcon::Warning, u"Tonvira"});
  }
  return select;
}

}  // namespace tonvira::ui
