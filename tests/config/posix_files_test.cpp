#include "config/posix/posix_files.h"

#include <gtest/gtest.h>

namespace tonvira::posix {
namespace {

// Where the Linux front end keeps the user's files: the XDG base directory rules.
TEST(PosixFiles, TheConfigurationFolderFollowsXdg) {
  struct Row {
    const char* xdg;
    const char* home;
    const char* expected;
  } rows[] = {
      {"/home/an/.cfg", "/home/an", "/home/an/.cfg"},
      {nullptr, "/home/an", "/home/an/.config"},
      {"", "/home/an", "/home/an/.config"},              // set but empty: as if unset
      {"relative/cfg", "/home/an", "/home/an/.config"},  // a relative one is invalid
      {nullptr, nullptr, ""},
      {nullptr, "not-absolute", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.xdg ? row.xdg : "(unset)") << " "
                                    << (row.home ? row.home : "(unset)"));
    EXPECT_EQ(ConfigHome(row.xdg, row.home), row.expected);
  }
}

}  // namespace
}  // namespace tonvira::posix
