// A field of class English (a terminal, a code editor) takes every key as typed: any printable
// ASCII text, typed key by key with abbreviations on and the shipped library loaded, arrives
// byte for byte.
#include <random>
#include <string>

#include "config/abbrev_table.h"
#include "tests/input/pipeline_fixture.h"
#include "text/utf8.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace tonvira {
namespace {

class EnglishFieldProperty : public PipelineTest {};

TEST_F(EnglishFieldProperty, PrintableAsciiArrivesAsTyped) {
  AbbrevTable shipped;
  ASSERT_TRUE(ReadAbbrevFile(shipped, Utf8ToUtf16(TONVIRA_DATA_DIR "/abbrev.txt")));
  engine_.options.abbrevTable = &shipped;
  engine_.options.shippedAbbrevs = &shipped;
  sim::WindowSpec terminal = Spec("cmd.exe", u"Command Prompt");
  terminal.fields.fieldClass = ContextClass::English;

  // Words from the library and from Telex, spaces and punctuation weigh more than chance.
  const char16_t* pieces[] = {u"ng ",     u"ko ",     u"tp ", u"dc ", u"vieetj ",
                              u"src/ng/", u"tk.txt ", u"cd ", u" "};
  std::mt19937 random(1206);
  for (int line = 0; line < 300; ++line) {
    desktop().Focus(desktop().AddWindow(terminal));
    std::u16string typed;
    size_t length = 1 + random() % 40;
    while (typed.size() < length) {
      if (random() % 3 == 0) {
        typed += pieces[random() % std::size(pieces)];
      } else {
        typed.push_back(static_cast<char16_t>(0x20 + random() % 95));
      }
    }
    Type(typed);
    ASSERT_EQ(Field(), typed) << "line " << line;
  }
}

}  // namespace
}  // namespace tonvira
