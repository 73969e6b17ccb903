// context.txt: per application and per field, which language is typed there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/context_class.h"

namespace tonvira {

struct ContextRule {
  bool is_process = false;  // matches a process by file name; else the focused element
  std::u16string value;     // lowered
  ContextClass contextClass = ContextClass::Auto;
  bool operator==(const ContextRule&) const = default;
};
using ContextRules = std::vector<ContextRule>;

// "process  excel.exe   vi", "uia      search box   en"; comments start with "#".
ContextRules ParseContextLines(const std::vector<std::u16string>& lines);
// The whole file: three comment lines, an empty line, one line per rule.
std::u16string ContextFileText(const ContextRules& rules);

// What adding the current application to the list came to.
enum class AddAppResult {
  Added,
  NoApplication,  // nothing (or Tonvira itself) had the foreground before the settings window
  AlreadyListed,
};
inline constexpr std::u16string_view kNoApplicationMessage =
    u"Mở và bấm vào cửa sổ của phần mềm cần thêm, rồi quay lại đây bấm Thêm.\n\n"
    u"Tonvira lấy phần mềm bạn dùng gần nhất trước khi mở bảng điều khiển.";
inline constexpr std::u16string_view kNoApplicationTitle = u"Thêm phần mềm";
inline constexpr std::u16string_view kAlreadyListedMessage = u"Phần mềm này đã có trong danh sách.";

// The edits of the settings window's list (process rules only).
AddAppResult AddApplicationRule(ContextRules& rules, std::u16string_view lastApp);
// auto -> en -> vi -> auto.
void CycleRuleClass(ContextRules& rules, size_t index);
void DeleteRule(ContextRules& rules, size_t index);

}  // namespace tonvira
