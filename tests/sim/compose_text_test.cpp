#include "sim/compose_text.h"

#include <gtest/gtest.h>

namespace tonvira {
namespace {

TEST(ComposeText, ComposesEachWordAndKeepsWhiteSpace) {
  struct Row {
    const char16_t* input;
    const char16_t* expected;
    InputMethod method;
  } rows[] = {
      {u"tieengs Vieetj", u"tiếng Việt", InputMethod::Telex},
      {u"  Tieengs\tVieetj\n\nlaf  ", u"  Tiếng\tViệt\n\nlà  ", InputMethod::Telex},
      {u"tie6ng1 vie65t", u"tiếng việt", InputMethod::Vni},
      {u"", u"", InputMethod::Telex},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(row.method));
    ComposeTextOptions options;
    options.method = row.method;
    EXPECT_EQ(ComposeText(row.input, options), row.expected);
  }
}

TEST(ComposeText, StrictFlagsTurnOffOutOfOrderMarks) {
  ComposeTextOptions options;
  EXPECT_EQ(ComposeText(u"toio dad", options), u"tôi đa");
  options.flags = 0;
  EXPECT_EQ(ComposeText(u"toio dad", options), u"toio dad");
}

}  // namespace
}  // namespace tonvira
