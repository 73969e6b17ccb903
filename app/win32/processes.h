// The process list of the machine, from a Toolhelp snapshot.
#pragma once

#include "app/other_input_methods.h"

namespace tonvira {

class WindowsProcessList final : public ProcessList {
 public:
  std::optional<std::vector<RunningProcess>> Snapshot() override;
  std::optional<uint32_t> SessionOf(uint32_t processId) override;
  uint32_t OwnProcessId() override;
};

}  // namespace tonvira
