#include "ui/update_window_model.h"

#include "app/update_notices.h"

namespace tonvira::ui {

bool UpdateWindowWanted(const UpdateStatus& s) {
  return s.kind != UpdateKind::Nothing;
}

bool MandatoryUpdate(const UpdateStatus& s) {
  return s.kind == UpdateKind::InstallNow || (s.kind == UpdateKind::Installing && s.pressing);
}

UpdateWindowContent UpdateWindowContentOf(const UpdateStatus& s) {
  UpdateWindowContent c;
  auto add = [&c](UpdateTextStyle style, std::u16string text) {
    c.lines.push_back({style, std::move(text)});
  };
  bool mandatory = MandatoryUpdate(s);
  if (mandatory) {
    add(UpdateTextStyle::Title, u"Cần cập nhật Tonvira");
    add(UpdateTextStyle::Body,
        u"Phiên bản " + s.runningVersion +
            u" đang dùng trên máy này đã ngừng hỗ trợ. Vui lòng cập nhật lên phiên bản " + s.offeredVersion +
            u" để tiếp tục sử dụng bộ gõ tiếng Việt.");
    add(UpdateTextStyle::Body,
        u"Trong thời gian chờ cập nhật, bàn phím vẫn gõ bình thường nhưng không bỏ dấu tiếng Việt.");
  } else {
    add(UpdateTextStyle::Title, u"Đã có phiên bản Tonvira " + s.offeredVersion);
    add(UpdateTextStyle::Body,
        u"Bạn đang dùng phiên bản " + s.runningVersion + u". Phiên bản mới đã sẵn sàng để cài đặt.");
  }
  add(UpdateTextStyle::Detail,
      u"Phát hành ngày " + s.published + u"  ·  Dung lượng " + PackageSizeText(s.packageSize));
  if (!s.notes.empty()) {
    add(UpdateTextStyle::Heading, u"NỘI DUNG CẬP NHẬT");
    for (size_t i = 0; i < s.notes.size() && i < kMaxNotesShown; ++i)
      add(UpdateTextStyle::Detail, u"•  " + s.notes[i]);
    if (s.notes.size() > kMaxNotesShown) add(UpdateTextStyle::Detail, u"•  và các cải tiến khác");
  }
  add(UpdateTextStyle::Detail, u"Thiết lập và bảng gõ tắt được giữ nguyên.");
  add(UpdateTextStyle::Detail,
      u"Windows sẽ hỏi quyền cài đặt, vui lòng chọn Có (Yes). Tonvira sẽ tự khởi động lại sau khoảng một "
      u"phút.");
  if (s.blocker == UpdateBlocker::CannotElevate) {
    add(UpdateTextStyle::Body,
        u"Phiên bản " + s.offeredVersion +
            u" cần quyền quản trị để cài đặt. Vui lòng liên hệ bộ phận CNTT của đơn vị.");
  }
  if (s.downloading || s.kind == UpdateKind::Available)
    add(UpdateTextStyle::Body, u"Đang tải phiên bản " + s.offeredVersion + u"…");
  if (!s.statusText.empty()) add(UpdateTextStyle::Body, s.statusText);

  c.installText = s.kind == UpdateKind::Installing ? u"Đang cập nhật…" : u"&Cập nhật ngay";
  c.installEnabled = s.kind == UpdateKind::Ready || s.kind == UpdateKind::InstallNow;
  c.laterVisible = !mandatory;
  return c;
}

}  // namespace tonvira::ui
