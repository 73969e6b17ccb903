#include "update/status_texts.h"

#include "text/utf8.h"

namespace tonvira {
namespace {

#define TONVIRA_WIDEN(text) u"" text
constexpr std::u16string_view kDownloadPage = TONVIRA_WIDEN(TONVIRA_DOWNLOAD_PAGE);
constexpr std::u16string_view kSupportContact = TONVIRA_WIDEN(TONVIRA_SUPPORT_CONTACT);
#undef TONVIRA_WIDEN

std::u16string Decimal(uint32_t value) {
  return Utf8ToUtf16(std::to_string(value));
}

}  // namespace

std::u16string_view DownloadPage() {
  return kDownloadPage;
}
std::u16string_view SupportContact() {
  return kSupportContact;
}

std::u16string InstallerNotStartedText(uint32_t error) {
  return u"Không khởi động được trình cài đặt của Windows (mã lỗi " + Decimal(error) + u").";
}

std::u16string FailedMayRetryText(uint32_t code) {
  return u"Chưa cập nhật được (mã lỗi " + Decimal(code) + u"). Vui lòng thử lại hoặc tải bộ cài tại " +
         std::u16string(kDownloadPage) + u".";
}

std::u16string VersionGivenUpText(std::string_view version, uint32_t code) {
  return u"Chưa cài được phiên bản " + Utf8ToUtf16(version) + u" (mã lỗi " + Decimal(code) +
         u"). Bạn có thể tiếp tục gõ tiếng Việt; vui lòng tải bộ cài tại " + std::u16string(kDownloadPage) +
         u" hoặc liên hệ " + std::u16string(kSupportContact) + u".";
}

std::u16string GivenUpAfterRetriesText(std::string_view version) {
  return u"Chưa cài được phiên bản " + Utf8ToUtf16(version) +
         u" sau nhiều lần thử. Tonvira vẫn hoạt động bình thường; vui lòng tải bộ cài tại " +
         std::u16string(kDownloadPage) + u" hoặc liên hệ " + std::u16string(kSupportContact) + u".";
}

std::u16string InstalledNotRunningText(std::string_view version, std::string_view runningVersion) {
  return u"Đã cài phiên bản " + Utf8ToUtf16(version) + u" nhưng Tonvira vẫn chạy phiên bản " +
         Utf8ToUtf16(runningVersion) + u". Vui lòng khởi động lại máy tính; nếu vẫn chưa được, xin liên hệ " +
         std::u16string(kSupportContact) + u".";
}

}  // namespace tonvira
