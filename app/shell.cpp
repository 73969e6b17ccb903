#include "app/shell.h"

namespace tonvira {
namespace {

std::u16string_view ClassLabel(const FieldFacts& field) {
  switch (field.fieldClass) {
    case ContextClass::English:
      return u"Tiếng Anh";
    case ContextClass::Vietnamese:
      return u"Tiếng Việt";
    default:
      return u"Tự quyết định";
  }
}

}  // namespace

std::optional<uint32_t> HotkeyVirtualKey(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<uint32_t>(c - u'a' + u'A');
  if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return static_cast<uint32_t>(c);
  return std::nullopt;
}

std::u16string CutToUnits(std::u16string_view text, size_t units) {
  if (text.size() <= units) return std::u16string(text);
  size_t cut = units;
  if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
  return std::u16string(text.substr(0, cut));
}

std::u16string TrayTooltip(bool vietnameseOn, const FieldFacts& field, bool contextOn) {
  std::u16string tip = u"Tonvira — ";
  tip += vietnameseOn ? u"đang bật" : u"đang tắt";
  tip += u"\nNgữ cảnh: ";
  if (field.password) {
    tip += u"Mật khẩu (gõ thẳng)";
  } else if (contextOn) {
    tip += ClassLabel(field);
  } else {
    tip += u"Đang tắt";
  }
  if (!field.detail.empty()) tip += u" (" + field.detail + u")";
  return CutToUnits(tip, kTooltipUnits);
}

int TrayIconState(bool suspended, bool vietnameseOn, int updateKind) {
  if (suspended) return kIconSuspended;  // no badge: the "!" says it all
  int state = vietnameseOn ? kIconOn : kIconOff;
  return updateKind == kUpdateAvailable ? state + kIconBadge : state;
}

std::vector<MenuItem> TrayMenuItems(const MenuFacts& f) {
  std::vector<MenuItem> items;
  const MenuItem separator;
  if (f.updateKind == kUpdateAvailable || f.updateKind == kUpdateRequired) {
    items.push_back({kCommandUpdate, f.updateItemText, false, false, f.suspended});
    items.push_back(separator);
  }
  std::u16string field = u"Ô nhập này: ";
  field += f.field.password ? std::u16string_view(u"Mật khẩu (gõ thẳng)") : ClassLabel(f.field);
  items.push_back({kCommandFieldLine, field, false, true, false});
  items.push_back(separator);
  if (f.suspended) {
    items.push_back({kCommandToggle, u"Bật bộ gõ (cần cập nhật)", false, true, false});
  } else {
    items.push_back({kCommandToggle, f.hotkeyMode == 2 ? u"Bật bộ gõ" : u"Bật bộ gõ\tCtrl+Shift",
                     f.vietnameseOn, false, false});
  }
  items.push_back({kCommandContext, u"Tự nhận biết ngữ cảnh", f.contextOn, false, false});
  items.push_back({kCommandSmart, u"Đoán thông minh", f.smartOn, false, false});
  items.push_back(separator);
  items.push_back({kCommandClipboard, u"Bỏ dấu văn bản đã sao chép", false, false, false});
  items.push_back({kCommandSettings, u"Mở bảng điều khiển…", false, false, false});
  items.push_back(separator);
  items.push_back({kCommandExit, u"Thoát Tonvira", false, false, false});
  return items;
}

bool OkToNotify(uint32_t now, uint32_t lastPhysicalInput, std::optional<int> notificationState) {
  constexpr uint32_t kIdleMs = 60000;
  if (lastPhysicalInput == 0 || now - lastPhysicalInput > kIdleMs) return false;
  return !notificationState || *notificationState == kAcceptsNotifications;
}

NotifyIconPath SplitKnownFolderPath(std::u16string_view path) {
  size_t close = path.find(u'}');
  if (!path.starts_with(u'{') || close == std::u16string_view::npos) return {u"", std::u16string(path)};
  return {std::u16string(path.substr(0, close + 1)), std::u16string(path.substr(close + 1))};
}

}  // namespace tonvira
