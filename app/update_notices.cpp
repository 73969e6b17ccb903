#include "app/update_notices.h"

#include <ctime>

#include "app/main_window.h"
#include "input/pipeline.h"
#include "text/utf8.h"
#include "update/status_texts.h"

namespace tonvira {
namespace {

std::u16string Decimal(uint64_t value) {
  return Utf8ToUtf16(std::to_string(value));
}

// Zero-padded to width digits, as %02u and %04u print.
std::u16string Padded(uint32_t value, size_t width) {
  std::u16string out = Decimal(value);
  if (out.size() < width) out.insert(0, width - out.size(), u'0');
  return out;
}

}  // namespace

std::optional<Notice> UpdateAvailableNotice(const UpdateStatus& s) {
  if (s.offeredVersion.empty()) return std::nullopt;
  return Notice{u"Đã có Tonvira " + s.offeredVersion,
                u"Bấm vào đây để xem nội dung và cập nhật. Bộ gõ vẫn hoạt động bình thường.", false, true};
}

std::optional<Notice> UpdateRequiredNotice(const UpdateStatus& s) {
  if (s.offeredVersion.empty() || s.runningVersion.empty()) return std::nullopt;
  return Notice{u"Tonvira cần được cập nhật",
                u"Phiên bản " + s.runningVersion +
                    u" đã ngừng hỗ trợ. Bấm vào đây để cập nhật lên phiên bản " + s.offeredVersion +
                    u" và tiếp tục gõ tiếng Việt.",
                true, true};
}

std::optional<Notice> OutcomeNotice(LastAttempt outcome, const UpdateStatus& s) {
  switch (outcome) {
    case LastAttempt::Updated:
      return Notice{u"Tonvira đã được cập nhật",
                    u"Bạn đang dùng phiên bản " + s.runningVersion + u". Mọi thiết lập được giữ nguyên.",
                    false, true};
    case LastAttempt::Unfinished:
      return Notice{u"Lần cập nhật trước chưa hoàn tất", u"Bấm vào đây rồi chọn Cập nhật ngay để thử lại.",
                    true, true};
    case LastAttempt::GivenUp:
    case LastAttempt::InstalledNotRunning:
      return Notice{u"Tonvira chưa lên được phiên bản mới", s.statusText, true, true};
    case LastAttempt::None:
      break;
  }
  return std::nullopt;
}

std::u16string TooltipUpdateLine(std::u16string tooltip, const UpdateStatus& s) {
  std::u16string line;
  switch (s.kind) {
    case UpdateKind::Installing:
      return u"Tonvira — đang cập nhật lên phiên bản " + s.offeredVersion;
    case UpdateKind::InstallNow:
      return u"Tonvira — cần cập nhật lên phiên bản " + s.offeredVersion +
             u"\nBộ gõ tạm dừng cho tới khi cập nhật";
    case UpdateKind::Ready:
      line = u"\nĐã có phiên bản " + s.offeredVersion + u" — chuột phải để cập nhật";
      break;
    case UpdateKind::Available:
      line = u"\nĐã có phiên bản " + s.offeredVersion;
      break;
    case UpdateKind::Nothing:
      return tooltip;
  }
  size_t lineBreak = tooltip.find(u'\n');
  tooltip.insert(lineBreak == std::u16string::npos ? tooltip.size() : lineBreak, line);
  return tooltip;
}

std::u16string UpdateMenuText(const UpdateStatus& s) {
  return u"Cập nhật lên phiên bản " + s.offeredVersion + u"…";
}

CalendarTime LocalCalendarTime(uint64_t unixSeconds) {
  std::time_t t = static_cast<std::time_t>(unixSeconds);
  // Only the main thread asks: the shared buffer of localtime is not contended.
  const std::tm* tm = std::localtime(&t);
  if (!tm) return {};
  return {static_cast<uint32_t>(tm->tm_year + 1900), static_cast<uint32_t>(tm->tm_mon + 1),
          static_cast<uint32_t>(tm->tm_mday), static_cast<uint32_t>(tm->tm_hour),
          static_cast<uint32_t>(tm->tm_min)};
}

std::u16string UpdateStatusLine(const UpdateStatus& s, CalendarTime (*toLocal)(uint64_t)) {
  const std::u16string& v = s.offeredVersion;
  if (s.noUsableKey) return u"Phiên bản mới được công bố tại " + std::u16string(DownloadPage()) + u".";
  if (s.policyOff) return u"Tính năng tự cập nhật đã được quản trị viên tắt.";
  if (s.kind == UpdateKind::Installing) return u"Đang cập nhật lên phiên bản " + v + u"…";
  if (s.downloading) return u"Đang tải phiên bản " + v + u"…";
  if (s.checking) return u"Đang kiểm tra…";
  if (s.kind != UpdateKind::Nothing) {
    if (s.kind == UpdateKind::InstallNow) return u"Cần cập nhật lên phiên bản " + v;
    if (s.blocker == UpdateBlocker::CannotElevate)
      return u"Phiên bản " + v + u" cần quyền quản trị để cài đặt. Vui lòng liên hệ bộ phận CNTT của đơn vị.";
    if (s.blocker == UpdateBlocker::NotInstalled)
      return u"Đã có phiên bản " + v + u" · Bản chạy thử không tự cập nhật.";
    if (s.kind == UpdateKind::Available)
      return u"Đã có phiên bản " + v + u" · chưa tải được bộ cài, Tonvira sẽ thử lại sau.";
    return u"Đã có phiên bản " + v;
  }
  if (s.lastCheckFailed) return u"Chưa kiểm tra được bản cập nhật. Máy có thể chưa kết nối Internet.";
  if (s.lastCheckTime == 0) return u"Chưa kiểm tra bản cập nhật.";
  CalendarTime t = toLocal(s.lastCheckTime);
  return u"Đã là phiên bản mới nhất · kiểm tra lúc " + Padded(t.hour, 2) + u":" + Padded(t.minute, 2) +
         u" ngày " + Padded(t.day, 2) + u"/" + Padded(t.month, 2) + u"/" + Padded(t.year, 4);
}

std::u16string PackageSizeText(uint64_t bytes) {
  uint64_t tenths = (bytes + 50000) / 100000;
  if (tenths < 1) tenths = 1;
  return Decimal(tenths / 10) + u"," + Decimal(tenths % 10) + u" MB";
}

void RefreshUpdateState(App& app, ShellSystem& system) {
  UpdateStatus s = system.Update();
  ShellState& shell = app.shell;
  if (s.kind == UpdateKind::InstallNow) {
    if (!IsSuspended(app.pipeline)) RequestSuspension(app.pipeline, true);
  } else if (s.kind != UpdateKind::Installing && IsSuspended(app.pipeline)) {
    RequestSuspension(app.pipeline, false);
    SetVietnameseOn(app.pipeline, app.settings.enabled != 0);  // as the user had it
  }
  std::optional<Notice> required;
  if (s.kind == UpdateKind::InstallNow && !shell.updateRequiredNoticeShown && OkToNotify(app, system))
    required = UpdateRequiredNotice(s);
  if (required) {
    shell.updateRequiredNoticeShown = true;
    ShowNotice(app, system, *required);
  } else if (std::optional<Notice> outcome = OutcomeNotice(system.TakeUpdateOutcome(), s)) {
    ShowNotice(app, system, *outcome);
  }
  uint32_t sinceStart = system.TickCount() - static_cast<uint32_t>(app.startTick);
  if (s.kind == UpdateKind::InstallNow && !app.startedAtLogon && !shell.updateWindowShownAtStart &&
      sinceStart < kUpdateWindowAtStartMs) {
    shell.updateWindowShownAtStart = true;
    system.OpenUpdateWindow();
  }
  RefreshTray(app, system);
  system.RefreshUpdateWindow();
}

void TimerUpdateNotices(App& app, ShellSystem& system) {
  ShellState& shell = app.shell;
  UpdateStatus s = system.Update();
  uint32_t sinceStart = system.TickCount() - static_cast<uint32_t>(app.startTick);
  if (!IsSuspended(app.pipeline) && sinceStart >= kQuietAfterStartMs && s.kind == UpdateKind::Ready &&
      !s.notified && OkToNotify(app, system)) {
    if (std::optional<Notice> notice = UpdateAvailableNotice(s)) {
      system.MarkUpdateNotified();
      ShowNotice(app, system, *notice);
    }
  }
  if (!shell.updateRequiredNoticeShown && s.kind == UpdateKind::InstallNow && OkToNotify(app, system)) {
    if (std::optional<Notice> notice = UpdateRequiredNotice(s)) {
      shell.updateRequiredNoticeShown = true;
      ShowNotice(app, system, *notice);
    }
  }
}

}  // namespace tonvira
