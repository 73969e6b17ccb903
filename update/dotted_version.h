// Dotted versions as the update manifest writes them: "1.4.12", at most four components.
#pragma once

#include <cstdint>
#include <string_view>

namespace tonvira {

// One to four components of decimal digits, each at most 65535, separated by single dots
// ("1.4.12" yes; "1..4", ".1", "1.", "1.70000", "1.2.3.4.5" no).
bool IsDottedVersion(std::string_view text);

struct VersionComparison {
  bool ok = false;  // false when either text is not a dotted version
  int sign = 0;     // -1, 0, +1 for a < b, a = b, a > b
};
// Missing trailing components count as 0: "1.4" equals "1.4.0.0".
VersionComparison CompareVersions(std::string_view a, std::string_view b);

// True when both are dotted versions of the same value.
inline bool SameVersion(std::string_view a, std::string_view b) {
  VersionComparison c = CompareVersions(a, b);
  return c.ok && c.sign == 0;
}

// True for 1 to 19 bytes, all decimal digits; the value is then exact in 64 bits.
bool IsShortDecimal(std::string_view text);
// The value of a text that passes IsShortDecimal.
uint64_t ShortDecimalValue(std::string_view text);

}  // namespace tonvira
