// The context page's per-application list: the process rules of context.txt, edited from
// the settings window. Each edit reads the file again if it was changed by hand, replaces the
// tracker's rules, has the focused field classified again at once and rewrites the file.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "context/focus_tracker.h"
#include "ui/abbrev_editor.h"

namespace tonvira::ui {

// The list shows process rules only: row n is the rule at this index of the whole list.
std::vector<size_t> ProcessRuleRows(const ContextRules& rules);
// The language column.
std::u16string_view ClassCaption(ContextClass fieldClass);

enum class AppRuleEdit { AddCurrent, ChangeLanguage, Delete };

inline constexpr std::u16string_view kReloadedMessage =
    u"File context.txt vừa được sửa bên ngoài Tonvira nên danh sách đã được đọc lại.\n\nHãy chọn lại phần "
    u"mềm cần sửa.";

// The row to select after the edit (the changed rule stays selected), or nothing.
std::optional<size_t> EditAppRules(FocusTracker& tracker, Dialogs& dialogs, AppRuleEdit edit,
                                   std::optional<size_t> selectedRow,
                                   const std::function<void()>& classifyAgain);

}  // namespace tonvira::ui
