// The current user's Run key, where older versions registered themselves to start with
// Windows. Windows: config/win32/run_key.cpp; simulated: config/sim/run_key.cpp.
#pragma once

#include <string_view>

namespace tonvira {

// Deletes the value from HKCU\Software\Microsoft\Windows\CurrentVersion\Run; true when a
// value was deleted.
bool DeleteUserRunValue(std::u16string_view name);

}  // namespace tonvira
