// UTF-8 <-> UTF-16 at the file and terminal boundary.
#pragma once

#include <string>
#include <string_view>

namespace tonvira {

// Invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);
// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace tonvira
