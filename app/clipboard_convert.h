// The tray's "remove the marks from the copied text": the conversion, and the round trip
// through the clipboard that ends in exactly one notice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/shell.h"

namespace tonvira {

// Every letter of the vowel table loses its tone and mark (é, è, à too), đ becomes d, and
// combining marks are dropped; letters outside the table (ñ, ç, ü) stay as they are.
std::u16string StripVietnameseMarks(std::u16string_view text);

// The longest copied text the conversion takes: 8 MiB of UTF-16. A longer one is left alone
// rather than copied three times over.
inline constexpr size_t kMaxClipboardTextUnits = size_t{8} * 1024 * 1024 / sizeof(char16_t);

struct ClipboardText {
  std::u16string text;  // empty when the clipboard holds no text, or too much
  bool tooLong = false;
};

// The text of a clipboard block: up to its first NUL, and never past the block's end (a block
// another program wrote without a terminator); a text longer than maxUnits is not copied.
ClipboardText TextUpToNul(const char16_t* units, size_t bytes, size_t maxUnits = kMaxClipboardTextUnits);

// The clipboard as the conversion uses it. Like Windows' own, emptying it loses what it held.
class ClipboardAccess {
 public:
  virtual ~ClipboardAccess() = default;
  virtual bool Open() = 0;
  virtual void Close() = 0;  // only when this program has it open
  virtual ClipboardText ReadText(size_t maxUnits) = 0;
  virtual uint32_t SequenceNumber() = 0;
  // Empties the clipboard and puts the text on it. When that fails once the clipboard was
  // emptied, the original is put back, so that the user's copy is never lost to a failed
  // write. False when the text was not written (nothing leaks either way).
  virtual bool ReplaceText(std::u16string_view text, std::u16string_view original) = 0;
};

// Reads, converts and writes back unless another program changed the clipboard in between;
// the notice tells the user what happened. The clipboard is never left open.
Notice ConvertClipboard(ClipboardAccess& clipboard);

}  // namespace tonvira
