#include "update/evaluation.h"
#include "update/policy_value.h"

namespace tonvira {

UpdatePolicy ReadUpdatePolicy() {
  return UpdatePolicyFromValue(ReadUpdatePolicyValue());
}

}  // namespace tonvira
