// Reading the shipped data files: the whole file at once, then its lines one by one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tonvira {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// The next line from pos that holds data: without its line end (LF or CR LF) or a leading
// byte-order mark; empty lines and lines starting with # are skipped. False at the end.
bool NextDataLine(std::string_view bytes, size_t& pos, std::string_view& line);

}  // namespace tonvira
