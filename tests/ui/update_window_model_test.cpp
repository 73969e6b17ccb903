// What the update window says and which buttons work, for each state of an update.
#include "ui/update_window_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tonvira::ui {
namespace {

UpdateStatus Offer(UpdateKind kind, size_t notes) {
  UpdateStatus s;
  s.kind = kind;
  s.runningVersion = u"1.4.12";
  s.offeredVersion = u"1.4.13";
  s.published = u"06/12/2026";
  s.packageSize = 12345678;
  for (size_t i = 0; i < notes; ++i) s.notes.push_back(u"Ghi chú " + std::u16string(1, char16_t(u'1' + i)));
  return s;
}

std::vector<std::u16string> Texts(const UpdateWindowContent& c) {
  std::vector<std::u16string> out;
  for (const UpdateWindowLine& line : c.lines) out.push_back(line.text);
  return out;
}

TEST(UpdateWindowModel, AMandatoryUpdateCannotBePutOff) {
  UpdateWindowContent c = UpdateWindowContentOf(Offer(UpdateKind::InstallNow, 2));
  EXPECT_EQ(
      Texts(c),
      (std::vector<std::u16string>{
          u"Cần cập nhật Tonvira",
          u"Phiên bản 1.4.12 đang dùng trên máy này đã ngừng hỗ trợ. Vui lòng cập nhật lên phiên bản 1.4.13 "
          u"để "
          u"tiếp tục sử dụng bộ gõ tiếng Việt.",
          u"Trong thời gian chờ cập nhật, bàn phím vẫn gõ bình thường nhưng không bỏ dấu tiếng Việt.",
          u"Phát hành ngày 06/12/2026  ·  Dung lượng 12,3 MB",
          u"NỘI DUNG CẬP NHẬT",
          u"•  Ghi chú 1",
          u"•  Ghi chú 2",
          u"Thiết lập và bảng gõ tắt được giữ nguyên.",
          u"Windows sẽ hỏi quyền cài đặt, vui lòng chọn Có (Yes). Tonvira sẽ tự khởi động lại sau khoảng một "
          u"phút.",
      }));
  EXPECT_EQ(c.lines[0].style, UpdateTextStyle::Title);
  EXPECT_EQ(c.lines[4].style, UpdateTextStyle::Heading);
  EXPECT_EQ(c.installText, u"&Cập nhật ngay");
  EXPECT_TRUE(c.installEnabled);
  EXPECT_FALSE(c.laterVisible);
}

TEST(UpdateWindowModel, ButtonsAndTitleForEachKind) {
  struct Row {
    UpdateKind kind;
    bool pressing;
    std::u16string title, install;
    bool enabled, later;
  } rows[] = {
      {UpdateKind::Available, false, u"Đã có phiên bản Tonvira 1.4.13", u"&Cập nhật ngay", false, true},
      {UpdateKind::Ready, false, u"Đã có phiên bản Tonvira 1.4.13", u"&Cập nhật ngay", true, true},
      {UpdateKind::InstallNow, true, u"Cần cập nhật Tonvira", u"&Cập nhật ngay", true, false},
      {UpdateKind::Installing, true, u"Cần cập nhật Tonvira", u"Đang cập nhật…", false, false},
      {UpdateKind::Installing, false, u"Đã có phiên bản Tonvira 1.4.13", u"Đang cập nhật…", false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(row.kind) << " pressing " << row.pressing);
    UpdateStatus s = Offer(row.kind, 0);
    s.pressing = row.pressing;
    UpdateWindowContent c = UpdateWindowContentOf(s);
    EXPECT_EQ(c.lines.front().text, row.title);
    EXPECT_EQ(c.installText, row.install);
    EXPECT_EQ(c.installEnabled, row.enabled);
    EXPECT_EQ(c.laterVisible, row.later);
  }
  EXPECT_FALSE(UpdateWindowWanted(UpdateStatus{}));
  EXPECT_TRUE(UpdateWindowWanted(Offer(UpdateKind::Available, 0)));
}

TEST(UpdateWindowModel, AtMostFiveNotesThenTheRest) {
  for (size_t notes : {0u, 5u, 6u, 9u}) {
    SCOPED_TRACE(notes);
    std::vector<std::u16string> texts = Texts(UpdateWindowContentOf(Offer(UpdateKind::Ready, notes)));
    size_t bullets = std::count_if(texts.begin(), texts.end(),
                                   [](const std::u16string& t) { return t.starts_with(u"•"); });
    EXPECT_EQ(bullets, notes == 0 ? 0 : notes <= 5 ? notes : 6);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), u"NỘI DUNG CẬP NHẬT"), notes == 0 ? 0 : 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), u"•  và các cải tiến khác"), notes > 5 ? 1 : 0);
  }
}

TEST(UpdateWindowModel, WhatIsInTheWayIsSaidLast) {
  UpdateStatus s = Offer(UpdateKind::Available, 0);
  s.blocker = UpdateBlocker::CannotElevate;
  s.downloading = true;
  s.statusText = u"Tệp cài đặt đã tải về không còn nguyên vẹn.";
  std::vector<std::u16string> texts = Texts(UpdateWindowContentOf(s));
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(std::vector<std::u16string>(texts.end() - 3, texts.end()),
            (std::vector<std::u16string>{
                u"Phiên bản 1.4.13 cần quyền quản trị để cài đặt. Vui lòng liên hệ bộ phận CNTT của đơn vị.",
                u"Đang tải phiên bản 1.4.13…", u"Tệp cài đặt đã tải về không còn nguyên vẹn."}));
}

}  // namespace
}  // namespace tonvira::ui
