// Compose, TonePosition and the syllable checks on arbitrary UTF-16 keys and prefixes:
// no crash, no undefined behaviour, and the invariants callers rely on.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "compose/compose.h"
#include "compose/syllable.h"
#include "compose/tone_position.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  uint32_t flags = data[0];
  tonvira::InputMethod method = (data[1] & 1) ? tonvira::InputMethod::Vni : tonvira::InputMethod::Telex;
  bool classic = data[1] & 2;
  size_t prefixLength = (data[1] >> 2) & 7;
  data += 2;
  size -= 2;

  std::u16string units;
  for (size_t i = 0; i + 1 < size; i += 2) {
    // Mostly ASCII keys, with some Vietnamese letters for the prefix.
    char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    units.push_back((data[i + 1] & 0x80) ? c : static_cast<char16_t>(data[i] & 0x7F));
  }
  prefixLength = std::min(prefixLength, units.size());
  std::u16string_view prefix(units.data(), prefixLength);
  std::u16string_view keys(units.data() + prefixLength, units.size() - prefixLength);

  tonvira::ComposeResult r = tonvira::Compose(keys, method, classic, true, flags, prefix);
  bool tooLong = prefix.size() + keys.size() > tonvira::kMaxComposeUnits;
  if (tooLong && r.text != r.literal) std::abort();
  if (!tooLong && r.text.size() > tonvira::kMaxLetters) std::abort();
  if (r.tone > tonvira::kToneDot) std::abort();
  if (r.pendingTonePos >= static_cast<int32_t>(r.text.size())) std::abort();
  if (r.changed != (r.text != r.literal)) std::abort();

  int pos = tonvira::TonePosition(r.text, classic);
  if (pos >= static_cast<int>(r.text.size())) std::abort();
  tonvira::IsWellFormedSyllable(r.text);
  tonvira::CouldBeSyllableStart(r.text);
  return 0;
}
