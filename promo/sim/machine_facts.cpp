// The banner's machine facts on Linux: the process environment, and a fixed simulated machine.
#include "promo/machine_facts.h"

#include <cstdlib>

#include "text/utf8.h"

namespace tonvira {

std::optional<std::u16string> ReadMachineGuid() {
  return u"{5E1C0A2B-7D44-4F19-9A3E-0B6C2D8F1A77}";
}

std::u16string ComputerName() {
  return u"MAY-GIA-LAP";
}

std::optional<std::u16string> EnvironmentValue(std::u16string_view name) {
  const char* value = std::getenv(Utf16ToUtf8(name).c_str());
  if (!value) return std::nullopt;
  return Utf8ToUtf16(value);
}

}  // namespace tonvira
