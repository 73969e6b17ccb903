// The banner's machine facts on Windows.
#include "promo/machine_facts.h"

#include <windows.h>

#include <vector>

namespace tonvira {

std::optional<std::u16string> ReadMachineGuid() {
  wchar_t value[256] = {};
  DWORD size = sizeof(value);
  LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid",
                                RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, value, &size);
  if (status != ERROR_SUCCESS) return std::nullopt;
  std::wstring text = value;
  return std::u16string(text.begin(), text.end());
}

std::u16string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return {};
  return std::u16string(name, name + size);
}

std::optional<std::u16string> EnvironmentValue(std::u16string_view name) {
  std::wstring key(name.begin(), name.end());
  DWORD needed = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::vector<wchar_t> buffer(needed);
  DWORD length = GetEnvironmentVariableW(key.c_str(), buffer.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  return std::u16string(buffer.begin(), buffer.begin() + length);
}

}  // namespace tonvira
