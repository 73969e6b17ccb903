// Reading the shipped data files: the whole file at once, then its lines one by one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tonvira {

// The whole file through the file seam; nothing when it is missing or cannot be read.
std::optional<std::string> ReadWholeFile(std::u16string_view path);

// The next line from pos that holds data: without its line end (LF or CR LF) or a leading
// byte-order mark; empty lines and lines starting with # are skipped. False at the end.
bool NextDataLine(std::string_view bytes, size_t& pos, std::string_view& line);

}  // namespace tonvira
