#include "ui/settings_model.h"

#include <gtest/gtest.h>

#include <set>

#include "text/utf8.h"
#include "ui/settings_layout.h"

namespace tonvira::ui {
namespace {

TEST(SettingsLayout, EveryControlFitsTheCardOrTheFooterAndIdsAreUnique) {
  std::set<int> ids;
  for (const ControlSpec& c : SettingsControls()) {
    SCOPED_TRACE(testing::Message() << "control " << c.id << " at " << c.box.x << "," << c.box.y);
    if (c.id != 0) {
      EXPECT_TRUE(ids.insert(c.id).second);
    }
    EXPECT_GE(c.box.x, 20);
    EXPECT_LE(c.box.x + c.box.width, kClientWidth - 20);
    EXPECT_LE(c.box.y + (c.kind == ControlKind::DropDown ? 26 : c.box.height), kClientHeight);
    EXPECT_TRUE(c.page == kAllPages || (c.page >= 0 && c.page < kPageCount));
    if (c.page >= 0) {  // inside the content card, clear of the banner
      EXPECT_GE(c.box.y, kCardTop);
      EXPECT_LE(c.box.y + (c.kind == ControlKind::DropDown ? 26 : c.box.height), kCardBottomWithBanner);
    }
  }
  EXPECT_EQ(WithoutMnemonic(FindControl(kToTray)->caption), u"Thu về khay");
  EXPECT_EQ(FindControl(kVni)->page, 0);
  EXPECT_EQ(FindControl(999), nullptr);
}

TEST(SettingsLayout, ControlsOfOnePageDoNotOverlap) {
  auto controls = SettingsControls();
  for (size_t i = 0; i < controls.size(); ++i) {
    for (size_t j = i + 1; j < controls.size(); ++j) {
      const ControlSpec& a = controls[i];
      const ControlSpec& b = controls[j];
      bool samePage = a.page == b.page || a.page == kAllPages || b.page == kAllPages;
      if (!samePage) continue;
      if ((a.id == kBannerClose && b.id == kBannerOpen) || (a.id == kBannerOpen && b.id == kBannerClose))
        continue;
      int ah = a.kind == ControlKind::DropDown ? 26 : a.box.height;
      int bh = b.kind == ControlKind::DropDown ? 26 : b.box.height;
      bool overlap = a.box.x < b.box.x + b.box.width && b.box.x < a.box.x + a.box.width &&
                     a.box.y < b.box.y + bh && b.box.y < a.box.y + ah;
      EXPECT_FALSE(overlap) << "controls " << a.id << " and " << b.id << " at y " << a.box.y << " and "
                            << b.box.y;
    }
  }
}

TEST(SettingsLayout, ScalingMultipliesThenDivides) {
  struct Row {
    int length, dpi, expected;
  } rows[] = {{600, 96, 600}, {600, 144, 900}, {650, 120, 812}, {7, 144, 10}, {134, 192, 268}, {1, 120, 1}};
  for (const Row& row : rows)
    EXPECT_EQ(Scale(row.length, row.dpi), row.expected) << row.length << "@" << row.dpi;
  Box b = Scale(Box{20, 78, 134, 30}, 144);
  EXPECT_EQ((std::array<int, 4>{b.x, b.y, b.width, b.height}), (std::array<int, 4>{30, 117, 201, 45}));
}

// Alt+letter as Windows finds it: a button's own caption, else the label before the control in
// the keyboard's order (a static text, or the label no one sees). Every control the keyboard
// reaches has one, an ASCII letter, and no two on one page share it.
TEST(SettingsLayout, EveryControlOfEveryPageHasItsOwnAltLetter) {
  for (int page = 0; page < kPageCount; ++page) {
    std::set<char16_t> taken;
    char16_t fromLabel = 0;
    for (const ControlSpec& c : SettingsControls()) {
      if (!OnPage(c, page)) continue;
      SCOPED_TRACE(testing::Message() << "page " << page << ", control " << c.id);
      char16_t letter = 0;
      switch (c.kind) {
        case ControlKind::Header:
        case ControlKind::Text:
        case ControlKind::CentredText:
          if (MnemonicOf(c.caption)) fromLabel = MnemonicOf(c.caption);
          continue;
        case ControlKind::Trackbar:
          letter = fromLabel;
          break;
        case ControlKind::Edit:
        case ControlKind::HotkeyEdit:
        case ControlKind::DropDown:
        case ControlKind::ListView:
          letter = MnemonicOf(AccessibleName(c.id)) ? MnemonicOf(AccessibleName(c.id)) : fromLabel;
          break;
        case ControlKind::TextButton:
          letter = MnemonicOf(AccessibleName(c.id));
          break;
        default:
          letter = MnemonicOf(c.caption);
      }
      fromLabel = 0;
      EXPECT_TRUE((letter >= u'A' && letter <= u'Z') || (letter >= u'0' && letter <= u'9'));
      EXPECT_TRUE(taken.insert(letter).second) << "Alt+" << static_cast<char>(letter) << " twice";
    }
  }
  EXPECT_EQ(WithoutMnemonic(u"Gõ &tắt"), u"Gõ tắt");
  EXPECT_EQ(MnemonicOf(u"Gõ tắt"), 0);
}

// Tab goes through a page as it is read: row by row (controls less than 10 pixels apart in height
// share a row), left to right within a row.
TEST(SettingsLayout, TheKeyboardsOrderIsTheReadingOrder) {
  auto focusable = [](ControlKind k) {
    return k != ControlKind::Header && k != ControlKind::Text && k != ControlKind::CentredText;
  };
  for (int page = 0; page < kPageCount; ++page) {
    const ControlSpec* before = nullptr;
    for (const ControlSpec& c : SettingsControls()) {
      if (!OnPage(c, page) || !focusable(c.kind)) continue;
      if (before) {
        bool sameRow = std::abs(c.box.y - before->box.y) < 10;
        EXPECT_TRUE(sameRow ? c.box.x > before->box.x : c.box.y > before->box.y)
            << "page " << page << ": control " << c.id << " comes after " << before->id;
      }
      before = &c;
    }
  }
}

TEST(SettingsLayout, TheWindowIsLaidOutSmallerOnlyWhereItWouldNotFit) {
  struct Row {
    int dpi, workWidth, workHeight, expected;
  } rows[] = {
      {144, 1920, 1040, 144},  // 150 % on 1920x1080 with a taskbar: fits
      {192, 2560, 1560, 192},  //
      {144, 1366, 728, 101},   // 768 high: (728 - 40) * 96 / 650
      {96, 800, 560, 76},      //
      {120, 700, 1000, 108},   // too narrow: (700 - 20) * 96 / 600
      {96, 300, 200, 72},      // never below 72
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.dpi << " on " << row.workWidth << "x" << row.workHeight);
    EXPECT_EQ(LayoutDpi(row.dpi, {0, 0, 20, 40}, {0, 0, row.workWidth, row.workHeight}), row.expected);
  }
}

TEST(SettingsLayout, PagesByKey) {
  EXPECT_EQ(NextPage(0, false), 1);
  EXPECT_EQ(NextPage(3, false), 0);
  EXPECT_EQ(NextPage(0, true), 3);
  EXPECT_EQ(NextPage(2, true), 1);
}

TEST(SettingsModel, TheThresholdSliderAndItsText) {
  struct Row {
    int position;
    const char16_t* text;
  } rows[] = {{10, u"1.0"}, {40, u"4.0"}, {23, u"2.3"}, {20, u"2.0"}, {37, u"3.7"}};
  Settings s;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.position);
    Follow f = OnThreshold(s, row.position);
    EXPECT_TRUE(f.apply);
    EXPECT_EQ(ThresholdText(s.en_threshold), row.text);
    EXPECT_EQ(ThresholdPosition(s.en_threshold), row.position);  // back to the same place
  }
  EXPECT_EQ(ThresholdPosition(2.35f), 23);  // truncated
}

