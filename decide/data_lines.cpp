#include "decide/data_lines.h"

#include <fstream>

namespace tonvira {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) return std::nullopt;
  return bytes;
}

bool NextDataLine(std::string_view bytes, size_t& pos, std::string_view& line) {
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.size() >= 3 && static_cast<unsigned char>(line[0]) == 0xEF) line.remove_prefix(3);  // BOM
    if (!line.empty() && line.front() != '#') return true;
  }
  return false;
}

}  // namespace tonvira
