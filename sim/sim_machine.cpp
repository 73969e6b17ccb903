#include "sim/sim_machine.h"

namespace tonvira {

SimMachine& SimulatedMachine() {
  static SimMachine machine;
  return machine;
}

}  // namespace tonvira
