// The updater's words outside its window: notices, the tray's tooltip line and menu item, the
// settings window's status line and the package size.
#include "app/update_notices.h"

#include <gtest/gtest.h>

#include <string>

#include "update/status_texts.h"

namespace tonvira {
namespace {

UpdateStatus Offered(UpdateKind kind) {
  UpdateStatus s;
  s.kind = kind;
  s.runningVersion = u"1.4.12";
  s.offeredVersion = u"1.4.13";
  return s;
}

TEST(UpdateNotices, EveryNoticeOfTheTable) {
  UpdateStatus s = Offered(UpdateKind::InstallNow);
  s.statusText = u"Chưa cài được phiên bản 1.4.13 sau nhiều lần thử.";
  struct Row {
    const char* what;
    std::optional<Notice> notice;
    Notice expected;
  } rows[] = {
      {"available",
       UpdateAvailableNotice(s),
       {u"Đã có Tonvira 1.4.13", u"Bấm vào đây để xem nội dung và cập nhật. Bộ gõ vẫn hoạt động bình thường.",
        false, true}},
      {"required",
       UpdateRequiredNotice(s),
       {u"Tonvira cần được cập nhật",
        u"Phiên bản 1.4.12 đã ngừng hỗ trợ. Bấm vào đây để cập nhật lên phiên bản 1.4.13 và tiếp tục gõ "
        u"tiếng Việt.",
        true, true}},
      {"updated",
       OutcomeNotice(LastAttempt::Updated, s),
       {u"Tonvira đã được cập nhật", u"Bạn đang dùng phiên bản 1.4.12. Mọi thiết lập được giữ nguyên.", false,
        true}},
      {"not finished",
       OutcomeNotice(LastAttempt::Unfinished, s),
       {u"Lần cập nhật trước chưa hoàn tất", u"Bấm vào đây rồi chọn Cập nhật ngay để thử lại.", true, true}},
      {"given up",
       OutcomeNotice(LastAttempt::GivenUp, s),
       {u"Tonvira chưa lên được phiên bản mới", s.statusText, true, true}},
      {"installed, not running",
       OutcomeNotice(LastAttempt::InstalledNotRunning, s),
       {u"Tonvira chưa lên được phiên bản mới", s.statusText, true, true}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(row.notice);
    EXPECT_EQ(row.notice->title, row.expected.title);
    EXPECT_EQ(row.notice->text, row.expected.text);
    EXPECT_EQ(row.notice->warning, row.expected.warning);
    EXPECT_TRUE(row.notice->opensUpdate);
  }
  EXPECT_FALSE(OutcomeNotice(LastAttempt::None, s));
  EXPECT_FALSE(UpdateAvailableNotice(UpdateStatus{}));  // nothing offered
  EXPECT_FALSE(UpdateRequiredNotice(UpdateStatus{}));
}

TEST(UpdateNotices, TheTooltipLineOfEachKind) {
  const std::u16string twoLines = u"Tonvira — đang bật\nNgữ cảnh: Tiếng Anh";
  const std::u16string oneLine = u"Tonvira — đang tắt";
  struct Row {
    UpdateKind kind;
    std::u16string tooltip, expected;
  } rows[] = {
      {UpdateKind::Nothing, twoLines, twoLines},
      {UpdateKind::Available, twoLines, u"Tonvira — đang bật\nĐã có phiên bản 1.4.13\nNgữ cảnh: Tiếng Anh"},
      {UpdateKind::Available, oneLine, u"Tonvira — đang tắt\nĐã có phiên bản 1.4.13"},
      {UpdateKind::Ready, twoLines,
       u"Tonvira — đang bật\nĐã có phiên bản 1.4.13 — chuột phải để cập nhật\nNgữ cảnh: Tiếng Anh"},
      {UpdateKind::Ready, oneLine, u"Tonvira — đang tắt\nĐã có phiên bản 1.4.13 — chuột phải để cập nhật"},
      {UpdateKind::InstallNow, twoLines,
       u"Tonvira — cần cập nhật lên phiên bản 1.4.13\nBộ gõ tạm dừng cho tới khi cập nhật"},
      {UpdateKind::Installing, oneLine, u"Tonvira — đang cập nhật lên phiên bản 1.4.13"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.kind));
    EXPECT_EQ(TooltipUpdateLine(row.tooltip, Offered(row.kind)), row.expected);
  }
  EXPECT_EQ(UpdateMenuText(Offered(UpdateKind::InstallNow)), u"Cập nhật lên phiên bản 1.4.13…");
}

CalendarTime FixedLocalTime(uint64_t seconds) {
  return seconds == 1765000000 ? CalendarTime{2025, 12, 6, 7, 5} : CalendarTime{};
}

TEST(UpdateNotices, TheStatusLineTakesTheFirstThatHolds) {
  const std::u16string page(DownloadPage());
  struct Row {
    const char* what;
    void (*change)(UpdateStatus&);
    std::u16string expected;
  } rows[] = {
      {"no usable key beats everything",
       [](UpdateStatus& s) {
         s.noUsableKey = s.policyOff = s.checking = true;
         s.kind = UpdateKind::InstallNow;
       },
       u"Phiên bản mới được công bố tại " + page + u"."},
      {"policy off", [](UpdateStatus& s) { s.policyOff = s.checking = true; },
       u"Tính năng tự cập nhật đã được quản trị viên tắt."},
      {"installing beats downloading",
       [](UpdateStatus& s) {
         s.kind = UpdateKind::Installing;
         s.downloading = true;
       },
       u"Đang cập nhật lên phiên bản 1.4.13…"},
      {"downloading beats checking", [](UpdateStatus& s) { s.downloading = s.checking = true; },
       u"Đang tải phiên bản 1.4.13…"},
      {"checking", [](UpdateStatus& s) { s.checking = true; }, u"Đang kiểm tra…"},
      {"mandatory", [](UpdateStatus& s) { s.kind = UpdateKind::InstallNow; },
       u"Cần cập nhật lên phiên bản 1.4.13"},
      {"cannot elevate",
       [](UpdateStatus& s) {
         s.kind = UpdateKind::Ready;
         s.blocker = UpdateBlocker::CannotElevate;
       },
       u"Phiên bản 1.4.13 cần quyền quản trị để cài đặt. Vui lòng liên hệ bộ phận CNTT của đơn vị."},
      {"a portable copy",
       [](UpdateStatus& s) {
         s.kind = UpdateKind::Ready;
         s.blocker = UpdateBlocker::NotInstalled;
       },
       u"Đã có phiên bản 1.4.13 · Bản chạy thử không tự cập nhật."},
      {"not downloaded", [](UpdateStatus& s) { s.kind = UpdateKind::Available; },
       u"Đã có phiên bản 1.4.13 · chưa tải được bộ cài, Tonvira sẽ thử lại sau."},
      {"ready", [](UpdateStatus& s) { s.kind = UpdateKind::Ready; }, u"Đã có phiên bản 1.4.13"},
      {"the last check failed",
       [](UpdateStatus& s) {
         s.lastCheckFailed = true;
         s.lastCheckTime = 1765000000;
       },
       u"Chưa kiểm tra được bản cập nhật. Máy có thể chưa kết nối Internet."},
      {"never checked", [](UpdateStatus&) {}, u"Chưa kiểm tra bản cập nhật."},
      {"up to date", [](UpdateStatus& s) { s.lastCheckTime = 1765000000; },
       u"Đã là phiên bản mới nhất · kiểm tra lúc 07:05 ngày 06/12/2025"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    UpdateStatus s = Offered(UpdateKind::Nothing);
    row.change(s);
    EXPECT_EQ(UpdateStatusLine(s, FixedLocalTime), row.expected);
  }
}

TEST(UpdateNotices, PackageSizeInTenthsOfAMegabyte) {
  struct Row {
    uint64_t bytes;
    std::u16string text;
  } rows[] = {
      {12345678, u"12,3 MB"}, {1, u"0,1 MB"},      {0, u"0,1 MB"},         {149999, u"0,1 MB"},
      {150000, u"0,2 MB"},    {999999, u"1,0 MB"}, {52428800, u"52,4 MB"},
  };
  for (const Row& row : rows) EXPECT_EQ(PackageSizeText(row.bytes), row.text) << row.bytes;
}

}  // namespace
}  // namespace tonvira
