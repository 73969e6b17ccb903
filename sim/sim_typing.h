// Text with special keys in braces, typed key by key on the simulated desktop, as tonvira-sim
// and the tests write it: {BS}, {ENTER}, {TAB}, {ESC}, {LEFT}, {RIGHT}, {HOME}, {END}, {DEL},
// {CLICK}, {CTRL+A} and the like; {{ is a literal brace.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/sim_desktop.h"

namespace tonvira::sim {

// Types the text; returns an error message for an unknown key name (nothing is typed then).
std::optional<std::string> TypeKeys(Desktop& desktop, std::u16string_view text);

}  // namespace tonvira::sim
