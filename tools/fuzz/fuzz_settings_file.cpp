// settings.txt from arbitrary bytes: no crash, no undefined behaviour, and whatever was read is
// written back in a form that reads the same (write -> read -> write gives the same bytes).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/settings.h"
#include "config/text_file.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tonvira::Settings settings;
  tonvira::ParseSettingsLines(settings, tonvira::SplitTextLines(bytes));
  if (settings.hotkey_mode != 1 && settings.hotkey_mode != 2) std::abort();

  std::string first = tonvira::Utf16ToUtf8(tonvira::SettingsText(settings));
  if (!first.starts_with("ver=145\nenabled=")) std::abort();
  tonvira::Settings reread;
  tonvira::ParseSettingsLines(reread, tonvira::SplitTextLines(first));
  if (tonvira::Utf16ToUtf8(tonvira::SettingsText(reread)) != first) std::abort();
  return 0;
}
