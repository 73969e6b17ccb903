#include "app/other_input_methods.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/app/fakes.h"

namespace tonvira {
namespace {

TEST(OtherInputMethods, TheTenNamesInAnyCase) {
  for (std::u16string_view name : kOtherInputMethods) EXPECT_TRUE(IsOtherInputMethod(name));
  for (const char16_t* name :
       {u"UniKey.exe", u"UNIKEYNT.EXE", u"EVKey64.exe", u"GoTiengViet.exe", u"OpenKey.Exe"}) {
    EXPECT_TRUE(IsOtherInputMethod(name))
        << std::string(name, name + std::char_traits<char16_t>::length(name));
  }
  for (const char16_t* name :
       {u"unikey", u"unikey.exe.bak", u"xunikey.exe", u"notepad.exe", u"", u"unikey.ex"}) {
    EXPECT_FALSE(IsOtherInputMethod(name));
  }
}

TEST(OtherInputMethods, OnlyOneInOurSessionCounts) {
  struct Row {
    const char* what;
    std::vector<RunningProcess> processes;
    std::map<uint32_t, uint32_t> sessions;
    bool expected;
  } rows[] = {
      {"none", {{u"notepad.exe", 7}}, {{1, 1}, {7, 1}}, false},
      {"mixed case in our session",
       {{u"notepad.exe", 7}, {u"UniKey.exe", 8}},
       {{1, 1}, {7, 1}, {8, 1}},
       true},
      {"another session", {{u"UniKey.exe", 8}}, {{1, 1}, {8, 2}}, false},
      {"session unreadable", {{u"UniKey.exe", 8}}, {{1, 1}}, false},
      {"a later one in our session",
       {{u"evkey.exe", 8}, {u"OpenKey64.exe", 9}},
       {{1, 1}, {8, 2}, {9, 1}},
       true},
      {"the list could not be walked", {}, {{1, 1}}, false},
  };
  Engine engine;
  Pipeline pipeline(engine);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeProcesses processes;
    processes.processes = row.processes;
    processes.sessions = row.sessions;
    pipeline.ConflictingImeRunning = !row.expected;
    CheckOtherInputMethods(pipeline, processes);
    EXPECT_EQ(pipeline.ConflictingImeRunning, row.expected);
  }
}

TEST(OtherInputMethods, AFailedSnapshotKeepsTheLastAnswer) {
  Engine engine;
  Pipeline pipeline(engine);
  FakeProcesses processes;
  processes.processes = std::vector<RunningProcess>{{u"unikey.exe", 5}};
  processes.sessions[5] = 1;
  CheckOtherInputMethods(pipeline, processes);
  EXPECT_TRUE(pipeline.ConflictingImeRunning);
  processes.processes.reset();
  CheckOtherInputMethods(pipeline, processes);
  EXPECT_TRUE(pipeline.ConflictingImeRunning);
  processes.processes = std::vector<RunningProcess>{};  // it stopped
  CheckOtherInputMethods(pipeline, processes);
  EXPECT_FALSE(pipeline.ConflictingImeRunning);
}

}  // namespace
}  // namespace tonvira
