#include "config/text_file.h"

#include "text/utf8.h"

namespace tonvira {

std::vector<std::u16string> SplitTextLines(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::u16string text = Utf8ToUtf16(bytes);
  std::vector<std::u16string> lines;
  std::u16string line;
  for (char16_t c : text) {
    if (c == u'\r') continue;
    if (c == u'\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

TextLines ReadTextLines(std::u16string_view path) {
  FileBytes file = ReadFileBytes(path);
  TextLines out;
  out.status = file.status;
  if (file.status == FileRead::Ok) out.lines = SplitTextLines(file.bytes);
  return out;
}

bool WriteTextFile(std::u16string_view path, std::u16string_view text) {
  std::string bytes = Utf16ToUtf8(text);
  std::u16string temporary = std::u16string(path) + u".tmp";
  // A crash, a full disk or a power cut can only ever cost the temporary file: the user's
  // file is replaced in one move, and only by a copy read back whole.
  bool written = WriteFileBytes(temporary, bytes);
  if (written) {
    FileBytes check = ReadFileBytes(temporary);
    written = check.status == FileRead::Ok && check.bytes == bytes;
  }
  if (written && MoveFileOver(temporary, path)) return true;
  RemoveFile(temporary);
  return false;
}

}  // namespace tonvira
