// tonvira-sim: types text key by key through Tonvira into a simulated text field and
// prints what the field shows. Standard output carries only that; messages go to standard
// error.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/abbrev_table.h"
#include "config/settings.h"
#include "config/utf8.h"
#include "decide/lexicon.h"
#include "sim/sim_field.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace tonvira {
namespace {

constexpr std::string_view kDemo = "Tieengs Vieetj laf ngoon nguwx cuar nguwowif Vieetj.";

constexpr std::string_view kUsage =
    "usage: tonvira-sim [options] [TEXT...]\n"
    "Types TEXT (or standard input, or a demo sentence) through Tonvira and prints the field.\n"
    "  --vni                 VNI instead of Telex\n"
    "  --modern              modern tone placement (hoà) instead of classic (hòa)\n"
    "  --smart off, --autofix off, --caps-vi off, --free-marks off, --bs-edit off,\n"
    "  --abbrev off, --context off   switch a setting off (\"on\" switches it on)\n"
    "  --strict              no out-of-order marks (as --free-marks off)\n"
    "  --field auto|en|vi    class of the focused field\n"
    "  --password            the focused field is a password field\n"
    "  --data DIR            where en_words.txt, vi_syllables.txt and abbrev.txt are read from\n"
    "  --lines               each input line is a fresh field; one output line each\n"
    "  --explain             after the text, one line per decided word:\n"
    "                        TAB keys TAB output TAB action TAB reason\n";

struct Options {
  Settings settings;
  ContextClass field = ContextClass::Auto;
  bool password = false;
  std::filesystem::path dataDir = TONVIRA_DATA_DIR;
  bool lines = false;
  bool explain = false;
  std::string text;
  bool haveText = false;
};

uint8_t* SwitchFor(Settings& s, std::string_view option) {
  if (option == "--smart") return &s.smart;
  if (option == "--autofix") return &s.autofix;
  if (option == "--caps-vi") return &s.caps_vi;
  if (option == "--free-marks") return &s.free_marks;
  if (option == "--bs-edit") return &s.bs_edit;
  if (option == "--abbrev") return &s.abbrev;
  if (option == "--context") return &s.context;
  return nullptr;
}

// Returns an error message, or nothing when the options are good.
std::optional<std::string> ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    auto value = [&]() -> std::optional<std::string_view> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string_view(argv[++i]);
    };
    if (arg == "--vni") {
      o.settings.method = 1;
    } else if (arg == "--modern") {
      o.settings.old_tone = 1;
    } else if (arg == "--strict") {
      o.settings.free_marks = 0;
    } else if (uint8_t* flag = SwitchFor(o.settings, arg)) {
      auto v = value();
      if (!v || (*v != "on" && *v != "off")) return std::string(arg) + " takes on or off";
      *flag = *v == "on";
    } else if (arg == "--field") {
      auto v = value();
      if (v == "auto") {
        o.field = ContextClass::Auto;
      } else if (v == "en") {
        o.field = ContextClass::English;
      } else if (v == "vi") {
        o.field = ContextClass::Vietnamese;
      } else {
        return "--field takes auto, en or vi";
      }
    } else if (arg == "--password") {
      o.password = true;
    } else if (arg == "--data") {
      auto v = value();
      if (!v) return "--data takes a folder";
      o.dataDir = std::filesystem::path(std::string(*v));
    } else if (arg == "--lines") {
      o.lines = true;
    } else if (arg == "--explain") {
      o.explain = true;
    } else if (arg.starts_with("--")) {
      return "unknown option " + std::string(arg);
    } else {
      if (o.haveText) o.text += ' ';
      o.text += arg;
      o.haveText = true;
    }
  }
  return std::nullopt;
}

const char* ActionName(WordAction action) {
  switch (action) {
    case WordAction::Vietnamese:
      return "vi";
    case WordAction::English:
      return "en";
    default:
      return "unchanged";
  }
}

void PrintExplanation(Engine& engine) {
  for (const DecisionRecord& r : engine.decision.history) {
    std::cout << '\t' << Utf16ToUtf8(r.keys) << '\t' << Utf16ToUtf8(r.output) << '\t' << ActionName(r.action)
              << '\t' << r.reason << '\n';
  }
  engine.decision.history.clear();
}

int Run(const Options& o) {
  Lexicon lexicon;
  if (!LoadEnglishWords(lexicon, o.dataDir / "en_words.txt")) {
    std::cerr << "tonvira-sim: cannot read " << (o.dataDir / "en_words.txt").string() << "\n";
    return 1;
  }
  bool haveSyllables = LoadSyllables(lexicon, o.dataDir / "vi_syllables.txt", kDefaultSyllableFrequency);

  AbbrevTable abbrevs;
  ReadAbbrevFile(abbrevs, Utf8ToUtf16((o.dataDir / "abbrev.txt").string()));  // read only

  Engine engine;
  engine.englishWords = &lexicon.english;
  engine.vietSyllables = haveSyllables ? &lexicon.syllables : nullptr;
  ApplySettingsToEngine(engine, o.settings, &abbrevs);
  engine.fieldClass = o.field;
  engine.blocked = o.password;
  engine.decision.recording = o.explain;

  std::u16string input = Utf8ToUtf16(o.text);
  if (!o.lines) {
    SimField field(engine);
    field.TypeKeys(input);
    std::string shown = Utf16ToUtf8(field.Text());
    std::cout << shown;
    if (shown.empty() || shown.back() != '\n') std::cout << '\n';
    if (o.explain) PrintExplanation(engine);
    return std::cout.good() ? 0 : 1;
  }
  size_t start = 0;
  while (start < input.size()) {
    size_t end = input.find(u'\n', start);
    if (end == std::u16string::npos) end = input.size();
    NewContext(engine);  // a fresh field in a new window
    SimField field(engine);
    field.TypeKeys(std::u16string_view(input).substr(start, end - start));
    field.Commit();
    std::cout << Utf16ToUtf8(field.Text()) << '\n';
    if (o.explain) PrintExplanation(engine);
    start = end + 1;
  }
  return std::cout.good() ? 0 : 1;
}

}  // namespace
}  // namespace tonvira

int main(int argc, char** argv) {
  tonvira::Options options;
  if (argc > 1 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::cout << tonvira::kUsage;
    return 0;
  }
  if (auto error = tonvira::ParseOptions(argc, argv, options)) {
    std::cerr << "tonvira-sim: " << *error << "\n" << tonvira::kUsage;
    return 2;
  }
  if (!options.haveText) {
    if (isatty(STDIN_FILENO)) {
      std::cerr << "tonvira-sim: no text given; typing a demo sentence\n";
      options.text = tonvira::kDemo;
    } else {
      options.text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    }
  }
  return tonvira::Run(options);
}
