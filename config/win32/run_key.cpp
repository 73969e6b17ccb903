// The current user's Run key on Windows.
#include "config/run_key.h"

#include <windows.h>

#include <array>
#include <string>

#include "text/win32/handle.h"

namespace tonvira {
namespace {

constexpr std::array<std::wstring_view, 5> kRunKeyParts = {L"Software", L"Microsoft", L"Windows",
                                                           L"CurrentVersion", L"Run"};

std::wstring RunKeyPath() {
  std::wstring path;
  for (std::wstring_view part : kRunKeyParts) {
    if (!path.empty()) path.push_back(L'\\');
    path.append(part);
  }
  return path;
}

}  // namespace

bool DeleteUserRunValue(std::u16string_view name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, RunKeyPath().c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) {
    return false;
  }
  RegistryKey key(opened);
  std::wstring value(name.begin(), name.end());
  return RegDeleteValueW(key.get(), value.c_str()) == ERROR_SUCCESS;
}

}  // namespace tonvira
