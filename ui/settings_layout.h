// The settings window's pages as data: every control with its page, kind, caption and box at
// 96 DPI, so that one table creates the controls, shows a page and scales the window. Colours
// and fonts are named by role; the Windows code turns roles into brushes and fonts.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "config/settings.h"

namespace tonvira::ui {

inline constexpr int kPageCount = 4;
inline constexpr int kAllPages = -1;  // shown whatever the page

enum class ControlKind : uint8_t {
  Header,         // a section title
  Text,           // a static text
  CentredText,    // a static text, centred
  Radio,          // a radio button
  Check,          // a check box
  Trackbar,       // a horizontal trackbar without tick marks
  DropDown,       // a drop-down list
  ListView,       // a report-view list
  Edit,           // a single-line edit box with a border
  HotkeyEdit,     // the hotkey key box: centred, upper case, with a border
  Button,         // an owner-drawn push button
  PrimaryButton,  // an owner-drawn push button in the accent colour
  TextButton,     // a push button drawn as text only (the banner's close cross)
  Tab,            // an owner-drawn push button that shows a page
};

enum class FontRole : uint8_t { Title, Control, Header, Body, BannerTitle };
enum class ColourRole : uint8_t { Main, Secondary, Accent, UpdateBlock };

struct Box {
  int x, y, width, height;
};

// A caption's "&" marks its Alt+letter: the letter after it is underlined. On a static text it
// gives the keyboard to the next control that takes it.
struct ControlSpec {
  int id;  // 0: a text no code refers to
  int page;
  ControlKind kind;
  std::u16string_view caption;
  Box box;
  bool startsGroup = false;
  // The key of the setting the control shows and changes (a check box its flag, a radio button
  // one value of it: `choice`); empty for the others.
  std::u16string_view setting = {};
  int32_t choice = 0;
};

// Control identifiers the window's code refers to.
enum ControlId : int {
  kFirstTab = 300,  // the tab of page N is kFirstTab + N
  kTelex = 320,
  kVni = 321,
  kOldTone = 322,
  kHotkeyMode = 323,
  kHotkeyKey = 324,
  kHotkeyHint = 325,
  kSmart = 326,
  kBsEdit = 327,
  kFreeMarks = 328,
  kAutofix = 329,
  kCapsVi = 331,
  kContext = 340,
  kFieldLine = 341,
  kThreshold = 342,
  kThresholdValue = 343,
  kAppList = 344,
  kAddApp = 345,
  kDeleteApp = 346,
  kChangeAppLanguage = 347,
  kOpenContextFile = 348,
  kAbbrevOn = 360,
  kAbbrevList = 361,
  kAbbrevKey = 362,
  kAbbrevExpansion = 363,
  kAbbrevAdd = 364,
  kAbbrevDelete = 365,
  kAbbrevImport = 366,
  kAbbrevSample = 367,
  kAbbrevCount = 368,
  kEnabled = 380,
  kStartup = 381,
  kWordCount = 382,
  kElevatedLine = 383,
  kVersion = 384,
  kUpdateStatus = 385,
  kCheckNow = 386,
  kUpdateOpen = 387,
  kUpdateBlock = 388,
  kBannerClose = 400,
  kBannerOpen = 401,
  kDefaults = 410,
  kToTray = 412,
};

// Every control, page by page, then those of every page.
std::span<const ControlSpec> SettingsControls();
const ControlSpec* FindControl(int id);

// Texts drawn by the window itself.
inline constexpr std::u16string_view kWindowTitle = u"Tonvira";
inline constexpr std::u16string_view kSubtitle = u"Bộ gõ tiếng Việt — tự nhận biết theo ô nhập";
inline constexpr std::u16string_view kHotkeyModeItems[2] = {ChoiceCaption(SettingNamed(u"hotkey_mode"), 0),
                                                            ChoiceCaption(SettingNamed(u"hotkey_mode"), 1)};

// The client area and the window's own drawing, at 96 DPI.
inline constexpr int kClientWidth = 600;
inline constexpr int kClientHeight = 650;
inline constexpr Box kTabs[kPageCount] = {
    {20, 78, 134, 30}, {162, 78, 134, 30}, {304, 78, 134, 30}, {446, 78, 134, 30}};
inline constexpr int kTabCorner = 9;
inline constexpr Box kIconBox = {22, 18, 40, 40};
inline constexpr int kCardLeft = 20, kCardTop = 116, kCardRight = 560;
inline constexpr int kCardBottomWithBanner = 522, kCardBottom = 578, kCardCorner = 14;
inline constexpr Box kBanner = {20, 532, 540, 46};
inline constexpr int kBannerCorner = 12;
inline constexpr Box kBannerBar = {34, 546, 18, 18};
inline constexpr int kBannerBarCorner = 5;
inline constexpr Box kBannerTitle = {64, 541, 396, 18};
inline constexpr Box kBannerLine = {64, 558, 396, 17};
inline constexpr int kButtonCorner = 10;

// A length at the window's DPI: multiplied, then divided.
inline int Scale(int length, int dpi) {
  return static_cast<int>(static_cast<int64_t>(length) * dpi / 96);
}
Box Scale(const Box& box, int dpi);

struct FontSpec {
  int pixels;  // character height at 96 DPI
  int weight;
};
FontSpec FontFor(FontRole role);
FontRole FontRoleOf(ControlKind kind);
// Static texts are in the main colour but for the lines that are notes or state.
ColourRole ColourOf(int id);

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};
namespace colour {
inline constexpr Rgb kBackground{0xF3, 0xF4, 0xF6};
inline constexpr Rgb kCard{0xFF, 0xFF, 0xFF};
inline constexpr Rgb kMainText{0x1F, 0x23, 0x28};
inline constexpr Rgb kSecondaryText{0x6B, 0x72, 0x80};
inline constexpr Rgb kAccent{0x00, 0x76, 0xB2};
inline constexpr Rgb kAccentPressed{0x00, 0x66, 0x9A};
inline constexpr Rgb kSelectedFill{0xE6, 0xF2, 0xF8};
inline constexpr Rgb kBorder{0xE5, 0xE5, 0xEB};
inline constexpr Rgb kUpdateBlock{0xB4, 0x53, 0x09};
inline constexpr Rgb kBannerBarColour{0x25, 0x64, 0xEB};
}  // namespace colour
// Every colour the window draws with. High contrast replaces them all with the system's.
struct Palette {
  Rgb background, card, mainText, secondaryText, disabledText;
  Rgb accent, accentPressed, onAccent;  // the primary button, and the text on it
  Rgb selectedFill, selectedText;       // the page's tab, a pressed button
  Rgb border, updateBlock, bannerFill, bannerBar;
};
Palette DefaultPalette();
Rgb ColourFor(const Palette& palette, ColourRole role);

// Ctrl+Tab and Ctrl+Shift+Tab, wrapping around.
int NextPage(int page, bool backwards);

// What a screen reader calls a control whose caption does not name it (a box, a list, the
// slider, the banner's "✕"); empty for the others. With an "&" where no visible label gives the
// control its Alt+letter.
std::u16string_view AccessibleName(int id);
// The caption as read or compared: without the "&" that marks its Alt+letter.
std::u16string WithoutMnemonic(std::u16string_view caption);
// The letter after the "&", upper case; 0 when there is none.
char16_t MnemonicOf(std::u16string_view caption);

// The scale the window is laid out at: its DPI, or less when the window at that DPI (the client
// area plus the frame's width and height, in pixels) would not fit the work area.
int LayoutDpi(int dpi, const Box& frame, const Box& work);

// Whether a control is shown on a page: its own page's, or every page's. The banner's buttons
// only while the banner is, and the update buttons as the update state says.
bool OnPage(const ControlSpec& control, int page);

}  // namespace tonvira::ui
