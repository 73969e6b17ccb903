#include <windows.h>

#include "update/policy_value.h"

namespace tonvira {

std::optional<uint32_t> ReadUpdatePolicyValue() {
  DWORD value = 0;
  DWORD size = sizeof value;
  LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies\\TESU\\Tonvira", L"UpdateMode",
                                RRF_RT_REG_DWORD | RRF_SUBKEY_WOW6464KEY, nullptr, &value, &size);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return static_cast<uint32_t>(value);
}

}  // namespace tonvira
