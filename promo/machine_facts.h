// What the banner request reads from the machine: the registry's MachineGuid, the computer
// name and the process environment. The registry and kernel32 on Windows
// (win32/machine_facts.cpp), values the tests set elsewhere (sim/machine_facts.cpp).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tonvira {

// HKLM\SOFTWARE\Microsoft\Cryptography "MachineGuid" (64-bit view); nothing when unreadable.
std::optional<std::u16string> ReadMachineGuid();
// Empty when unavailable.
std::u16string ComputerName();
std::optional<std::u16string> EnvironmentValue(std::u16string_view name);

}  // namespace tonvira
