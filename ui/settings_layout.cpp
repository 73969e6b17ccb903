#include "ui/settings_layout.h"

#include <algorithm>
#include <optional>

namespace tonvira::ui {
namespace {

using K = ControlKind;

// A check box for a flag, or a radio button for one value of a setting: its caption is the
// setting's label.
constexpr ControlSpec SettingBox(int id, int page, const SettingRow& setting, Box box,
                                 bool startsGroup = false, std::optional<int32_t> choice = std::nullopt) {
  if (!choice) return {id, page, K::Check, setting.label, box, startsGroup, setting.key};
  std::u16string_view caption = ChoiceCaption(setting, static_cast<size_t>(*choice - setting.low));
  return {id, page, K::Radio, caption, box, startsGroup, setting.key, *choice};
}

// A box, slider or list that shows a setting without a caption of its own.
constexpr ControlSpec SettingControl(int id, int page, ControlKind kind, const SettingRow& setting, Box box) {
  return {id, page, kind, u"", box, false, setting.key};
}

constexpr ControlSpec kControls[] = {
    // The tabs, first in the keyboard's order
    {kFirstTab, kAllPages, K::Tab, u"&Kiểu gõ", kTabs[0], true},
    {kFirstTab + 1, kAllPages, K::Tab, u"&Ngữ cảnh", kTabs[1]},
    {kFirstTab + 2, kAllPages, K::Tab, u"Gõ &tắt", kTabs[2]},
    {kFirstTab + 3, kAllPages, K::Tab, u"Hệ thốn&g", kTabs[3]},
    // Kiểu gõ
    {0, 0, K::Header, u"KIỂU GÕ", {40, 134, 200, 18}},
    SettingBox(kTelex, 0, SettingNamed(u"method"), {40, 158, 130, 24}, true, 0),
    SettingBox(kVni, 0, SettingNamed(u"method"), {180, 158, 130, 24}, false, 1),
    {0,
     0,
     K::Text,
     u"Telex dùng chữ cái làm phím dấu (aa, ow, s, f…) nên hay lẫn với tiếng Anh.\nVNI dùng chữ số (a6, o7, "
     u"1-5) "
     u"nên gần như không lẫn.",
     {40, 188, 500, 40}},
    SettingBox(kOldTone, 0, SettingNamed(u"old_tone"), {40, 236, 420, 24}, true),
    {0, 0, K::Header, u"ĐOÁN THÔNG MINH", {40, 282, 260, 18}},
    SettingBox(kSmart, 0, SettingNamed(u"smart"), {40, 304, 420, 24}, true),
    {0,
     0,
     K::Text,
     u"Tắt = gõ sao ra thế: chỉ bỏ dấu theo Telex/VNI, không tự giữ nguyên từ tiếng Anh.",
     {40, 330, 500, 18}},  // 18 high, not 20: it ends where the next line begins
    {0, 0, K::Text, u"Ô mật khẩu thì luôn giữ nguyên, dù bật hay tắt.", {40, 348, 500, 20}},
    {0, 0, K::Header, u"SỬA LỖI GÕ", {40, 380, 260, 18}},
    SettingBox(kBsEdit, 0, SettingNamed(u"bs_edit"), {40, 400, 500, 24}, true),
    SettingBox(kFreeMarks, 0, SettingNamed(u"free_marks"), {40, 424, 500, 24}),
    SettingBox(kAutofix, 0, SettingNamed(u"autofix"), {40, 448, 500, 24}),
    SettingBox(kCapsVi, 0, SettingNamed(u"caps_vi"), {40, 472, 500, 24}),
    // Ngữ cảnh
    {0, 1, K::Header, u"NHẬN BIẾT NGỮ CẢNH", {40, 134, 300, 18}},
    SettingBox(kContext, 1, SettingNamed(u"context"), {40, 156, 500, 24},
               true),  // 500 wide: the caption needs it
    {0, 1, K::Text, u"Ô nhập hiện tại", {40, 188, 120, 20}},
    {kFieldLine, 1, K::Text, u"", {164, 188, 380, 20}},
    {0, 1, K::Text, SettingNamed(u"en_threshold").label, {40, 216, 165, 20}},
    {kThresholdValue, 1, K::CentredText, u"", {500, 216, 40, 20}},
    SettingControl(kThreshold, 1, K::Trackbar, SettingNamed(u"en_threshold"), {210, 214, 280, 26}),
    {0, 1, K::Text, u"Thấp = dễ nhận là tiếng Anh   ·   Cao = ưu tiên tiếng Việt", {40, 242, 490, 20}},
    {0, 1, K::Header, u"NGÔN NGỮ THEO &PHẦN MỀM", {40, 278, 340, 18}},
    {0,
     1,
     K::Text,
     u"Mỗi phần mềm một thói quen: Zalo hay tiếng Việt, terminal hay tiếng Anh.",
     {40, 298, 500, 20}},
    {kAppList, 1, K::ListView, u"", {40, 322, 500, 148}},
    {kAddApp, 1, K::Button, u"Thêm &app đang mở", {40, 480, 158, 30}},
    {kChangeAppLanguage, 1, K::Button, u"Đổ&i ngôn ngữ", {206, 480, 130, 30}},
    {kDeleteApp, 1, K::Button, u"X&oá", {344, 480, 76, 30}},
    {kOpenContextFile, 1, K::Button, u"Mở &file…", {428, 480, 112, 30}},
    // Gõ tắt
    {0, 2, K::Header, u"GÕ TẮT", {40, 134, 200, 18}},
    SettingBox(kAbbrevOn, 2, SettingNamed(u"abbrev"), {40, 154, 180, 24}, true),
    {kAbbrevCount, 2, K::Text, u"", {228, 157, 120, 20}},
    {0,
     2,
     K::Text,
     u"Gõ khoá rồi dấu cách, Tonvira thay bằng bản đầy đủ.\nVí dụ:  chxhcnvn  →  Cộng hòa Xã hội Chủ nghĩa "
     u"Việt Nam",
     {40, 180, 500, 36}},
    {kAbbrevList, 2, K::ListView, u"", {40, 220, 500, 196}},
    {kAbbrevKey, 2, K::Edit, u"", {40, 426, 110, 26}},
    {kAbbrevExpansion, 2, K::Edit, u"", {158, 426, 300, 26}},
    {kAbbrevAdd, 2, K::Button, u"T&hêm", {466, 424, 74, 30}},
    {kAbbrevDelete, 2, K::Button, u"Xoá mục đã &chọn", {40, 464, 152, 30}},
    {kAbbrevImport, 2, K::Button, u"Nhập từ &Excel / CSV…", {200, 464, 186, 30}},
    {kAbbrevSample, 2, K::Button, u"Mở &file mẫu", {394, 464, 146, 30}},
    // Hệ thống
    {0, 3, K::Header, u"HỆ THỐNG", {40, 134, 200, 18}},
    SettingBox(kEnabled, 3, SettingNamed(u"enabled"), {40, 156, 120, 24}, true),
    {kUpdateBlock, 3, K::Text, u"", {168, 160, 372, 20}},
    SettingBox(kStartup, 3, SettingNamed(u"startup"), {40, 186, 340, 24}),
    {0, 3, K::Header, u"&PHÍM TẮT BẬT / TẮT", {40, 228, 260, 18}},
    SettingControl(kHotkeyMode, 3, K::DropDown, SettingNamed(u"hotkey_mode"), {40, 250, 230, 200}),
    SettingControl(kHotkeyKey, 3, K::HotkeyEdit, SettingNamed(u"hotkey_char"), {282, 250, 44, 26}),
    {kHotkeyHint,
     3,
     K::Text,
     u"Ctrl + Shift: nhấn rồi thả cả hai, không kèm phím nào khác.",
     {40, 284, 500, 38}},
    {0, 3, K::Header, u"THÔNG TIN", {40, 326, 200, 18}},
    {kWordCount, 3, K::Text, u"Từ điển tiếng Anh: %zu từ", {40, 348, 420, 20}},
    {kElevatedLine, 3, K::Text, u"", {40, 368, 480, 20}},
    {0, 3, K::Header, u"CẬP NHẬT", {40, 396, 200, 18}},
    {kVersion, 3, K::Text, u"Phiên bản đang dùng: ", {40, 416, 480, 18}},
    {kUpdateStatus, 3, K::Text, u"", {40, 434, 500, 50}},
    {kCheckNow, 3, K::Button, u"Kiểm t&ra ngay", {40, 486, 130, 30}},
    {kUpdateOpen, 3, K::Button, u"&Cập nhật", {178, 486, 110, 30}},
    // Every page
    {kBannerOpen, kAllPages, K::Button, u"&Xem", {474, 542, 56, 26}, true},
    {kBannerClose, kAllPages, K::TextButton, u"✕", {538, 538, 26, 26}},
    {kDefaults, kAllPages, K::Button, u"&Mặc định", {20, 596, 112, 36}},
    {0, kAllPages, K::Text, u"Đóng cửa sổ, Tonvira vẫn chạy ở khay hệ thống", {146, 606, 320, 20}},
    {kToTray, kAllPages, K::PrimaryButton, u"Th&u về khay", {476, 596, 104, 36}},
};

}  // namespace

std::u16string_view AccessibleName(int id) {
  switch (id) {
    case kThreshold:
      return SettingNamed(u"en_threshold").label;
    case kAppList:
      return u"Ngôn ngữ theo phần mềm";
    case kAbbrevList:
      return u"&Danh sách gõ tắt";
    case kAbbrevKey:
      return u"Kh&oá gõ tắt";
    case kAbbrevExpansion:
      return u"Bản khai t&riển";
    case kHotkeyMode:
      return u"Phím tắt bật / tắt";
    case kHotkeyKey:
      return SettingNamed(u"hotkey_char").label;
    case kBannerClose:
      return u"Đóng &quảng cáo";
    default:
      return {};
  }
}

std::span<const ControlSpec> SettingsControls() {
  return kControls;
}

const ControlSpec* FindControl(int id) {
  if (id == 0) return nullptr;
  auto it = std::find_if(std::begin(kControls), std::end(kControls),
                         [id](const ControlSpec& c) { return c.id == id; });
  return it == std::end(kControls) ? nullptr : &*it;
}

Box Scale(const Box& b, int dpi) {
  return {Scale(b.x, dpi), Scale(b.y, dpi), Scale(b.width, dpi), Scale(b.height, dpi)};
}

FontSpec FontFor(FontRole role) {
  switch (role) {
    case FontRole::Title:
      return {20, 600};
    case FontRole::Header:
      return {11, 600};
    case FontRole::Body:
      return {12, 400};
    case FontRole::BannerTitle:
      return {13, 600};
    case FontRole::Control:
    default:
      return {14, 400};
  }
}

FontRole FontRoleOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Header:
      return FontRole::Header;
    case ControlKind::Text:
    case ControlKind::CentredText:
      return FontRole::Body;
    default:
      return FontRole::Control;
  }
}

