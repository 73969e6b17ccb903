// Turns a verified manifest into an update decision under the machine's update policy.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "update/manifest.h"

namespace tonvira {

// The machine-wide "UpdateMode" policy value.
enum class UpdatePolicy : uint8_t { Off = 0, NotifyOnly = 1, Automatic = 2 };

// Absent or unreadable -> automatic; 0 -> off; 1 -> notify only; anything else -> automatic.
UpdatePolicy UpdatePolicyFromValue(std::optional<uint32_t> value);
// The policy of this machine (the registry on Windows).
UpdatePolicy ReadUpdatePolicy();

struct UpdateEvaluation {
  bool has_update = false;   // a newer version is offered
  bool forced = false;       // the running version is below the minimum: install now
  bool notify_only = false;  // tell the user, do not install
  std::string_view reason;   // one of the fixed texts below, for the log
};

// What the evaluation knows besides the manifest.
struct UpdateContext {
  std::string_view sourceUrl;       // where the manifest was fetched from
  std::string_view runningVersion;  // this program's version
  uint64_t max_seq = 0;             // the highest seq accepted so far
  UpdatePolicy policy = UpdatePolicy::Automatic;
  std::string_view stuck;    // a version that installed but never ran
  std::string_view blocked;  // a version the machine refused to install
};

// The checks in order; the first that decides gives the reason:
//   policy off, channel, replay, installer origin, installer name, version, minimum.
UpdateEvaluation EvaluateUpdate(const Manifest& manifest, const UpdateContext& context);

}  // namespace tonvira