// Each box changes its own key of settings.txt and no other, and shows it ticked again; every
// setting with a label is on some page.
TEST(SettingsModel, EveryBoxSetsItsOwnSettingAndShowsIt) {
  const std::u16string defaults = SettingsText(Settings{});
  std::set<std::u16string_view> shown;
  SettingsState state;  // nothing read: nothing is written
  for (const ControlSpec& c : SettingsControls()) {
    if (c.setting.empty()) continue;
    shown.insert(c.setting);
    Settings s;
    std::optional<bool> before = SettingTicked(c, s);
    if (!before) continue;  // a slider, a drop-down, a box
    SCOPED_TRACE(testing::Message() << "control " << c.id);
    if (*before) {  // a radio button of the default value, or a box ticked by default
      if (c.kind == ControlKind::Radio) continue;
      EXPECT_TRUE(OnButton(s, state, c.id, false, false).apply);
    } else {
      EXPECT_TRUE(OnButton(s, state, c.id, true, false).apply);
    }
    EXPECT_EQ(SettingTicked(c, s), !*before);
    std::u16string text = SettingsText(s);
    size_t first = 0;
    while (text[first] == defaults[first]) ++first;
    std::u16string_view line = std::u16string_view(text).substr(text.rfind(u'\n', first) + 1);
    EXPECT_TRUE(line.starts_with(std::u16string(c.setting) + u"="));
    EXPECT_EQ(text.substr(text.find(u'\n', first)), defaults.substr(defaults.find(u'\n', first)));
  }
  for (const SettingRow& row : kSettingRows) {
    if (row.label.empty()) continue;
    EXPECT_TRUE(shown.count(row.key)) << Utf16ToUtf8(row.key);
  }
  Settings s;
  EXPECT_FALSE(OnButton(s, state, kTelex, false, false).apply);  // the radio that lost its dot
  s.method = 7;  // hand-edited: types Telex, and is kept until the user chooses
  EXPECT_EQ(SettingTicked(*FindControl(kTelex), s), true);
  EXPECT_EQ(SettingTicked(*FindControl(kVni), s), false);
  OnButton(s, state, kTelex, true, false);
  EXPECT_EQ(s.method, 0);
}

