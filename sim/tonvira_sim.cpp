// tonvira-sim: types text through Tonvira and prints what the field shows.
// Standard output carries only that text; messages go to standard error.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "config/utf8.h"
#include "sim/compose_text.h"

namespace {

constexpr std::string_view kDemo = "Tieengs Vieetj laf ngoon nguwx cuar nguwowif Vieetj.";

constexpr std::string_view kUsage =
    "usage: tonvira-sim [--vni] [--modern] [--strict] [TEXT...]\n"
    "  Types TEXT (or standard input) and prints the composed text.\n";

}  // namespace

int main(int argc, char** argv) {
  tonvira::ComposeTextOptions options;
  std::string text;
  bool haveText = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--vni") {
      options.method = tonvira::InputMethod::Vni;
    } else if (arg == "--modern") {
      options.classic = false;
    } else if (arg == "--strict") {
      options.flags = 0;
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (arg.starts_with("--")) {
      std::cerr << "tonvira-sim: unknown option " << arg << "\n" << kUsage;
      return 2;
    } else {
      if (haveText) text += ' ';
      text += arg;
      haveText = true;
    }
  }

  if (!haveText) {
    if (isatty(STDIN_FILENO)) {
      std::cerr << "tonvira-sim: no text given; typing a demo sentence\n";
      text = kDemo;
    } else {
      text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    }
  }
  std::string out = tonvira::Utf16ToUtf8(tonvira::ComposeText(tonvira::Utf8ToUtf16(text), options));
  std::cout << out;
  if (out.empty() || out.back() != '\n') std::cout << '\n';
  return std::cout.good() ? 0 : 1;
}
