#include "app/shell.h"

#include "app/apply_settings.h"

#include <gtest/gtest.h>

namespace tonvira {
namespace {

using C = ContextClass;

TEST(TrayTooltip, EveryFieldAndContext) {
  struct Row {
    bool on;
    bool password;
    C fieldClass;
    bool contextOn;
    const char16_t* detail;
    const char16_t* expected;
  } rows[] = {
      {true, false, C::Auto, true, u"", u"Tonvira — đang bật\nNgữ cảnh: Tự quyết định"},
      {false, false, C::Auto, true, u"", u"Tonvira — đang tắt\nNgữ cảnh: Tự quyết định"},
      {true, false, C::English, true, u"proc:cmd.exe",
       u"Tonvira — đang bật\nNgữ cảnh: Tiếng Anh (proc:cmd.exe)"},
      {true, false, C::Vietnamese, true, u"proc:zalo.exe",
       u"Tonvira — đang bật\nNgữ cảnh: Tiếng Việt (proc:zalo.exe)"},
      {true, false, C::English, false, u"", u"Tonvira — đang bật\nNgữ cảnh: Đang tắt"},  // context off
      {true, true, C::Vietnamese, true, u"", u"Tonvira — đang bật\nNgữ cảnh: Mật khẩu (gõ thẳng)"},
      {true, true, C::Auto, false, u"firefox.exe",
       u"Tonvira — đang bật\nNgữ cảnh: Mật khẩu (gõ thẳng) (firefox.exe)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(TrayTooltip(row.on, {row.password, row.fieldClass, row.detail}, row.contextOn), row.expected);
  }
}

TEST(TrayTooltip, CutAt127UnitsWithoutSplittingAPair) {
  FieldFacts field{false, C::Auto, std::u16string(200, u'x')};
  std::u16string tip = TrayTooltip(true, field, true);
  EXPECT_EQ(tip.size(), kTooltipUnits);
  EXPECT_TRUE(tip.starts_with(u"Tonvira — đang bật"));
  // A detail whose 127th unit would be the first half of a pair loses the whole pair.
  std::u16string prefix = TrayTooltip(true, {false, C::Auto, u""}, true) + u" (";
  field.detail = std::u16string(kTooltipUnits - prefix.size() - 1, u'y') + u"\U0001F600";
  tip = TrayTooltip(true, field, true);
  EXPECT_EQ(tip.size(), kTooltipUnits - 1);
  EXPECT_EQ(tip.back(), u'y');
}

TEST(CutToUnits, BalloonFieldsAndPairs) {
  EXPECT_EQ(CutToUnits(u"Cập nhật", kBalloonTitleUnits), u"Cập nhật");
  EXPECT_EQ(CutToUnits(std::u16string(300, u'a'), kBalloonTextUnits).size(), kBalloonTextUnits);
  EXPECT_EQ(CutToUnits(u"ab\U0001F600", 3), u"ab");  // the pair would be split: both halves go
  EXPECT_EQ(CutToUnits(u"ab\U0001F600", 4), u"ab\U0001F600");
}

TEST(TrayIconState, OnOffSuspendedAndTheBadge) {
  struct Row {
    bool suspended, on;
    int updateKind, expected;
  } rows[] = {
      {false, false, 0, kIconOff},
      {false, true, 0, kIconOn},
      {false, false, 2, 3},
      {false, true, 2, 4},  // the update badge
      {false, true, 3, kIconOn},
      {false, true, 1, kIconOn},  // only "available" is a badge
      {true, true, 2, kIconSuspended},
      {true, false, 0, kIconSuspended},  // suspended hides the badge
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(TrayIconState(row.suspended, row.on, row.updateKind), row.expected);
  }
}

std::vector<uint32_t> Ids(const std::vector<MenuItem>& items) {
  std::vector<uint32_t> ids;
  for (const MenuItem& item : items) ids.push_back(item.id);
  return ids;
}

TEST(TrayMenu, ItemsInOrderForEachState) {
  // The menu of a plain field, everything on, is compared whole by the tray's end-to-end case.
  MenuFacts f;
  f.hotkeyMode = 2;  // the registered hotkey: no chord named
  f.vietnameseOn = false;
  f.smartOn = false;
  f.field.password = true;
  std::vector<MenuItem> items = TrayMenuItems(f);
  EXPECT_EQ(items[0].text, u"Ô nhập này: Mật khẩu (gõ thẳng)");
  EXPECT_EQ(items[2].text, u"Bật bộ gõ");
  EXPECT_FALSE(items[2].checked);
  EXPECT_TRUE(items[3].checked);
  EXPECT_FALSE(items[4].checked);

  for (int kind : {2, 3}) {
    SCOPED_TRACE(kind);
    f.updateKind = kind;
    f.updateItemText = u"Cập nhật lên 1.2.3";
    f.suspended = kind == 3;
    items = TrayMenuItems(f);
    EXPECT_EQ(Ids(items),
              (std::vector<uint32_t>{1007, 0, 1003, 0, 1001, 1005, 1006, 0, 1008, 1004, 0, 1002}));
    EXPECT_EQ(items[0].text, u"Cập nhật lên 1.2.3");
    EXPECT_EQ(items[0].isDefault, f.suspended);  // the update is what a suspended user must do
    EXPECT_EQ(items[4].text, f.suspended ? u"Bật bộ gõ (cần cập nhật)" : u"Bật bộ gõ");
    EXPECT_EQ(items[4].greyed, f.suspended);
  }
  f.updateKind = 1;  // checked, nothing to offer
  f.field = {false, C::English, u""};
  items = TrayMenuItems(f);
  EXPECT_EQ(items[0].id, kCommandFieldLine);
  EXPECT_EQ(items[0].text, u"Ô nhập này: Tiếng Anh");
}

TEST(OkToNotify, IdleUserAndNotificationStates) {
  struct Row {
    uint32_t now, lastInput;
    std::optional<int> state;
    bool expected;
  } rows[] = {
      {100000, 0, 5, false},                // no input seen yet
      {100000, 39999, 5, false},            // idle just over a minute
      {100000, 40000, 5, true},             // exactly a minute
      {100000, 99000, std::nullopt, true},  // the query failed: accepted
      {100000, 99000, 1, false},            // not present
      {100000, 99000, 3, false},            // full screen
      {1000, 4294960000u, 5, true},         // the tick count wrapped
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(OkToNotify(row.now, row.lastInput, row.state), row.expected);
  }
}

TEST(NotifyIconPath, AKnownFolderInFrontIsSplitOff) {
  struct Row {
    const char16_t* path;
    const char16_t* folderId;
    const char16_t* rest;
  } rows[] = {
      {u"{6D809377-6AF0-444B-8957-A3773F02200E}\\Tonvira\\tonvira.exe",
       u"{6D809377-6AF0-444B-8957-A3773F02200E}", u"\\Tonvira\\tonvira.exe"},
      {u"C:\\Tools\\tonvira.exe", u"", u"C:\\Tools\\tonvira.exe"},
      {u"{unclosed\\tonvira.exe", u"", u"{unclosed\\tonvira.exe"},  // no closing brace: a plain path
      {u"C:\\a{b}\\tonvira.exe", u"", u"C:\\a{b}\\tonvira.exe"},    // a brace inside is not a folder
      {u"{}", u"{}", u""},
      {u"", u"", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    NotifyIconPath split = SplitKnownFolderPath(row.path);
    EXPECT_EQ(split.folderId, row.folderId);
    EXPECT_EQ(split.rest, row.rest);
  }
}

}  // namespace
}  // namespace tonvira
