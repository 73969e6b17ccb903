// Entry point of tonvira.exe.
#include <windows.h>

#include "engine/compose.h"

// For now the program only proves that the portable engine links and composes on Windows:
// it exits with 0 when Telex "tieengs" gives "tiếng". The real start-up comes later.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const tonvira::ComposeResult result = tonvira::Compose(u"tieengs", tonvira::InputMethod::Telex, true, true,
                                                         tonvira::kOrdinaryFlags | tonvira::kNotEnglishFlags);
  return result.text == u"tiếng" ? 0 : 1;
}