TEST(SettingsModel, ClearingSmartDisablesItsDependentsWithoutChangingThem) {
  Settings s;
  s.autofix = 0;
  SettingsState state;
  Follow f = OnButton(s, state, kSmart, false, false);
  EXPECT_TRUE(f.refreshControls);
  SettingsView v = ViewOf(s, 0, {}, 0);
  EXPECT_FALSE(v.dependentsEnabled);
  EXPECT_EQ(SettingTicked(*FindControl(kFreeMarks), s), true);
  EXPECT_EQ(SettingTicked(*FindControl(kAutofix), s), false);
  OnButton(s, state, kSmart, true, false);
  EXPECT_TRUE(ViewOf(s, 0, {}, 0).dependentsEnabled);
}

TEST(SettingsModel, TheHotkeyModeKeyAndHint) {
  Settings s;
  SettingsView v = ViewOf(s, 0, {}, 3);
  EXPECT_EQ(v.hotkeyItem, 0);
  EXPECT_FALSE(v.hotkeyKeyEnabled);
  EXPECT_EQ(v.hotkeyHint, HotkeyHint(1));
  EXPECT_TRUE(v.hotkeyHint.ends_with(u"Hoặc bấm chuột trái lên biểu tượng khay."));

  EXPECT_TRUE(OnHotkeyMode(s, 1).refreshControls);
  EXPECT_EQ(s.hotkey_mode, 2);
  v = ViewOf(s, 0, {}, 3);
  EXPECT_EQ(v.hotkeyItem, 1);
  EXPECT_TRUE(v.hotkeyKeyEnabled);
  EXPECT_EQ(v.hotkeyHint, u"Ctrl + Shift kèm phím bên cạnh. Chọn phím ít dùng để khỏi trùng.");

  // Only what Ctrl+Shift can be registered with is taken: '.' would be VK_DELETE, 'đ' no key.
  struct Row {
    const char16_t* box;
    char16_t key;             // in force afterwards
    bool applied;             // the key changed
    const char16_t* refused;  // the character the hint names, or null
  } rows[] = {{u"q", u'Q', true, nullptr},  {u"", u'Q', false, nullptr},  {u"Qk", u'K', true, nullptr},
              {u"K", u'K', false, nullptr}, {u"K.", u'K', false, u"“.”"}, {u"đ", u'K', false, u"“đ”"},
              {u"[", u'K', false, u"“[”"},  {u"7", u'7', true, nullptr}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(row.box[0]));
    Follow f = OnHotkeyKey(s, row.box);
    EXPECT_EQ(f.apply, row.applied);
    EXPECT_EQ(s.hotkey_char, row.key);
    ASSERT_EQ(f.hotkeyHint.has_value(), row.refused != nullptr);
    if (row.refused) {
      EXPECT_EQ(*f.hotkeyHint, std::u16string(row.refused) + u" không dùng được: chỉ chữ A–Z hoặc số 0–9.");
      EXPECT_TRUE(f.refreshControls);  // the box shows the key in force again
    }
  }
  OnHotkeyMode(s, 0);
  EXPECT_EQ(s.hotkey_mode, 1);
}

