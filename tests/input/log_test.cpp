// TONVIRA_LOG: when a trace is written, and what each line looks like.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "input/log.h"

namespace tonvira {
namespace {

class LogTest : public testing::Test {
 protected:
  void SetUp() override {
    CloseLog();
    path_ =
        std::filesystem::temp_directory_path() / ("tonvira_log_test_" + std::to_string(getpid()) + ".txt");
    std::filesystem::remove(path_);
  }
  void TearDown() override {
    CloseLog();
    unsetenv("TONVIRA_LOG");
    std::filesystem::remove(path_);
  }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::filesystem::path path_;
};

TEST_F(LogTest, OffWithoutTheVariable) {
  unsetenv("TONVIRA_LOG");
  OpenLog();
  EXPECT_FALSE(LogIsOpen());
  LogLine("key vk=%02lX\n", 0x41ul);  // nothing to write to, nothing happens
}

TEST_F(LogTest, OffForAnEmptyOrOverlongValue) {
  setenv("TONVIRA_LOG", "", 1);
  OpenLog();
  EXPECT_FALSE(LogIsOpen());
  setenv("TONVIRA_LOG", (path_.string() + std::string(512, 'x')).c_str(), 1);
  OpenLog();
  EXPECT_FALSE(LogIsOpen());
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(LogTest, AFileThatCannotBeCreatedLeavesItOffUntilTheNextTry) {
  setenv("TONVIRA_LOG", (path_.string() + "/no/such/folder.txt").c_str(), 1);
  OpenLog();
  EXPECT_FALSE(LogIsOpen());
  setenv("TONVIRA_LOG", path_.c_str(), 1);
  OpenLog();
  EXPECT_TRUE(LogIsOpen());
}

TEST_F(LogTest, LinesReachTheFileAtOnce) {
  std::ofstream(path_) << "old run\n";
  setenv("TONVIRA_LOG", path_.c_str(), 1);
  OpenLog();
  ASSERT_TRUE(LogIsOpen());
  EXPECT_EQ(Contents(), "");  // truncated
  LogLine("key vk=%02lX -> U+%04X  ctx=%d blocked=%d  fg=[%s]\n", 0x41ul, 0x61u, 0, 0, "Tài liệu");
  LogLine("    SendInput: gui %u/%zu  err=%lu\n", 12u, static_cast<size_t>(12), 0ul);
  EXPECT_EQ(Contents(),
            "key vk=41 -> U+0061  ctx=0 blocked=0  fg=[Tài liệu]\n    SendInput: gui 12/12  err=0\n");
  setenv("TONVIRA_LOG", (path_.string() + ".second").c_str(), 1);
  OpenLog();  // already open: the same file goes on
  LogLine("x\n");
  EXPECT_FALSE(std::filesystem::exists(path_.string() + ".second"));
}

}  // namespace
}  // namespace tonvira
