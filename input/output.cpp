#include "input/output.h"

#include "input/log.h"
#include "input/os.h"

namespace tonvira {
namespace {

void AddPress(std::vector<OutputEvent>& batch, uint16_t key) {
  batch.push_back({key, 0, 0});
  batch.push_back({key, 0, kEventKeyUp});
}

}  // namespace

bool IsDroppedCharacter(char16_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

std::u16string WithoutDroppedCharacters(std::u16string_view text) {
  std::u16string kept;
  kept.reserve(text.size());
  for (char16_t c : text) {
    if (!IsDroppedCharacter(c)) kept.push_back(c);
  }
  return kept;
}

void BuildEditBatch(std::vector<OutputEvent>& batch, const OutputEdit& edit) {
  batch.clear();
  int backspaces = edit.backspaces > 0 ? edit.backspaces : 0;
  batch.reserve(2 * static_cast<size_t>(backspaces) + 2 * (edit.text.size() + 2));
  if (edit.deleteFirst) AddPress(batch, vk::kDelete);
  for (int i = 0; i < backspaces; ++i) AddPress(batch, vk::kBack);
  for (char16_t unit : edit.text) {  // surrogate halves one by one
    if (IsDroppedCharacter(unit)) continue;
    batch.push_back({0, unit, kEventUnicode});
    batch.push_back({0, unit, kEventUnicode | kEventKeyUp});
  }
  if (edit.trigger) {
    if (edit.deleteBeforeKey) AddPress(batch, vk::kDelete);
    // Only the key-down: the physical key-up follows and passes through the hook.
    batch.push_back({static_cast<uint16_t>(edit.trigger->vk), static_cast<uint16_t>(edit.trigger->scan),
                     (edit.trigger->flags & kKeyExtended) ? kEventExtendedKey : 0u});
  }
}

bool SendEdit(std::vector<OutputEvent>& batch, const OutputEdit& edit) {
  BuildEditBatch(batch, edit);
  if (batch.empty()) return true;
  os::SendOutcome outcome = os::SendEvents(batch);
  LogLine("    SendInput: gui %u/%zu  err=%lu\n", outcome.inserted, batch.size(),
          static_cast<unsigned long>(outcome.error));
  return outcome.inserted == batch.size();
}

}  // namespace tonvira