TEST(SettingsModel, WhileSuspendedTheOnBoxIsUndoneAndOpensTheUpdateWindow) {
  Settings s;
  SettingsState state;
  s.enabled = 0;
  Follow f = OnButton(s, state, kEnabled, true, true);
  EXPECT_FALSE(f.apply);
  EXPECT_TRUE(f.refreshControls);
  EXPECT_TRUE(f.openUpdateWindow);
  EXPECT_EQ(s.enabled, 0);
  WindowFacts facts;
  facts.suspended = true;
  SettingsView v = ViewOf(s, 0, facts, 3);
  EXPECT_FALSE(v.enabledBoxEnabled);
  EXPECT_EQ(v.updateBlock, u"Cần cập nhật để bật lại bộ gõ.");
  EXPECT_EQ(ViewOf(s, 0, {}, 3).updateBlock, u"");
}

TEST(SettingsModel, DefaultsKeepTheClosedBannerAndTheLibrary) {
  Settings s;
  SettingsState state;
  s.method = 1;
  s.startup = 0;
  s.abbrev_lib = u"1.4.12";
  EXPECT_TRUE(OnButton(s, state, kBannerClose, false, false).bannerHidden);
  EXPECT_EQ(s.show_ads, 0);
  Follow f = OnButton(s, state, kDefaults, false, false);
  EXPECT_TRUE(f.apply);
  EXPECT_TRUE(f.refreshControls);
  EXPECT_EQ(s.method, 0);
  EXPECT_EQ(s.startup, 1);
  EXPECT_EQ(s.show_ads, 0);  // a closed banner stays closed
  EXPECT_EQ(s.abbrev_lib, u"1.4.12");
}

TEST(SettingsModel, ButtonsThatOnlyAskTheWindow) {
  Settings s;
  SettingsState state;
  Follow f = OnButton(s, state, kCheckNow, false, false);
  EXPECT_TRUE(f.startUpdateCheck);
  EXPECT_EQ(f.statusText, u"Đang kiểm tra…");
  EXPECT_FALSE(f.apply);
  EXPECT_TRUE(OnButton(s, state, kToTray, false, false).closeWindow);
  EXPECT_TRUE(OnButton(s, state, kUpdateOpen, false, false).openUpdateWindow);
  EXPECT_TRUE(OnButton(s, state, kBannerOpen, false, false).openBannerLink);
  EXPECT_FALSE(OnButton(s, state, 9999, true, false).apply);
}

// The link comes from an unsigned answer or banner.txt: only a web page with a host is opened,
// anything else gives way to the vendor's home page with the reason.
TEST(SettingsModel, TheBannerLinkOpensOnlyAWebPage) {
  using F = BannerLinkFault;
  std::u16string longest = u"https://a.vn/" + std::u16string(kBannerLinkMaxLength - 13, u'x');
  struct Row {
    std::u16string link;
    F fault;
  } rows[] = {
      {u"https://a.vn/x", F::None},
      {u"http://a.vn", F::None},
      {u"HTTPS://Tonvira.VN:8443/khuy%E1%BA%BFn-m%C3%A3i?a=1&b=2#top", F::None},
      {longest, F::None},
      {longest + u"x", F::TooLong},
      {u"https://a.vn/" + std::u16string(10000, u'x'), F::TooLong},
      {u"", F::Empty},
      {u"httpX:abc", F::NotWeb},
      {u"file:///C:/x", F::NotWeb},
      {u"javascript:x", F::NotWeb},
      {u"http\\..\\..\\x.exe", F::BadCharacter},
      {u"https://a.vn/x y", F::BadCharacter},
      {u"https://a.vn/\"--flag", F::BadCharacter},
      {u"https://a.vn/khuyến-mãi", F::BadCharacter},
      {u"https://a.vn/%zz", F::BadCharacter},
      {u"https://", F::BadHost},
      {u"https://a..vn", F::BadHost},
      {u"https://a_b.vn", F::BadHost},
      {u"https://[::1]/", F::BadHost},
      {u"https://tonvira.vn@evil.example/", F::BadHost},
      {u"https://a.vn:65536", F::BadPort},
      {u"https://a.vn:80x/", F::BadPort},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Utf16ToUtf8(row.link.substr(0, 60)));
    BannerLinkChoice choice = BannerLinkToOpen(row.link);
    EXPECT_EQ(choice.fault, row.fault);
    EXPECT_EQ(choice.link, row.fault == F::None ? row.link : std::u16string(kVendorHomePage));
  }
  // The home page that stands in must itself pass.
  EXPECT_EQ(BannerLinkToOpen(kVendorHomePage).fault, F::None);
}

