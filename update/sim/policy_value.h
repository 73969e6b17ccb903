// The simulated machine's update policy value, for tests and tonvira-sim: absent unless set.
#pragma once

#include <cstdint>
#include <optional>

namespace tonvira {

std::optional<uint32_t>& SimulatedUpdatePolicyValue();

}  // namespace tonvira
