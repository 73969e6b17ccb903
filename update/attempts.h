// The record of installation attempts in the update state: each try, each installer result,
// and at the next start what became of the last one. A version that keeps failing, or that the
// machine refuses, is given up so that it is no longer pressed on the user.
#pragma once

#include <cstdint>
#include <string_view>

#include "update/update_state.h"

namespace tonvira {

enum class ExitClass : uint8_t {
  Success = 0,          // 0, 1641, 3010 (a restart was started or is needed)
  Cancelled = 1,        // 1602: the elevation prompt was refused or the user cancelled
  Busy = 2,             // 1618: another installation is running
  RefusedByPolicy = 3,  // 1625, 1643
  PackageProblem = 4,   // 1601, 1619, 1620, 1638
  Other = 5,
};
ExitClass ClassifyExitCode(uint32_t code);

// An attempt of the same version keeps its count; another version starts again at 0.
void RecordAttempt(UpdateState& state, std::string_view version);
// Records the installer's exit code; true when the version is now given up. A busy result is
// counted only when countBusy is set (once per run).
bool RecordResult(UpdateState& state, uint32_t code, bool countBusy);
// Records an installer that did not start ("cp" and the error); true when the version is
// given up. 1260 means a policy forbids starting it.
bool RecordStartFailure(UpdateState& state, uint32_t error);

// Records a package whose signature was refused before the installer started ("sig"): the
// version is given up, so that it is offered but never forced on the user again.
void RecordSignatureRefused(UpdateState& state);

inline constexpr uint32_t kErrorBlockedByPolicy = 1260;  // ERROR_ACCESS_DISABLED_BY_POLICY
inline constexpr int32_t kAttemptsBeforeGivingUp = 3;

enum class LastAttempt : uint8_t {
  None,                 // nothing to say
  Updated,              // the attempted version now runs
  InstalledNotRunning,  // the installer reported success, yet the old version runs
  Unfinished,           // the program ended during the installation
  GivenUp,              // the third unfinished attempt: the version is given up
};
// Once per process, at the first check, with the state just loaded from update.txt.
LastAttempt EvaluateLastAttempt(UpdateState& state, std::string_view runningVersion);

}  // namespace tonvira
