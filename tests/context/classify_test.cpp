#include <gtest/gtest.h>

#include "context/builtin_classes.h"
#include "context/focus_tracker.h"

namespace tonvira {
namespace {

using C = ContextClass;

FocusFacts Window(std::u16string process, std::u16string title = u"", std::u16string windowClass = u"Main") {
  FocusFacts f;
  f.foreground = 0x1234;
  f.processName = std::move(process);
  f.processId = 42;
  f.ownProcessId = 7;
  f.title = std::move(title);
  f.windowClass = std::move(windowClass);
  return f;
}

FocusFacts Element(FocusFacts f, std::u16string name, std::u16string id = u"", bool password = false) {
  f.hasElement = true;
  f.elementName = std::move(name);
  f.automationId = std::move(id);
  f.elementIsPassword = password;
  return f;
}

TEST(ClassifyFocus, BuiltInFieldFlags) {
  FocusClassification r = ClassifyFocus(Element(Window(u"chrome.exe"), u"Address and search bar"), {});
  EXPECT_EQ(r.contextClass, C::Auto);
  EXPECT_TRUE(r.is_address_bar);
  EXPECT_FALSE(r.is_password);

  r = ClassifyFocus(Element(Window(u"app.exe"), u"Login", u"passwordBox"), {});
  EXPECT_TRUE(r.is_password);  // the id says so, though the element does not
  r = ClassifyFocus(Element(Window(u"app.exe"), u"", u"spinButton"), {});
  EXPECT_TRUE(r.is_password);  // "pin" inside a word matches
  r = ClassifyFocus(Element(Window(u"app.exe"), u"Nhập Mật Khẩu"), {});
  EXPECT_TRUE(r.is_password);
  r = ClassifyFocus(Element(Window(u"CredentialUIBroker.exe"), u"anything"), {});
  EXPECT_TRUE(r.is_password);  // a secure-desktop process whatever has the focus
  r = ClassifyFocus(Window(u"consent.exe"), {});
  EXPECT_TRUE(r.is_password);  // also without UI Automation

  FocusFacts combo = Element(Window(u"app.exe"), u"Font");
  combo.controlType = kControlTypeEdit;
  combo.parentControlType = kControlTypeComboBox;
  EXPECT_TRUE(ClassifyFocus(combo, {}).is_sheet_or_combo);
  combo.parentControlType = 50033;
  EXPECT_FALSE(ClassifyFocus(combo, {}).is_sheet_or_combo);
}

TEST(ClassifyFocus, PasswordEditWithoutUiAutomation) {
  struct Row {
    const char16_t* focusClass;
    uint32_t style;
    bool password;
  } rows[] = {
      {u"Edit", 0x50010020, true},  // WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_PASSWORD
      {u"EDIT", 0x20, true},
      {u"RichEdit20W", 0x20, true},
      {u"WindowsForms10.EDIT.app.0.141b42a_r6_ad1", 0x20, true},
      {u"Edit", 0x50010080, false},  // ES_AUTOHSCROLL only
      {u"Button", 0x20, false},      // 0x20 is another style for other classes
      {u"Chrome_RenderWidgetHostHWND", 0x20, false},
      {u"", 0x20, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    FocusFacts f = Window(u"setup.exe");
    f.focusWindowClass = row.focusClass;
    f.focusWindowStyle = row.style;
    EXPECT_EQ(ClassifyFocus(f, {}).is_password, row.password);
    // The password edit wins over an element that does not say so.
    f = Element(f, u"Name", u"textBox1", false);
    EXPECT_EQ(ClassifyFocus(f, {}).is_password, row.password);
  }
}

TEST(ClassifyFocus, ElementRulesComeBeforeProcessRulesUnlessAuto) {
  ContextRules rules = {{true, u"zalo.exe", C::Vietnamese}, {false, u"search", C::English}};
  FocusClassification r = ClassifyFocus(Element(Window(u"Zalo.exe"), u"Search contacts"), rules);
  EXPECT_EQ(r.contextClass, C::English);
  EXPECT_EQ(r.description, u"uia:search");
  r = ClassifyFocus(Element(Window(u"Zalo.exe"), u"Message"), rules);
  EXPECT_EQ(r.contextClass, C::Vietnamese);
  EXPECT_EQ(r.description, u"proc:zalo.exe");

  rules[1].contextClass = C::Auto;  // an auto element rule leaves room for the process rule
  r = ClassifyFocus(Element(Window(u"zalo.exe"), u"", u"searchBox"), rules);
  EXPECT_EQ(r.contextClass, C::Vietnamese);
  r = ClassifyFocus(Window(u"other.exe"), rules);
  EXPECT_EQ(r.contextClass, C::Auto);
  EXPECT_EQ(r.description, u"other.exe");
}

TEST(ClassifyFocus, LastApplicationSkipsTheShellAndTonvira) {
  EXPECT_EQ(ClassifyFocus(Window(u"Notepad.exe"), {}).lastApp, u"Notepad.exe");  // as the system says it
  EXPECT_FALSE(ClassifyFocus(Window(u"explorer.exe", u"", u"Shell_TrayWnd"), {}).lastApp);
  EXPECT_FALSE(ClassifyFocus(Window(u"explorer.exe", u"", u"Progman"), {}).lastApp);
  EXPECT_TRUE(ClassifyFocus(Window(u"explorer.exe", u"", u"progman"), {}).lastApp);  // classes: exact case
  EXPECT_FALSE(ClassifyFocus(Window(u"SearchHost.exe"), {}).lastApp);
  EXPECT_FALSE(ClassifyFocus(Window(u"TONVIRA.EXE"), {}).lastApp);
  FocusFacts own = Window(u"other.exe");
  own.processId = own.ownProcessId;
  EXPECT_FALSE(ClassifyFocus(own, {}).lastApp);
  FocusFacts none;
  EXPECT_FALSE(ClassifyFocus(none, {}).lastApp);

  FocusTracker tracker;
  Publish(tracker, ClassifyFocus(Window(u"Word.exe"), {}), 1);
  Publish(tracker, ClassifyFocus(Window(u"explorer.exe", u"", u"WorkerW"), {}), 2);
  EXPECT_EQ(GetLastApp(tracker), u"Word.exe");
  EXPECT_EQ(GetFocusDescription(tracker), u"explorer.exe");
}

TEST(SpreadsheetWindow, ByProgramTitleAndSuite) {
  struct Row {
    const char16_t* process;
    const char16_t* title;
    bool expected;
  } rows[] = {
      {u"excel.exe", u"", true},  // without looking at the window
      {u"chrome.exe", u"budget.csv - Google Chrome", true},
      {u"notepad.exe", u"budget.csv - Notepad", false},
      {u"msedge.exe", u"Trang tính không tên", true},
      {u"firefox.exe", u"News", false},
      {u"soffice.bin", u"Budget - Zuq Calc (Read-Only)", true},  // judged before the remark
      {u"soffice.bin", u"Budget - Zuq Writer", false},
      {u"soffice.bin", u"Budget - Zuq Sheet  ", true},
      {u"wps.exe", u"report.et", true},
      {u"wps.exe", u"report.doc", false},
      {u"chrome.exe", u"", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(IsSpreadsheetWindow(true, row.title, row.process), row.expected);
  }
  EXPECT_FALSE(IsSpreadsheetWindow(false, u"x.csv", u"chrome.exe"));
  EXPECT_TRUE(ClassifyFocus(Window(u"CHROME.EXE", u"a.xlsx"), {}).is_sheet_or_combo);
}

}  // namespace
}  // namespace tonvira
