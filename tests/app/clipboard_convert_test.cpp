#include "app/clipboard_convert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/fakes.h"

namespace tonvira {
namespace {

TEST(StripVietnameseMarks, LettersOfTheTableLoseTheirMarksOthersStay) {
  struct Row {
    const char16_t* text;
    const char16_t* expected;
  } rows[] = {
      {u"Tiếng Việt có dấu", u"Tieng Viet co dau"},
      {u"ĐƯỜNG", u"DUONG"},
      {u"đường Đông", u"duong Dong"},
      {u"Crème brûlée", u"Creme brûlee"},  // û is not a letter of the table
      {u"e\u0301", u"e"},                  // decomposed: the combining acute goes
      {u"Vie\u0323\u0302t", u"Viet"},
      {u"ñ ç ü ë Ñ Ç Ü Ë", u"ñ ç ü ë Ñ Ç Ü Ë"},
      {u"ẮẰẲẴẶ ỨỪỬỮỰ ỴỲ", u"AAAAA UUUUU YY"},
      {u"Tiếng Việt — “ngoặc” 😀", u"Tieng Viet — “ngoac” 😀"},  // punctuation and pairs kept
      {u"plain ASCII 123\t\r\n", u"plain ASCII 123\t\r\n"},
      {u"", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(StripVietnameseMarks(row.text), row.expected);
  }
}

TEST(TextUpToNul, StopsAtTheFirstNulOrTheEndOfTheBlockAndRefusesTooLongATextUncopied) {
  const char16_t terminated[] = u"abc\0def";
  EXPECT_EQ(TextUpToNul(terminated, sizeof(terminated)).text, u"abc");
  const char16_t unterminated[3] = {u'x', u'y', u'z'};  // no NUL anywhere in the block
  EXPECT_EQ(TextUpToNul(unterminated, sizeof(unterminated)).text, u"xyz");
  EXPECT_EQ(TextUpToNul(unterminated, 5).text, u"xy");  // an odd byte count: the half unit is left out
  EXPECT_EQ(TextUpToNul(unterminated, 0).text, u"");
  EXPECT_EQ(TextUpToNul(nullptr, 16).text, u"");
  // At the limit: taken; one unit over it: refused, even in a block far larger than the text.
  EXPECT_EQ(TextUpToNul(terminated, sizeof(terminated), 3).text, u"abc");
  EXPECT_TRUE(TextUpToNul(unterminated, sizeof(unterminated), 2).tooLong);
  EXPECT_TRUE(TextUpToNul(unterminated, sizeof(unterminated), 2).text.empty());
}

TEST(ConvertClipboard, EveryOutcomeEndsInOneNoticeAndAClosedClipboard) {
  struct Row {
    const char* what;
    std::u16string text;
    int opensAllowed;
    bool allocationFails;
    int setFailures;
    std::u16string copiedMeanwhile;
    std::u16string notice;
    bool warning;
    std::u16string after;
  };
  const std::u16string huge(kMaxClipboardTextUnits + 1, u'ệ');
  const Row rows[] = {
      {"converted", u"Tiếng Việt có dấu — ĐƯỜNG", 100, false, 0, u"",
       u"Đã bỏ dấu văn bản đã sao chép. Dán (Ctrl+V) để dùng.", false, u"Tieng Viet co dau — DUONG"},
      {"cannot open", u"Việt", 0, false, 0, u"", u"Không mở được bộ nhớ tạm. Thử lại sau giây lát.", true,
       u"Việt"},
      {"no text (an image)", u"", 100, false, 0, u"",
       u"Bộ nhớ tạm chưa có chữ. Hãy sao chép (Ctrl+C) văn bản cần bỏ dấu trước.", false, u""},
      {"nothing to remove", u"plain text", 100, false, 0, u"",
       u"Văn bản đã sao chép không có dấu tiếng Việt.", false, u"plain text"},
      {"changed between read and write", u"Việt", 100, false, 0, u"mới chép",
       u"Bộ nhớ tạm vừa thay đổi. Hãy sao chép lại rồi chọn Bỏ dấu lần nữa.", true, u"mới chép"},
      {"second open fails", u"Việt", 1, false, 0, u"",
       u"Bộ nhớ tạm vừa thay đổi. Hãy sao chép lại rồi chọn Bỏ dấu lần nữa.", true, u"Việt"},
      {"no memory for the write", u"Việt", 100, true, 0, u"",
       u"Không ghi được vào bộ nhớ tạm. Thử lại sau giây lát.", false, u"Việt"},
      {"write fails after emptying: the copy goes back", u"Việt", 100, false, 1, u"",
       u"Không ghi được vào bộ nhớ tạm. Thử lại sau giây lát.", false, u"Việt"},
      {"too long: left alone", huge, 100, false, 0, u"", u"Văn bản đã sao chép quá dài để bỏ dấu.", true,
       huge},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeClipboard clipboard;
    clipboard.text = row.text;
    clipboard.opensAllowed = row.opensAllowed;
    clipboard.allocationFails = row.allocationFails;
    clipboard.setFailures = row.setFailures;
    clipboard.copiedByAnotherProgram = row.copiedMeanwhile;
    Notice notice = ConvertClipboard(clipboard);
    EXPECT_EQ(notice.title, u"Tonvira");
    EXPECT_EQ(notice.text, row.notice);
    EXPECT_EQ(notice.warning, row.warning);
    EXPECT_FALSE(notice.opensUpdate);
    EXPECT_FALSE(clipboard.open);
    EXPECT_EQ(clipboard.text, row.after);
  }
}

}  // namespace
}  // namespace tonvira
