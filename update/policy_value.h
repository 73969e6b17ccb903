// The machine's update policy value as stored: HKLM\SOFTWARE\Policies\TESU\Tonvira,
// "UpdateMode" (REG_DWORD, 64-bit view) on Windows. Nothing when it is absent or unreadable.
#pragma once

#include <cstdint>
#include <optional>

namespace tonvira {

std::optional<uint32_t> ReadUpdatePolicyValue();

}  // namespace tonvira
