// The two primitives every text file of the program goes through: UTF-8 on disk, UTF-16 lines
// in memory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/file_system.h"

namespace tonvira {

struct TextLines {
  FileRead status = FileRead::Missing;
  std::vector<std::u16string> lines;  // empty unless status is Ok
};

// A leading byte-order mark is dropped, invalid UTF-8 becomes U+FFFD, every CR is dropped,
// every LF ends a line, and a last line without LF counts only when it is not empty.
std::vector<std::u16string> SplitTextLines(std::string_view bytes);

// Tells a missing file from one that is there but cannot be read, so that callers never
// overwrite a file they could not read.
TextLines ReadTextLines(std::u16string_view path);

// Writes the text as UTF-8 (no byte-order mark) to a ".tmp" sibling, checks it, and moves it
// over the file. On any failure the old file is left as it was and the result is false.
bool WriteTextFile(std::u16string_view path, std::u16string_view text);

}  // namespace tonvira
