// Other makers' Vietnamese input methods: while one runs in this session, every word
// character is typed as a synthetic Unicode character carrying our own-input marker, so the
// other one never composes over our keys.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/pipeline.h"

namespace tonvira {

inline constexpr std::array<std::u16string_view, 10> kOtherInputMethods = {
    u"unikeynt.exe",    u"unikey.exe",  u"evkey.exe",     u"evkey64.exe",   u"evkey32.exe",
    u"gotiengviet.exe", u"openkey.exe", u"openkey64.exe", u"openkey32.exe", u"vietkey.exe",
};

// An executable name of the list, compared without regard to case.
bool IsOtherInputMethod(std::u16string_view executableName);

struct RunningProcess {
  std::u16string executableName;  // the name only, as the process list gives it
  uint32_t processId = 0;
};

// The system's process list.
class ProcessList {
 public:
  virtual ~ProcessList() = default;
  // Nothing when no snapshot could be taken; an empty list when it could not be walked.
  virtual std::optional<std::vector<RunningProcess>> Snapshot() = 0;
  // Nothing when the process's session cannot be read.
  virtual std::optional<uint32_t> SessionOf(uint32_t processId) = 0;
  virtual uint32_t OwnProcessId() = 0;
};

// Sets the pipeline's flag: one of the list runs in our session. A failed snapshot keeps the
// last answer; a process whose session cannot be read does not count.
void CheckOtherInputMethods(Pipeline& pipeline, ProcessList& processes);

}  // namespace tonvira
