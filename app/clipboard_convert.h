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

// The text of a clipboard block: up to its first NUL, and never past the block's end (a block
// another program wrote without a terminator).
std::u16string TextUpToNul(const char16_t* units, size_t bytes);

// The clipboard as the conversion uses it.
class ClipboardAccess {
 public:
  virtual ~ClipboardAccess() = default;
  virtual bool Open() = 0;
  virtual void Close() = 0;               // only when this program has it open
  virtual std::u16string ReadText() = 0;  // empty when it holds no text
  virtual uint32_t SequenceNumber() = 0;
  // Empties the clipboard and puts the text on it; false when that failed (nothing leaks).
  virtual bool WriteText(std::u16string_view text) = 0;
};

// Reads, converts and writes back unless another program changed the clipboard in between;
// the notice tells the user what happened. The clipboard is never left open.
Notice ConvertClipboard(ClipboardAccess& clipboard);

}  // namespace tonvira
