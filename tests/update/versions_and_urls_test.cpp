#include <gtest/gtest.h>

#include <string>

#include "update/dotted_version.h"
#include "update/url_rules.h"

namespace tonvira {
namespace {

TEST(DottedVersion, ComparesComponentByComponent) {
  struct Row {
    const char* a;
    const char* b;
    bool ok;
    int sign;
  };
  const Row rows[] = {
      {"1.4.12", "1.4.12", true, 0},
      {"1.4.12.0", "1.4.12", true, 0},  // missing trailing components are 0
      {"1.4", "1.4.0.0", true, 0},
      {"1.4.13", "1.4.12", true, 1},
      {"1.4.9", "1.4.12", true, -1},  // numbers, not text: 9 < 12
      {"2", "1.65535.65535.65535", true, 1},
      {"01.4.12", "1.4.12", true, 0},  // a leading zero is a digit like any other
      {"65535", "65535.0", true, 0},
      {"65536", "1", false, 0},
      {"1.2.3.4.5", "1", false, 0},  // at most four components
      {"", "1", false, 0},
      {"1..4", "1", false, 0},
      {".1", "1", false, 0},
      {"1.", "1", false, 0},
      {"1.4a", "1", false, 0},
      {"-1", "1", false, 0},
      {"1 .4", "1", false, 0},
      {"1.4.12", "v1.4.12", false, 0},
      {"99999999999999999999", "1", false, 0},  // too big, without overflowing on the way
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
    VersionComparison c = CompareVersions(row.a, row.b);
    EXPECT_EQ(c.ok, row.ok);
    if (row.ok) {
      EXPECT_EQ(c.sign, row.sign);
      EXPECT_EQ(CompareVersions(row.b, row.a).sign, -row.sign);
    }
  }
}

TEST(DottedVersion, ShortDecimalsHaveOneToNineteenDigits) {
  EXPECT_TRUE(IsShortDecimal("0"));
  EXPECT_TRUE(IsShortDecimal("9999999999999999999"));
  EXPECT_EQ(ShortDecimalValue("9999999999999999999"), 9999999999999999999ull);
  EXPECT_FALSE(IsShortDecimal("10000000000000000000"));  // 20 digits
  EXPECT_FALSE(IsShortDecimal(""));
  EXPECT_FALSE(IsShortDecimal("+1"));
  EXPECT_FALSE(IsShortDecimal("1 "));
}

TEST(UrlRules, OriginAndWhetherTheUpdaterMayUseIt) {
  struct Row {
    const char* url;
    const char* origin;
    bool allowed;
  };
  const Row rows[] = {
      {"https://updates.tonvira.test/cap-nhat.txt", "https://updates.tonvira.test/", true},
      {"https://Updates.Tonvira.TEST:8443/a/b.msi", "https://updates.tonvira.test:8443/", true},
      {"http://localhost:8080/x.msi", "http://localhost:8080/", true},
      {"http://LOCALHOST/x.msi", "http://localhost/", true},
      {"http://127.0.0.1/x.msi", "http://127.0.0.1/", true},
      {"http://127.0.0.1:1/x.msi", "http://127.0.0.1:1/", true},
      {"http://updates.tonvira.test/x.msi", "http://updates.tonvira.test/", false},  // plain http elsewhere
      {"http://localhost.evil.test/x.msi", "http://localhost.evil.test/", false},
      {"http://127.0.0.1.evil.test/x.msi", "http://127.0.0.1.evil.test/", false},
      {"http://localhost:http/x.msi", "http://localhost:http/", false},  // not a port
      {"http://localhost:/x.msi", "http://localhost:/", false},
      {"http://localhost", "", false},  // no "/" ends the authority
      {"http://user@localhost/x.msi", "", false},
      {"https://user@updates.tonvira.test/x.msi", "", true},  // any https URL is allowed; it has no origin
      {"https:///x.msi", "", true},
      {"HTTPS://updates.tonvira.test/x", "", false},  // the scheme is exact
      {"ftp://updates.tonvira.test/x", "", false},
      {"updates.tonvira.test/x", "", false},
      {"https://up_dates.test/x", "", true},
      {"http://[::1]/x.msi", "", false},
      {"", "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.url);
    EXPECT_EQ(UrlOrigin(row.url), row.origin);
    EXPECT_EQ(UrlAllowed(row.url), row.allowed);
  }
}

TEST(UrlRules, InstallerFileNameIsTheLastPartWhenItIsASafeMsiName) {
  struct Row {
    const char* url;
    const char* name;
  };
  const Row rows[] = {
      {"https://u.test/dl/tonvira-1.5.0_x64.msi", "tonvira-1.5.0_x64.msi"},
      {"https://u.test/a.msi", "a.msi"},
      {"https://u.test/.msi", ""},  // four bytes
      {"https://u.test/tonvira.MSI", ""},
      {"https://u.test/tonvira 1.5.msi", ""},
      {"https://u.test/tonvira.msi?x=1", ""},
      {"https://u.test/tonvira.exe", ""},
      {"https://u.test/dl/", ""},
      {"https://u.test/..\\..\\tonvira.msi", ""},
      {"https://u.test/tonvira-ố.msi", ""},
      {"tonvira.msi", "tonvira.msi"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.url);
    EXPECT_EQ(InstallerFileName(row.url), row.name);
  }
  std::string longest = "https://u.test/" + std::string(76, 'a') + ".msi";
  EXPECT_EQ(InstallerFileName(longest).size(), 80u);
  EXPECT_EQ(InstallerFileName("https://u.test/" + std::string(77, 'a') + ".msi"), "");
}

}  // namespace
}  // namespace tonvira
