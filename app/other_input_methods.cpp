#include "app/other_input_methods.h"

#include <algorithm>

#include "input/log.h"
#include "text/letters.h"

namespace tonvira {

bool IsOtherInputMethod(std::u16string_view name) {
  return std::any_of(kOtherInputMethods.begin(), kOtherInputMethods.end(), [name](std::u16string_view known) {
    return std::equal(name.begin(), name.end(), known.begin(), known.end(),
                      [](char16_t a, char16_t b) { return LowerAsciiLetter(a) == b; });
  });
}

void CheckOtherInputMethods(Pipeline& pipeline, ProcessList& processes) {
  std::optional<std::vector<RunningProcess>> snapshot = processes.Snapshot();
  if (!snapshot) return;
  std::optional<uint32_t> ownSession = processes.SessionOf(processes.OwnProcessId());
  bool found = false;
  for (const RunningProcess& process : *snapshot) {
    if (!IsOtherInputMethod(process.executableName)) continue;
    std::optional<uint32_t> session = processes.SessionOf(process.processId);
    if (session && ownSession && *session == *ownSession) {
      found = true;
      break;
    }
  }
  if (found != GetConflictingIme(pipeline)) LogLine("bo go khac: %d\n", found ? 1 : 0);
  SetConflictingIme(pipeline, found);
}

}  // namespace tonvira
