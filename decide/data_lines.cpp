#include "decide/data_lines.h"

#include "config/file_system.h"

namespace tonvira {

std::optional<std::string> ReadWholeFile(std::u16string_view path) {
  FileBytes file = ReadFileBytes(path);
  if (file.status != FileRead::Ok) return std::nullopt;
  return std::move(file.bytes);
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
