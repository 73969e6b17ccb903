#include "context/context_rules.h"

#include <algorithm>

#include "context/builtin_classes.h"

namespace tonvira {
namespace {

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

std::vector<std::u16string_view> Tokens(std::u16string_view line) {
  std::vector<std::u16string_view> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsWhiteSpace(line[i])) ++i;
    size_t start = i;
    while (i < line.size() && !IsWhiteSpace(line[i])) ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

ContextClass ClassOf(std::u16string_view word) {
  if (word == u"en") return ContextClass::English;
  if (word == u"vi") return ContextClass::Vietnamese;
  return ContextClass::Auto;  // "auto", and capitalised words too
}

std::u16string_view ClassWord(ContextClass c) {
  switch (c) {
    case ContextClass::English:
      return u"en";
    case ContextClass::Vietnamese:
      return u"vi";
    default:
      return u"auto";
  }
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return LowerForContext(a) == LowerForContext(b);
}

}  // namespace

ContextRules ParseContextLines(const std::vector<std::u16string>& lines) {
  ContextRules rules;
  for (const std::u16string& line : lines) {
    if (line.empty() || line.front() == u'#') continue;
    std::vector<std::u16string_view> tokens = Tokens(line);
    if (tokens.size() < 3) continue;  // a kind, a value and a class at least
    ContextRule rule;
    rule.is_process = tokens.front() == u"process";
    rule.contextClass = ClassOf(tokens.back());
    std::u16string value;
    for (size_t i = 1; i + 1 < tokens.size(); ++i) {
      if (i > 1) value.push_back(u' ');
      value += tokens[i];
    }
    rule.value = LowerForContext(value);
    // Address bars are known by the built-in list now; old files named them as English.
    if (!rule.is_process && rule.contextClass == ContextClass::English &&
        IsListed(LegacyAddressBarNames(), rule.value)) {
      continue;
    }
    rules.push_back(std::move(rule));
  }
  return rules;
}

std::u16string ContextFileText(const ContextRules& rules) {
  std::u16string text =
      u"# Lop ngu canh mac dinh theo tien trinh va o nhap.\n"
      u"# Cot 1: kieu khop (process | uia)   Cot 2: gia tri   Cot 3: lop\n"
      u"# Lop: en = luon tieng Anh | vi = uu tien tieng Viet | auto = tu quyet dinh\n"
      u"\n";
  for (const ContextRule& rule : rules) {
    text += rule.is_process ? u"process  " : u"uia      ";
    text += rule.value;
    text += u"   ";
    text += ClassWord(rule.contextClass);
    text += u'\n';
  }
  return text;
}

AddAppResult AddApplicationRule(ContextRules& rules, std::u16string_view lastApp) {
  if (lastApp.empty() || EqualIgnoringCase(lastApp, u"tonvira.exe")) return AddAppResult::NoApplication;
  bool listed = std::any_of(rules.begin(), rules.end(), [&](const ContextRule& r) {
    return r.is_process && EqualIgnoringCase(r.value, lastApp);
  });
  if (listed) return AddAppResult::AlreadyListed;
  rules.push_back({true, LowerForContext(lastApp), ContextClass::Auto});
  return AddAppResult::Added;
}

void CycleRuleClass(ContextRules& rules, size_t index) {
  if (index >= rules.size()) return;
  auto next = (static_cast<uint32_t>(rules[index].contextClass) + 1) % 3;
  rules[index].contextClass = static_cast<ContextClass>(next);
}

void DeleteRule(ContextRules& rules, size_t index) {
  if (index < rules.size()) rules.erase(rules.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace tonvira
