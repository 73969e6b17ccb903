// abbrev.txt from arbitrary bytes: only entries a line can hold reach the table, keys are stored
// lowered, and the file the program writes reads back to the same table and the same bytes.
// The same bytes also make a table directly, with keys and expansions the editor or an import
// could put in (TABs, "=", "#", CR, LF, spaces at the ends, backslashes, lone surrogates): that
// table too must read back from its file unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "config/abbrev_library.h"
#include "config/abbrev_table.h"
#include "config/text_file.h"
#include "text/utf8.h"

namespace {

// A table read back from the file the program writes for it.
tonvira::AbbrevTable WriteAndRead(const tonvira::AbbrevTable& table, std::string& written) {
  written = tonvira::Utf16ToUtf8(tonvira::AbbrevFileText(table));
  tonvira::AbbrevTable reread;
  tonvira::ParseAbbrevLines(reread, tonvira::SplitTextLines(written));
  return reread;
}

void CheckFileBytes(std::string_view bytes) {
  tonvira::AbbrevTable table;
  std::vector<std::u16string> lines = tonvira::SplitTextLines(bytes);
  tonvira::ParseAbbrevLines(table, lines);
  bool escaped = false;
  for (const std::u16string& line : lines) escaped = escaped || line == tonvira::kAbbrevEscapedLine;
  for (const auto& [key, expansion] : table.expansions) {
    if (key.empty() || key.size() > 63 || expansion.empty()) std::abort();
    // Only an escaped file brings in what an import would refuse.
    if (!escaped && (!tonvira::IsValidAbbrevKey(key) || !tonvira::IsValidExpansion(expansion))) std::abort();
    if (tonvira::AbbrevKey(key) != key || tonvira::LookupAbbrev(table, key) != &expansion) std::abort();
  }
  for (const auto& [key, since] : table.since) {
    if (!table.expansions.contains(key) || since.empty()) std::abort();
    // A version is never lower than itself, and two versions are never lower than each other.
    if (tonvira::VersionLower(since, since)) std::abort();
    const std::u16string& other = table.since.begin()->second;
    if (tonvira::VersionLower(since, other) && tonvira::VersionLower(other, since)) std::abort();
  }

  std::string first;
  tonvira::AbbrevTable reread = WriteAndRead(table, first);
  if (reread.expansions != table.expansions) std::abort();
  if (tonvira::Utf16ToUtf8(tonvira::AbbrevFileText(reread)) != first) std::abort();
}

// Units the file format is touchy about, so that most bytes land on one of them.
constexpr char16_t kAwkward[] = {u'\t', u'\r', u'\n', u' ',   u'#',   u'=',   u'\\',  u't',   u'r',
                                 u'n',  u's',  u'u',  u'0',   u'F',   u'A',   u'k',   u'đ',   u'Ệ',
                                 0x01,  0x1F,  0x7F,  0xFFFD, 0xFEFF, 0xD83D, 0xDE06, 0xDC00, 0x0000};
constexpr size_t kAwkwardCount = sizeof(kAwkward) / sizeof(kAwkward[0]);

// Bytes -> (key, expansion) pairs: a length byte, then that many units for the key, a length
// byte and the units of the expansion. A unit is one of the awkward ones, or, after a byte of
// 0xF0 and up, any code unit given by the next two bytes.
class TableMaker {
 public:
  explicit TableMaker(std::string_view bytes) : bytes_(bytes) {}
  bool Done() const { return at_ >= bytes_.size(); }
  std::u16string Field() {
    size_t length = Byte() % 72;  // past the 63-unit key limit at times
    std::u16string out;
    while (out.size() < length && !Done()) out.push_back(Unit());
    return out;
  }

 private:
  uint8_t Byte() { return Done() ? 0 : static_cast<uint8_t>(bytes_[at_++]); }
  char16_t Unit() {
    uint8_t b = Byte();
    if (b < 0xF0) return kAwkward[b % kAwkwardCount];
    uint8_t high = Byte();
    return static_cast<char16_t>((high << 8) | Byte());
  }
  std::string_view bytes_;
  size_t at_ = 0;
};

void CheckTableRoundTrip(std::string_view bytes) {
  tonvira::AbbrevTable table;
  tonvira::AbbrevTable holdable;  // what a file line can hold: key of 1 to 63 units, expansion not empty
  TableMaker maker(bytes);
  while (!maker.Done()) {
    std::u16string key = maker.Field();
    std::u16string expansion = maker.Field();
    tonvira::SetAbbrev(table, key, expansion);
    if (!key.empty() && key.size() <= 63 && !expansion.empty()) {
      tonvira::SetAbbrev(holdable, key, expansion);
    } else {
      tonvira::RemoveAbbrev(holdable, key);
    }
  }
  std::string first;
  tonvira::AbbrevTable reread = WriteAndRead(table, first);
  if (reread.expansions != holdable.expansions || !reread.since.empty()) std::abort();
  // Nothing left out: the file comes back byte for byte when written again.
  std::string second;
  WriteAndRead(reread, second);
  if (table.expansions == holdable.expansions && second != first) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckFileBytes(bytes);
  CheckTableRoundTrip(bytes);
  return 0;
}
