// tonvira-sim: types text key by key through Tonvira's keyboard pipeline into a text field of
// the simulated desktop and prints what the field shows. Standard output carries only that; messages go to
// standard error.
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/apply_settings.h"
#include "config/abbrev_table.h"
#include "config/settings.h"
#include "context/focus_tracker.h"
#include "decide/lexicon.h"
#include "decide/word_lists.h"
#include "input/pipeline.h"
#include "sim/sim_desktop.h"
#include "sim/sim_typing.h"
#include "text/utf8.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace tonvira {
namespace {

constexpr std::string_view kUsage =
    "usage: tonvira-sim [options] [TEXT...]\n"
    "Types TEXT (or standard input; on a terminal, the keys as they are pressed) through\n"
    "Tonvira's keyboard pipeline into a simulated field and prints the field. Special keys in\n"
    "braces: {BS} {ENTER} {TAB} {ESC} {LEFT} {RIGHT} {HOME} {END} {DEL} {CLICK} {CTRL+A}; {{ is {.\n"
    "  --vni                 VNI instead of Telex\n"
    "  --modern              modern tone placement (hoà) instead of classic (hòa)\n"
    "  --smart off, --autofix off, --caps-vi off, --free-marks off, --bs-edit off,\n"
    "  --abbrev off, --context off, ...   switch an on/off setting of settings.txt off\n"
    "                        (\"on\" switches it on; _ in its name is -)\n"
    "  --strict              no out-of-order marks (as --free-marks off)\n"
    "  --field auto|en|vi    class of the focused field\n"
    "  --password            the focused field is a password field\n"
    "  --app NAME, --title TEXT, --field-name TEXT   foreground process, window title and\n"
    "                        field name, classified with context.txt\n"
    "  --data DIR            where en_words.txt, vi_syllables.txt and abbrev.txt are read from\n"
    "  --compact-lists FILE  keep the word lists' compact form in FILE: read when it was made\n"
    "                        from the same text, written again when it was not\n"
    "  --lines               each input line is a fresh field; one output line each\n"
    "  --explain             after the text, one line per decided word:\n"
    "                        TAB keys TAB output TAB action TAB reason\n";

struct Options {
  Settings settings;
  ContextClass field = ContextClass::Auto;
  bool fieldGiven = false;
  bool password = false;
  // The foreground application and focused field, classified with context.txt when given.
  std::optional<std::string> app;
  std::optional<std::u16string> title;
  std::optional<std::u16string> fieldName;
  std::filesystem::path dataDir = TONVIRA_DATA_DIR;
  std::filesystem::path compactLists;  // none: the lists are read from their text
  bool lines = false;
  bool explain = false;
  std::string text;
  bool haveText = false;
  bool interactive = false;
};

// "--bs-edit" is the flag bs_edit of settings.txt.
uint8_t* SwitchFor(Settings& s, std::string_view option) {
  if (!option.starts_with("--")) return nullptr;
  std::u16string key;
  for (char c : option.substr(2)) key.push_back(c == '-' ? u'_' : static_cast<char16_t>(c));
  const SettingRow* setting = FindSetting(key);
  if (!setting || !std::holds_alternative<uint8_t Settings::*>(setting->field)) return nullptr;
  return &(s.*std::get<uint8_t Settings::*>(setting->field));
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
      o.fieldGiven = true;
    } else if (arg == "--password") {
      o.password = true;
    } else if (arg == "--app" || arg == "--title" || arg == "--field-name") {
      auto v = value();
      if (!v) return std::string(arg) + " takes a text";
      if (arg == "--app") o.app = std::string(*v);
      if (arg == "--title") o.title = Utf8ToUtf16(*v);
      if (arg == "--field-name") o.fieldName = Utf8ToUtf16(*v);
    } else if (arg == "--compact-lists") {
      auto v = value();
      if (!v) return "--compact-lists takes a file";
      o.compactLists = std::filesystem::path(std::string(*v));
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

// The terminal in raw mode while keys are typed one by one; restored on the way out.
class RawTerminal {
 public:
  RawTerminal() {
    if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    active_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
  }
  ~RawTerminal() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }

 private:
  termios saved_{};
  bool active_ = false;
};

// Each key is typed as it arrives and the field's last line redrawn on the terminal; Ctrl+D
// or Ctrl+C ends, and the whole field goes to standard output.
void RunInteractive(sim::Desktop& desktop) {
  std::cerr << "tonvira-sim: type; Ctrl+D ends\n";
  RawTerminal terminal;
  std::string pending;  // bytes of a UTF-8 character or an escape sequence still arriving
  auto redraw = [&] {
    const std::u16string& text = desktop.Focused().text;
    size_t lineStart = text.rfind(u'\n');
    lineStart = lineStart == std::u16string::npos ? 0 : lineStart + 1;
    std::cerr << "\r\033[K" << Utf16ToUtf8(text.substr(lineStart)) << std::flush;
  };
  char byte = 0;
  while (read(STDIN_FILENO, &byte, 1) == 1) {
    if (pending.empty() && (byte == 4 || byte == 3)) break;
    pending.push_back(byte);
    std::u16string keys;
    if (pending[0] == '\033') {  // arrows: ESC [ C and ESC [ D
      if (pending.size() < 3) continue;
      if (pending == "\033[D") keys = u"{LEFT}";
      if (pending == "\033[C") keys = u"{RIGHT}";
      if (pending == "\033[H") keys = u"{HOME}";
      if (pending == "\033[F") keys = u"{END}";
    } else if (pending == "\x7f" || pending == "\b") {
      keys = u"{BS}";
    } else if (pending == "\r" || pending == "\n") {
      keys = u"{ENTER}";
      std::cerr << "\n";
    } else {
      unsigned char lead = static_cast<unsigned char>(pending[0]);
      size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
      if (pending.size() < length) continue;
      keys = Utf8ToUtf16(pending);
      if (keys == u"{") keys = u"{{";
    }
    pending.clear();
    if (!keys.empty()) sim::TypeKeys(desktop, keys);
    redraw();
  }
  std::cerr << "\n";
}

// The field as focus tracking would classify it, with the rules of context.txt; --field and
// --password still have the last word.
void ClassifyField(const Options& o, sim::WindowSpec& field) {
  FocusTracker tracker;
  ReadContextFile(tracker, Utf8ToUtf16((o.dataDir / "context.txt").string()));
  FocusFacts facts;
  facts.foreground = 1;
  facts.processId = 2;
  facts.ownProcessId = 1;
  facts.processName = Utf8ToUtf16(o.app.value_or(field.process));
  facts.title = o.title.value_or(field.title);
  facts.windowClass = u"Edit";
  facts.hasElement = o.fieldName.has_value();
  facts.elementName = o.fieldName.value_or(u"");
  FocusClassification c = ClassifyFocus(facts, CopyContextRules(tracker));
  field.process = Utf16ToUtf8(facts.processName);
  field.title = facts.title;
  if (!o.fieldGiven) field.fields.fieldClass = c.contextClass;
  field.fields.password = o.password || c.is_password;
  field.fields.inlineCompletion = c.is_address_bar;
  field.fields.spreadsheet = c.is_sheet_or_combo;
  if (!o.explain) return;
  std::cerr << "tonvira-sim: field classified as " << Utf16ToUtf8(c.description) << ", class "
            << static_cast<int>(c.contextClass) << (c.is_password ? ", password" : "")
            << (c.is_address_bar ? ", address bar" : "") << (c.is_sheet_or_combo ? ", spreadsheet" : "")
            << "\n";
}

int Run(const Options& o) {
  Lexicon lexicon;
  auto path = [](const std::filesystem::path& p) { return Utf8ToUtf16(p.string()); };
  WordListFiles files{path(o.dataDir / "en_words.txt"), path(o.dataDir / "vi_syllables.txt"),
                      path(o.dataDir / "word_pairs.txt"),
                      o.compactLists.empty() ? u"" : path(o.compactLists)};
  if (!LoadWordLists(lexicon, files).english) {
    std::cerr << "tonvira-sim: cannot read " << Utf16ToUtf8(files.english) << "\n";
    return 1;
  }

  AbbrevTable abbrevs;
  ReadAbbrevFile(abbrevs, Utf8ToUtf16((o.dataDir / "abbrev.txt").string()));  // read only

  Engine engine;
  UseWordLists(engine.options, lexicon);
  engine.decision.recording = o.explain;
  ApplySettingsToEngine(engine, o.settings, &abbrevs);
  engine.options.shippedAbbrevs = &abbrevs;  // the data folder's table is the library as shipped

  sim::Desktop& desktop = sim::TheDesktop();
  Pipeline pipeline(engine);
  PublishedFocus published;
  desktop.PublishFocusTo(&published);
  pipeline.focusSource = &published;
  ApplySettingsToPipeline(pipeline, o.settings);
  InstallHooks(pipeline);
  sim::WindowSpec field;
  field.fields.fieldClass = o.field;
  field.fields.password = o.password;
  if (o.app || o.title || o.fieldName) ClassifyField(o, field);

  std::u16string input = Utf8ToUtf16(o.text);
  if (o.interactive) {
    desktop.Focus(desktop.AddWindow(field));
    RunInteractive(desktop);
    std::cout << Utf16ToUtf8(desktop.Focused().text) << '\n';
    return std::cout.good() ? 0 : 1;
  }
  if (!o.lines) {
    desktop.Focus(desktop.AddWindow(field));
    if (auto error = sim::TypeKeys(desktop, input)) {
      std::cerr << "tonvira-sim: " << *error << "\n";
      return 2;
    }
    std::string shown = Utf16ToUtf8(desktop.Focused().text);
    std::cout << shown;
    if (shown.empty() || shown.back() != '\n') std::cout << '\n';
    if (o.explain) PrintExplanation(engine);
    return std::cout.good() ? 0 : 1;
  }
  size_t start = 0;
  while (start < input.size()) {
    size_t end = input.find(u'\n', start);
    if (end == std::u16string::npos) end = input.size();
    desktop.Focus(desktop.AddWindow(field));  // a fresh field in a new window
    if (auto error = sim::TypeKeys(desktop, std::u16string_view(input).substr(start, end - start))) {
      std::cerr << "tonvira-sim: " << *error << "\n";
      return 2;
    }
    // The last word is committed as Tab would; the Tab itself is not part of the line.
    desktop.Press(vk::kTab);
    std::u16string shown = desktop.Focused().text;
    if (!shown.empty() && shown.back() == u'\t') shown.pop_back();
    std::cout << Utf16ToUtf8(shown) << '\n';
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
      options.interactive = true;
    } else {
      options.text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    }
  }
  return tonvira::Run(options);
}
