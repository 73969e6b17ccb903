// update.txt from arbitrary bytes: whatever loads is saved in a form that loads the same, and
// saving it again gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "update/update_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tonvira::UpdateState state = tonvira::LoadUpdateState(bytes);
  if (state.attempt_count < 0 || state.attempt_count > tonvira::kMaxLoadedAttemptCount) std::abort();
  std::string text = tonvira::SaveUpdateState(state);
  tonvira::UpdateState reread = tonvira::LoadUpdateState(text);
  if (!(reread == state)) std::abort();
  if (tonvira::SaveUpdateState(reread) != text) std::abort();
  return 0;
}
