#include "update/sim/policy_value.h"

#include "update/policy_value.h"

namespace tonvira {

std::optional<uint32_t>& SimulatedUpdatePolicyValue() {
  static std::optional<uint32_t> value;
  return value;
}

std::optional<uint32_t> ReadUpdatePolicyValue() {
  return SimulatedUpdatePolicyValue();
}

}  // namespace tonvira
