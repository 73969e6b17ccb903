// UTF-16 as Win32 takes it, and back: wchar_t is 16 bits on Windows, so each is a copy.
#pragma once

#include <string>
#include <string_view>

namespace tonvira {

inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}
inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace tonvira
