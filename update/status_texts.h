// What the update window says about an installation. The download page and the support
// contact are the build's (TONVIRA_DOWNLOAD_PAGE, TONVIRA_SUPPORT_CONTACT).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tonvira {

inline constexpr std::u16string_view kWaitingForConsentText = u"Đang chờ Windows xác nhận quyền cài đặt…";
inline constexpr std::u16string_view kAnotherInstallationText =
    u"Windows đang cài đặt một chương trình khác. Vui lòng đợi quá trình đó hoàn tất rồi thử lại.";
inline constexpr std::u16string_view kRefusedByPolicyText =
    u"Chính sách của máy không cho phép cài đặt phần mềm. Vui lòng liên hệ bộ phận CNTT của đơn vị.";
inline constexpr std::u16string_view kCancelledText =
    u"Quá trình cập nhật đã bị huỷ. Vui lòng bấm Cập nhật ngay và chọn Có khi Windows hỏi quyền cài đặt.";
inline constexpr std::u16string_view kPackageDamagedText =
    u"Tệp cài đặt đã tải về không còn nguyên vẹn. Tonvira đang tải lại, vui lòng thử lại sau ít phút.";
inline constexpr std::u16string_view kUnsignedPackageText =
    u"Bản cập nhật không có chữ ký hợp lệ nên đã không được cài đặt. Tonvira vẫn hoạt động bình thường.";
inline constexpr std::u16string_view kLastRunUnfinishedText =
    u"Lần cập nhật trước chưa hoàn tất. Vui lòng bấm Cập nhật ngay để thử lại.";

std::u16string_view DownloadPage();
std::u16string_view SupportContact();

// Versions are the manifest's bytes (UTF-8); codes are printed in decimal.
std::u16string InstallerNotStartedText(uint32_t error);
std::u16string FailedMayRetryText(uint32_t code);
std::u16string VersionGivenUpText(std::string_view version, uint32_t code);
std::u16string GivenUpAfterRetriesText(std::string_view version);
std::u16string InstalledNotRunningText(std::string_view version, std::string_view runningVersion);

}  // namespace tonvira
