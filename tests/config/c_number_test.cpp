#include "config/c_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tonvira {
namespace {

TEST(CNumber, ReadsIntegersLikeTheCLibrary) {
  struct Row {
    std::u16string_view text;
    int32_t value;
  };
  const Row rows[] = {
      {u"0", 0},
      {u"7", 7},
      {u"  \t-12x", -12},
      {u"+3", 3},
      {u"", 0},
      {u"abc", 0},
      {u"- 5", 0},      // the sign must touch the digits
      {u"--5", 0},      // one sign only
      {u"1=2", 1},      // reading stops at the first non-digit
      {u"0x10", 0},     // decimal only
      {u"\u00A05", 0},  // a no-break space is not C white space
      {u"2147483647", 2147483647},
      {u"2147483648", 2147483647},  // overflow saturates
      {u"99999999999999999999999", 2147483647},
      {u"-2147483648", -2147483647 - 1},
      {u"-99999999999999999999", -2147483647 - 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.text.begin(), row.text.end()));
    EXPECT_EQ(ReadCInteger(row.text), row.value);
  }
}

TEST(CNumber, ReadsDoublesLikeTheCLibraryInTheCLocale) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Row {
    std::u16string_view text;
    double value;
  };
  const Row rows[] = {
      {u"2.0", 2.0},
      {u"2,5", 2.0},  // reading stops at the comma
      {u"abc", 0.0},
      {u"", 0.0},
      {u"  3.5kg", 3.5},
      {u"-1.25", -1.25},
      {u"+.5", 0.5},
      {u".", 0.0},
      {u"1e2", 100.0},
      {u"1e", 1.0},  // no exponent digits
      {u"1E-1", 0.1},
      {u"--1", 0.0},
      {u"+-1", 0.0},
      {u"1e400", kInf},
      {u"-1e400", -kInf},
      {u"1e-400", 0.0},
      {u"0.000000000000000000000000000001e-400", 0.0},
      {u"inf", kInf},
      {u"-Infinity", -kInf},
      {u"2\u00B75", 2.0},  // a non-ASCII character ends it
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.text.begin(), row.text.end()));
    EXPECT_EQ(ReadCDouble(row.text), row.value);
  }
  EXPECT_TRUE(std::isnan(ReadCDouble(u"nan")));
  EXPECT_EQ(ReadCDouble(std::u16string(400, u'9')), kInf);
}

TEST(CNumber, NarrowsToFloatWithoutLeavingTheRange) {
  constexpr float kMax = std::numeric_limits<float>::max();
  EXPECT_EQ(NarrowToFloat(2.5), 2.5f);
  EXPECT_EQ(NarrowToFloat(1e300), kMax);
  EXPECT_EQ(NarrowToFloat(-1e300), -kMax);
  EXPECT_EQ(NarrowToFloat(1e-300), 0.0f);
  EXPECT_EQ(NarrowToFloat(std::numeric_limits<double>::infinity()), std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::isnan(NarrowToFloat(std::nan(""))));
}

TEST(CNumber, PrintsLikePrintf) {
  EXPECT_EQ(FormatInteger(0), u"0");
  EXPECT_EQ(FormatInteger(-2147483647 - 1), u"-2147483648");
  EXPECT_EQ(FormatOneDecimal(2.0f), u"2.0");
  EXPECT_EQ(FormatOneDecimal(0.0f), u"0.0");
  EXPECT_EQ(FormatOneDecimal(2.25), u"2.2");   // exact binary value, ties to even
  EXPECT_EQ(FormatOneDecimal(2.05f), u"2.0");  // the float is just below 2.05
  EXPECT_EQ(FormatOneDecimal(-0.04), u"-0.0");
  EXPECT_EQ(FormatOneDecimal(std::numeric_limits<float>::max()),
            u"340282346638528859811704183484516925440.0");
  EXPECT_EQ(FormatOneDecimal(std::numeric_limits<double>::infinity()), u"inf");
}

}  // namespace
}  // namespace tonvira
