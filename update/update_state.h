// The updater's memory between runs, kept in update.txt in the data folder: the anti-replay
// floor, the last good check, and what became of the last installation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tonvira {

struct UpdateState {
  uint64_t max_seq = 0;  // the highest seq of any manifest ever accepted
  uint64_t last_ok = 0;  // Unix seconds of the last successful check
  std::string notified;  // the version the user was last told about
  std::string attempt;   // the version whose installation was last attempted
  int32_t attempt_count = 0;
  std::string attempt_rc;  // the installer's exit code, "x" (never reported back), "cp<error>"
  std::string stuck;       // installed, yet not the running version
  std::string blocked;     // the machine refused to install it
  std::string source;      // the URL the current manifest was accepted from

  bool operator==(const UpdateState&) const = default;
};

inline constexpr int32_t kMaxLoadedAttemptCount = 999;
inline constexpr size_t kMaxAttemptRcBytes = 10;
inline constexpr size_t kMaxUpdateStateFileBytes = 4096;

// Nine "key=value" lines in a fixed order. A text field that would not read back as itself
// (a line break in it) is written empty, so that no value can forge another line.
std::string SaveUpdateState(const UpdateState& state);
// Takes every field whose value passes its rule and leaves the others at their defaults.
UpdateState LoadUpdateState(std::string_view bytes);

// update.txt in the data folder: read at most 4096 bytes; missing or unreadable gives the
// defaults.
UpdateState LoadUpdateStateFile(std::u16string_view dataFolder);
// Creates the data folder if needed and replaces update.txt in one move; on failure the old
// file stays and the result is false.
bool SaveUpdateStateFile(const UpdateState& state, std::u16string_view dataFolder);

}  // namespace tonvira
