// The user's Run key on the simulated machine: a set of value names, and a record of what the
// program removed.
#include "config/run_key.h"

#include "sim/sim_machine.h"

namespace tonvira {

bool DeleteUserRunValue(std::u16string_view name) {
  SimMachine& machine = SimulatedMachine();
  auto it = machine.runValues.find(std::u16string(name));
  if (it == machine.runValues.end()) return false;
  machine.removedRunValues.push_back(*it);
  machine.runValues.erase(it);
  return true;
}

}  // namespace tonvira
