#include "update/http_body.h"

#include <gtest/gtest.h>

#include <vector>

namespace tonvira {
namespace {

using Step = HttpBody::Step;

// The body's rules, on both bodies' behalf: chunks up to the limit are kept, the chunk that
// passes it is refused whole or cut at the limit, and the file gets what the text gets.
TEST(HttpBody, TheLimitRefusesOrCutsAndTheFileGetsWhatIsKept) {
  struct Row {
    const char* name;
    bool cutAtLimit;
    std::vector<std::string> chunks;
    std::vector<Step> steps;
    std::string kept;
    uint64_t total;
  } rows[] = {
      {"up to the limit exactly", false, {"abcd", "ef"}, {Step::More, Step::More}, "abcdef", 6},
      {"past it: refused whole", false, {"abcd", "efgh"}, {Step::More, Step::TooLarge}, "abcd", 8},
      {"past it: cut at the limit", true, {"abcd", "efgh"}, {Step::More, Step::Cut}, "abcdef", 6},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string text, file;
    HttpRequest request;
    request.byteLimit = 6;
    request.cutAtLimit = row.cutAtLimit;
    request.text = &text;
    request.filePath = u"package.msi";
    HttpBody body(request, [&file](std::string_view bytes) {
      file.append(bytes);
      return true;
    });
    for (size_t i = 0; i < row.chunks.size(); ++i) EXPECT_EQ(body.Accept(row.chunks[i]), row.steps[i]);
    EXPECT_EQ(text, row.kept);
    EXPECT_EQ(file, row.kept);
    EXPECT_EQ(body.total(), row.total);
  }
}

TEST(HttpBody, TheFilesHashAndAFailedWrite) {
  HttpRequest request;
  request.byteLimit = 100;
  request.filePath = u"package.msi";
  HttpBody body(request, [](std::string_view) { return true; });
  EXPECT_EQ(body.Accept("a"), Step::More);
  EXPECT_EQ(body.Accept("bc"), Step::More);
  EXPECT_EQ(body.FileSha256(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");  // "abc"

  HttpBody failing(request, [](std::string_view) { return false; });
  EXPECT_EQ(failing.Accept("abc"), Step::Failed);

  request.filePath.clear();  // a text only: no file, no hash
  HttpBody textOnly(request, [](std::string_view) { return false; });
  EXPECT_EQ(textOnly.Accept("abc"), Step::More);
  EXPECT_EQ(textOnly.FileSha256(), "");
}

}  // namespace
}  // namespace tonvira
