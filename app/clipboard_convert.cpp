#include "app/clipboard_convert.h"

#include "text/letters.h"
#include "text/vowel_table.h"

namespace tonvira {
namespace {

constexpr char16_t kCapitalD = u'\u0110';  // Đ
constexpr char16_t kSmallD = u'\u0111';    // đ

bool IsCombiningMark(char16_t c) {
  return c >= 0x0300 && c <= 0x036F;
}

char16_t LowerOf(char16_t c) {
  if (c == kCapitalD) return kSmallD;
  size_t upper = kUpperForms.find(c);
  return upper == std::u16string_view::npos ? c : kLowerForms[upper];
}

// The plain letter under a lower-case letter: no tone, no breve, circumflex, horn or stroke.
char16_t PlainLetter(char16_t lower) {
  size_t cell = kLowerForms.find(lower);
  char16_t s = cell == std::u16string_view::npos ? lower : kBaseVowels[cell / kToneForms];
  switch (s) {
    case u'ă':
    case u'â':
      return u'a';
    case u'ê':
      return u'e';
    case u'ô':
    case u'ơ':
      return u'o';
    case u'ư':
      return u'u';
    case kSmallD:
      return u'd';
    default:
      return s;
  }
}

}  // namespace

std::u16string StripVietnameseMarks(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80) {
      out += c;
      continue;
    }
    if (IsCombiningMark(c)) continue;
    char16_t lower = LowerOf(c);
    char16_t plain = PlainLetter(lower);
    out += c == lower ? plain : ToUpperVi(plain);
  }
  return out;
}

ClipboardText TextUpToNul(const char16_t* units, size_t bytes, size_t maxUnits) {
  if (!units) return {};
  std::u16string_view block(units, bytes / sizeof(char16_t));
  // Only as far as the limit and one unit more is looked at: a NUL there ends a text short enough.
  std::u16string_view looked = block.substr(0, maxUnits + 1);
  size_t end = looked.find(u'\0');
  if (end == std::u16string_view::npos) end = looked.size();
  if (end > maxUnits) return ClipboardText{{}, true};
  return ClipboardText{std::u16string(block.substr(0, end)), false};
}

Notice ConvertClipboard(ClipboardAccess& clipboard) {
  Notice notice{u"Tonvira", u"", false, false};
  if (!clipboard.Open()) {
    notice.text = u"Không mở được bộ nhớ tạm. Thử lại sau giây lát.";
    notice.warning = true;
    return notice;
  }
  ClipboardText read = clipboard.ReadText(kMaxClipboardTextUnits);
  uint32_t sequence = clipboard.SequenceNumber();
  clipboard.Close();

  if (read.tooLong) {
    notice.text = u"Văn bản đã sao chép quá dài để bỏ dấu.";
    notice.warning = true;
    return notice;
  }
  const std::u16string& text = read.text;
  std::u16string converted = StripVietnameseMarks(text);
  if (text.empty()) {
    notice.text = u"Bộ nhớ tạm chưa có chữ. Hãy sao chép (Ctrl+C) văn bản cần bỏ dấu trước.";
    return notice;
  }
  if (converted == text) {
    notice.text = u"Văn bản đã sao chép không có dấu tiếng Việt.";
    return notice;
  }
  // What another program copied after the read is never overwritten.
  bool opened = clipboard.Open();
  if (!opened || clipboard.SequenceNumber() != sequence) {
    if (opened) clipboard.Close();
    notice.text = u"Bộ nhớ tạm vừa thay đổi. Hãy sao chép lại rồi chọn Bỏ dấu lần nữa.";
    notice.warning = true;
    return notice;
  }
  bool written = clipboard.ReplaceText(converted, text);
  clipboard.Close();
  notice.text = written ? u"Đã bỏ dấu văn bản đã sao chép. Dán (Ctrl+V) để dùng."
                        : u"Không ghi được vào bộ nhớ tạm. Thử lại sau giây lát.";
  return notice;
}

}  // namespace tonvira
