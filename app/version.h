// The version of this program, from the build (project() in CMakeLists.txt).
#pragma once

#include <string_view>

namespace tonvira {

#define TONVIRA_WIDEN(text) u"" text
inline constexpr std::u16string_view kRunningVersion = TONVIRA_WIDEN(TONVIRA_VERSION_TEXT);
#undef TONVIRA_WIDEN

}  // namespace tonvira
