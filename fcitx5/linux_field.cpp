#include "fcitx5/linux_field.h"

#include <array>
#include <optional>

#include "context/builtin_classes.h"

namespace tonvira {
namespace {

constexpr std::array<std::u16string_view, 22> kTerminals = {
    u"alacritty",      u"foot",
    u"gnome-terminal", u"gnome-terminal-server",
    u"guake",          u"kgx",
    u"kitty",          u"konsole",
    u"lxterminal",     u"mate-terminal",
    u"qterminal",      u"rxvt",
    u"sakura",         u"st",
    u"terminator",     u"terminology",
    u"tilix",          u"urxvt",
    u"wezterm-gui",    u"xfce4-terminal",
    u"xterm",          u"yakuake",
};

std::optional<ContextClass> RuleFor(const ContextRules& rules, std::u16string_view name) {
  for (const ContextRule& rule : rules) {
    if (rule.is_process && rule.value == name) return rule.contextClass;
  }
  return std::nullopt;
}

}  // namespace

bool IsTerminalProgram(std::u16string_view loweredName) {
  return IsListed(kTerminals, loweredName);
}

LinuxField ClassifyLinuxField(const LinuxFieldFacts& facts, const ContextRules& rules) {
  LinuxField field;
  std::u16string_view program = facts.program;
  if (size_t slash = program.find_last_of(u'/'); slash != std::u16string_view::npos) {
    program.remove_prefix(slash + 1);
  }
  field.program = LowerForContext(program);
  field.blocked = facts.password;
  field.mayReopen = !facts.urlOrEmail;
  std::optional<ContextClass> rule;
  if (!field.program.empty()) {
    rule = RuleFor(rules, field.program);
    if (!rule) rule = RuleFor(rules, field.program + u".exe");
  }
  if (rule) {
    field.fieldClass = *rule;
  } else if (facts.terminal || IsTerminalProgram(field.program)) {
    field.fieldClass = ContextClass::English;
  }
  return field;
}

}  // namespace tonvira