TEST(SettingsModel, TheCurrentFieldLine) {
  using C = ContextClass;
  struct Row {
    C fieldClass;
    bool contextOn;
    std::u16string detail;
    const char16_t* expected;
  } rows[] = {
      {C::English, true, u"", u"Tiếng Anh — không bỏ dấu"},
      {C::Vietnamese, true, u"proc:zalo.exe", u"Tiếng Việt — ưu tiên bỏ dấu   (proc:zalo.exe)"},
      {C::Auto, true, u"", u"Tự quyết định"},
      {C::English, false, u"proc:cmd.exe", u"Tự quyết định   (proc:cmd.exe)"},
      {C::English, true, std::u16string(39, u'x'), nullptr},
      {C::English, true, std::u16string(40, u'x'), u"Tiếng Anh — không bỏ dấu"},  // too long to show
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    std::u16string line = FieldLine({false, row.fieldClass, row.detail}, row.contextOn);
    if (row.expected) {
      EXPECT_EQ(line, row.expected);
    } else {
      EXPECT_EQ(line, u"Tiếng Anh — không bỏ dấu   (" + row.detail + u")");
    }
  }
}

TEST(SettingsModel, TheSystemPageLines) {
  WindowFacts facts;
  facts.englishWords = 12345;
  facts.version = u"1.4.12";
  facts.updateStatus = u"Đã là bản mới nhất.";
  facts.updateStatusCode = 2;
  Settings s;
  SettingsView v = ViewOf(s, 7, facts, 3);
  EXPECT_EQ(v.wordCount, u"Từ điển tiếng Anh: 12345 từ");
  EXPECT_EQ(v.abbrevCount, u"7 mục");
  EXPECT_EQ(v.versionLine, u"Phiên bản đang dùng: 1.4.12");
  EXPECT_EQ(v.elevatedLine, u"Gõ trong cửa sổ quyền admin:  không  (cần bản ký số)");
  EXPECT_EQ(ElevatedLine(true), u"Gõ trong cửa sổ quyền admin:  được");
  EXPECT_TRUE(v.showUpdateOpen);
  EXPECT_TRUE(v.showCheckNow);
  v = ViewOf(s, 7, facts, 2);  // the update buttons belong to the system page
  EXPECT_FALSE(v.showUpdateOpen);
  EXPECT_FALSE(v.showCheckNow);
  facts.updateBusy = true;
  facts.updateStatusCode = 1;
  v = ViewOf(s, 7, facts, 3);
  EXPECT_FALSE(v.showUpdateOpen);
  EXPECT_FALSE(v.showCheckNow);
}

TEST(SettingsModel, WhichControlsShowOnAPage) {
  Settings s;
  WindowFacts facts;
  facts.updateStatusCode = 2;
  SettingsView v = ViewOf(s, 0, facts, 3);
  struct Row {
    int id, page;
    bool expected;
  } rows[] = {
      {kVni, 0, true},        {kVni, 3, false},     {kToTray, 1, true},      {kBannerClose, 2, true},
      {kUpdateOpen, 3, true}, {kCheckNow, 3, true}, {kUpdateOpen, 2, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.id << " on page " << row.page);
    EXPECT_EQ(ControlVisible(*FindControl(row.id), v, row.page), row.expected);
  }
  s.show_ads = 0;  // the banner closed: its two buttons go
  v = ViewOf(s, 0, facts, 3);
  EXPECT_FALSE(ControlVisible(*FindControl(kBannerClose), v, 0));
  EXPECT_FALSE(ControlVisible(*FindControl(kBannerOpen), v, 0));
}

}  // namespace
}  // namespace tonvira::ui