ColourRole ColourOf(int id) {
  switch (id) {
    case kFieldLine:
      return ColourRole::Accent;
    case kUpdateBlock:
      return ColourRole::UpdateBlock;
    case kHotkeyHint:
    case kAbbrevCount:
    case kWordCount:
    case kElevatedLine:
    case kVersion:
    case kUpdateStatus:
      return ColourRole::Secondary;
    default:
      return ColourRole::Main;
  }
}

Palette DefaultPalette() {
  namespace c = colour;
  return {c::kBackground, c::kCard,          c::kMainText,     c::kSecondaryText,  c::kSecondaryText,
          c::kAccent,     c::kAccentPressed, c::kCard,         c::kSelectedFill,   c::kAccent,
          c::kBorder,     c::kUpdateBlock,   c::kSelectedFill, c::kBannerBarColour};
}

Rgb ColourFor(const Palette& palette, ColourRole role) {
  switch (role) {
    case ColourRole::Secondary:
      return palette.secondaryText;
    case ColourRole::Accent:
      return palette.accent;
    case ColourRole::UpdateBlock:
      return palette.updateBlock;
    case ColourRole::Main:
    default:
      return palette.mainText;
  }
}

std::u16string WithoutMnemonic(std::u16string_view caption) {
  std::u16string out(caption);
  if (size_t at = out.find(u'&'); at != std::u16string::npos) out.erase(at, 1);
  return out;
}

char16_t MnemonicOf(std::u16string_view caption) {
  size_t at = caption.find(u'&');
  if (at == std::u16string_view::npos || at + 1 >= caption.size()) return 0;
  char16_t c = caption[at + 1];
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

int LayoutDpi(int dpi, const Box& frame, const Box& work) {
  int64_t byHeight = static_cast<int64_t>(work.height - frame.height) * 96 / kClientHeight;
  int64_t byWidth = static_cast<int64_t>(work.width - frame.width) * 96 / kClientWidth;
  int64_t fitting = std::min({static_cast<int64_t>(dpi), byHeight, byWidth});
  return static_cast<int>(std::max<int64_t>(fitting, 72));  // never so small that nothing can be read
}

int NextPage(int page, bool backwards) {
  return (page + (backwards ? kPageCount - 1 : 1)) % kPageCount;
}

bool OnPage(const ControlSpec& control, int page) {
  return control.page == kAllPages || control.page == page;
}

}  // namespace tonvira::ui
