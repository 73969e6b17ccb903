#include "update/attempts.h"

#include <string>

#include "update/dotted_version.h"

namespace tonvira {
namespace {

void CountAttempt(UpdateState& state) {
  if (state.attempt_count < INT32_MAX) ++state.attempt_count;
}

}  // namespace

ExitClass ClassifyExitCode(uint32_t code) {
  switch (code) {
    case 0:
    case 1641:
    case 3010:
      return ExitClass::Success;
    case 1602:
      return ExitClass::Cancelled;
    case 1618:
      return ExitClass::Busy;
    case 1625:
    case 1643:
      return ExitClass::RefusedByPolicy;
    case 1601:
    case 1619:
    case 1620:
    case 1638:
      return ExitClass::PackageProblem;
    default:
      return ExitClass::Other;
  }
}

void RecordAttempt(UpdateState& state, std::string_view version) {
  if (state.attempt.empty() || !SameVersion(state.attempt, version)) state.attempt_count = 0;
  state.attempt = version;
  state.attempt_rc.clear();
}

void RecordSignatureRefused(UpdateState& state) {
  state.attempt_rc = "sig";
  if (!state.attempt.empty()) state.stuck = state.attempt;
}

bool RecordResult(UpdateState& state, uint32_t code, bool countBusy) {
  state.attempt_rc = std::to_string(code);
  bool attempted = !state.attempt.empty();
  switch (ClassifyExitCode(code)) {
    case ExitClass::Success:
    case ExitClass::Cancelled:
      return false;
    case ExitClass::Busy:
      if (!countBusy || !attempted) return false;
      CountAttempt(state);
      if (state.attempt_count < kAttemptsBeforeGivingUp) return false;
      state.stuck = state.attempt;
      return true;
    case ExitClass::RefusedByPolicy:
      // Without an attempt there is no version to block; an earlier block stays.
      if (!attempted) return false;
      state.blocked = state.attempt;
      return true;
    case ExitClass::PackageProblem:
      if (!attempted) return false;
      CountAttempt(state);
      state.stuck = state.attempt;
      return true;
    case ExitClass::Other:
      if (!attempted) return false;
      CountAttempt(state);
      if (state.attempt_count < kAttemptsBeforeGivingUp) return false;
      state.stuck = state.attempt;
      return true;
  }
  return false;
}

bool RecordStartFailure(UpdateState& state, uint32_t error) {
  // Cut to the ten bytes update.txt keeps: a longer marker would not load at the next start
  // and would then read as an installation that never reported back.
  state.attempt_rc = ("cp" + std::to_string(error)).substr(0, kMaxAttemptRcBytes);
  if (state.attempt.empty()) return false;
  if (error == kErrorBlockedByPolicy) {
    state.blocked = state.attempt;
    return true;
  }
  CountAttempt(state);
  if (state.attempt_count < kAttemptsBeforeGivingUp) return false;
  state.stuck = state.attempt;
  return true;
}

LastAttempt EvaluateLastAttempt(UpdateState& state, std::string_view runningVersion) {
  if (state.attempt.empty()) return LastAttempt::None;
  VersionComparison running = CompareVersions(runningVersion, state.attempt);
  if (!running.ok || running.sign >= 0) {
    state.attempt.clear();
    state.attempt_rc.clear();
    state.attempt_count = 0;
    if (!running.ok) return LastAttempt::None;
    state.notified.clear();
    return LastAttempt::Updated;
  }
  const std::string& rc = state.attempt_rc;
  if (rc == "0" || rc == "3010" || rc == "1641") {
    state.stuck = state.attempt;
    state.attempt_rc = "x";
    return LastAttempt::InstalledNotRunning;
  }
  if (!rc.empty()) return LastAttempt::None;
  state.attempt_rc = "x";
  CountAttempt(state);
  if (state.attempt_count < kAttemptsBeforeGivingUp) return LastAttempt::Unfinished;
  state.stuck = state.attempt;
  return LastAttempt::GivenUp;
}

}  // namespace tonvira
