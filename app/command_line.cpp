#include "app/command_line.h"

#include "config/c_number.h"

namespace tonvira {
namespace {

constexpr std::u16string_view kSettings = u"--settings";

bool StartsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c += 32;
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

StartRequest ParseCommandLine(std::span<const std::u16string> arguments) {
  StartRequest request;
  bool settingsSeen = false;
  for (const std::u16string& argument : arguments) {
    if (argument == u"--autostart") request.startedAtLogon = true;
    if (!StartsWithIgnoringAsciiCase(argument, kSettings)) continue;
    bool withPage = argument.size() > kSettings.size() && argument[kSettings.size()] == u'=';
    int page = withPage ? ReadCInteger(std::u16string_view(argument).substr(kSettings.size() + 1)) : 0;
    if (withPage) request.pageForRunningInstance = page;
    if (!settingsSeen) {  // the first "--settings" argument decides this start's window
      settingsSeen = true;
      request.openSettings = true;
      if (withPage && page >= 0 && page <= 3) request.page = page;
    }
  }
  return request;
}

}  // namespace tonvira
