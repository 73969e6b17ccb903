// The current user's Run key on Windows.
#include "config/run_key.h"

#include <windows.h>

#include <array>
#include <string>

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
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, RunKeyPath().c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  std::wstring value(name.begin(), name.end());
  bool deleted = RegDeleteValueW(key, value.c_str()) == ERROR_SUCCESS;
  RegCloseKey(key);
  return deleted;
}

}  // namespace tonvira
