#include "sim/sim_typing.h"

#include <vector>

namespace tonvira::sim {
namespace {

struct NamedKey {
  std::u16string_view name;
  uint32_t vk;
  bool extended;
};

constexpr NamedKey kNamedKeys[] = {
    {u"BS", vk::kBack, false},   {u"ENTER", vk::kReturn, false},
    {u"TAB", vk::kTab, false},   {u"ESC", vk::kEscape, false},
    {u"LEFT", 37, true},         {u"RIGHT", 39, true},
    {u"UP", 38, true},           {u"DOWN", 40, true},
    {u"HOME", 36, true},         {u"END", 35, true},
    {u"DEL", vk::kDelete, true},
};

// One step of the text: a character, or a named key with its modifiers.
struct Step {
  char16_t character = 0;
  uint32_t vk = 0;
  bool extended = false;
  bool click = false;
  std::vector<uint32_t> modifiers;
};

Step CharacterStep(char16_t c) {
  Step step;
  step.character = c;
  return step;
}

std::optional<Step> ParseName(std::u16string_view name) {
  Step step;
  while (true) {
    size_t plus = name.find(u'+');
    if (plus == std::u16string_view::npos || plus + 1 == name.size()) break;
    std::u16string_view modifier = name.substr(0, plus);
    if (modifier == u"CTRL") {
      step.modifiers.push_back(vk::kLControl);
    } else if (modifier == u"ALT") {
      step.modifiers.push_back(vk::kLMenu);
    } else if (modifier == u"SHIFT") {
      step.modifiers.push_back(vk::kLShift);
    } else if (modifier == u"WIN") {
      step.modifiers.push_back(vk::kLWin);
    } else {
      return std::nullopt;
    }
    name.remove_prefix(plus + 1);
  }
  if (name == u"CLICK" && step.modifiers.empty()) {
    step.click = true;
    return step;
  }
  for (const NamedKey& key : kNamedKeys) {
    if (key.name == name) {
      step.vk = key.vk;
      step.extended = key.extended;
      return step;
    }
  }
  if (name.size() == 1 && ((name[0] >= u'A' && name[0] <= u'Z') || (name[0] >= u'0' && name[0] <= u'9'))) {
    step.vk = name[0];
    return step;
  }
  return std::nullopt;
}

std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

void TypeCharacter(Desktop& desktop, char16_t c) {
  if (c == u'\r') return;
  if (c == u'\n') {
    desktop.Press(vk::kReturn);
  } else if (c == u'\t') {
    desktop.Press(vk::kTab);
  } else if (!desktop.TypeChar(c)) {
    // No key makes it on the layout: it arrives as a Unicode event from another program.
    KeyOptions options = Injected();
    options.scan = c;
    desktop.Press(231, options);
  }
}

}  // namespace

std::optional<std::string> TypeKeys(Desktop& desktop, std::u16string_view text) {
  std::vector<Step> steps;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'{') {
      steps.push_back(CharacterStep(text[i]));
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == u'{') {
      steps.push_back(CharacterStep(u'{'));
      ++i;
      continue;
    }
    size_t close = text.find(u'}', i);
    if (close == std::u16string_view::npos) return "unclosed { in the text";
    std::u16string_view name = text.substr(i + 1, close - i - 1);
    std::optional<Step> step = ParseName(name);
    if (!step) return "unknown key {" + Narrow(name) + "}";
    steps.push_back(*step);
    i = close;
  }
  for (const Step& step : steps) {
    if (step.character) {
      TypeCharacter(desktop, step.character);
    } else if (step.click) {
      desktop.Click(desktop.Focused().caret);
    } else {
      for (uint32_t m : step.modifiers) desktop.Key(m, true);
      KeyOptions options;
      options.extended = step.extended;
      desktop.Press(step.vk, options);
      for (auto m = step.modifiers.rbegin(); m != step.modifiers.rend(); ++m) desktop.Key(*m, false);
    }
  }
  return std::nullopt;
}

}  // namespace tonvira::sim
