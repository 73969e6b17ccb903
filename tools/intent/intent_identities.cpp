#include "tools/intent/intent_identities.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "app/apply_settings.h"
#include "config/settings.h"
#include "decide/lexicon.h"
#include "engine/engine.h"
#include "fcitx5/preedit_session.h"
#include "input/pipeline.h"
#include "sim/sim_desktop.h"
#include "text/utf8.h"

namespace tonvira::intent {
namespace {

char16_t ToneKey(Tone tone, InputMethod method) {
  static constexpr char16_t kTelex[] = {0, u's', u'f', u'r', u'x', u'j'};
  static constexpr char16_t kVni[] = {0, u'1', u'2', u'3', u'4', u'5'};
  return method == InputMethod::Vni ? kVni[tone] : kTelex[tone];
}

// The letter with its mark key (â: "aa" or "a6"), without the tone.
std::u16string LetterKeys(const Letter& letter, InputMethod method) {
  std::u16string keys(1, letter.upper ? static_cast<char16_t>(letter.base - 32) : letter.base);
  bool vni = method == InputMethod::Vni;
  switch (letter.mark) {
    case kMarkNone:
      break;
    case kMarkCircumflex:
      keys.push_back(vni ? u'6' : letter.base);
      break;
    case kMarkBreve:
      keys.push_back(vni ? u'8' : u'w');
      break;
    case kMarkHorn:
      keys.push_back(vni ? u'7' : u'w');
      break;
    case kMarkStroke:
      keys.push_back(vni ? u'9' : u'd');
      break;
  }
  return keys;
}

// Where a word's text is compared, with the checks every Backspace and key must pass.
class Bench {
 public:
  virtual ~Bench() = default;
  // A fresh field with the neighbour typed (from then on it must never change), then the keys.
  void Start(std::u16string_view neighbour, std::u16string_view keys) {
    Clear();
    oneCharacter_ = neighbours_ = true;
    neighbour_.clear();
    Type(neighbour);
    neighbour_ = Field();
    Type(keys);
  }
  void Type(std::u16string_view keys) {
    for (char16_t c : keys) {
      TypeCharacter(c);
      CheckNeighbour();
    }
  }
  void Backspace() {
    std::u16string before = Field();
    PressBackspace();
    // The field deletes one unit before the caret (the caret is at the end here).
    if (before.empty() || Field() != before.substr(0, before.size() - 1)) oneCharacter_ = false;
    CheckNeighbour();
  }
  // What the user sees: the field's text, and the word in progress where it is shown apart.
  virtual std::u16string Field() const = 0;
  const std::u16string& Neighbour() const { return neighbour_; }
  bool OneCharacterHeld() const { return oneCharacter_; }
  bool NeighboursHeld() const { return neighbours_; }

 protected:
  static void Configure(Engine& engine, const Lexicon& lexicon, const AbbrevTable* abbrevs,
                        const Settings& settings) {
    engine.options.englishWords = &lexicon.english;
    engine.options.vietSyllables = &lexicon.syllables;
    engine.options.wordPairs = lexicon.pairs.scores.empty() ? nullptr : &lexicon.pairs;
    ApplySettingsToEngine(engine, settings, abbrevs);
    engine.options.shippedAbbrevs = abbrevs;
  }

 private:
  // A fresh field: nothing typed, nothing remembered.
  virtual void Clear() = 0;
  virtual void TypeCharacter(char16_t c) = 0;
  virtual void PressBackspace() = 0;
  void CheckNeighbour() {
    if (!Field().starts_with(neighbour_)) neighbours_ = false;
  }

  std::u16string neighbour_;
  bool oneCharacter_ = true;
  bool neighbours_ = true;
};

// The Windows program: the real keyboard pipeline typing into the one window of the simulated
// desktop.
class PipelineBench final : public Bench {
 public:
  PipelineBench(const Lexicon& lexicon, const AbbrevTable* abbrevs, const Settings& settings)
      : pipeline_(engine_) {
    Configure(engine_, lexicon, abbrevs, settings);
    desktop().Reset();
    desktop().PublishFocusTo(&published_);
    pipeline_.focusSource = &published_;
    ApplySettingsToPipeline(pipeline_, settings);
    InstallHooks(pipeline_);
    desktop().Focus(desktop().AddWindow({}));
  }
  ~PipelineBench() override {
    RemoveHooks();
    desktop().Reset();
  }
  PipelineBench(const PipelineBench&) = delete;
  PipelineBench& operator=(const PipelineBench&) = delete;

  std::u16string Field() const override { return desktop().Focused().text; }

 private:
  static sim::Desktop& desktop() { return sim::TheDesktop(); }
  void Clear() override {
    AbandonWord(pipeline_);
    NewContext(engine_);
    ClearCommittedText(engine_);
    sim::SimWindow& w = desktop().Window(desktop().Foreground());
    w.text.clear();
    w.caret = 0;
    desktop().ClearBatches();
  }
  void TypeCharacter(char16_t c) override { desktop().TypeChar(c); }
  void PressBackspace() override { desktop().Press(vk::kBack); }

  Engine engine_;
  PublishedFocus published_;
  Pipeline pipeline_;
};

// The Linux front end: the preedit session, in a field that tells the text before its caret
// (as GTK and Qt applications do) and handles the keys the session lets through.
class PreeditBench final : public Bench {
 public:
  PreeditBench(const Lexicon& lexicon, const AbbrevTable* abbrevs, const Settings& settings) {
    Configure(engine_, lexicon, abbrevs, settings);
  }
  std::u16string Field() const override { return text_ + preedit_; }

 private:
  void Clear() override {
    AbandonWord(engine_);
    NewContext(engine_);
    ClearCommittedText(engine_);
    text_.clear();
    preedit_.clear();
  }
  void TypeCharacter(char16_t c) override {
    const FieldEdit& edit = session_.TypeCharacter(c);
    Apply(edit);
    if (!edit.keyHandled) text_.push_back(c);
  }
  void PressBackspace() override {
    const FieldEdit& edit = session_.Backspace(&text_);
    Apply(edit);
    if (!edit.keyHandled && !text_.empty()) text_.pop_back();
  }
  void Apply(const FieldEdit& edit) {
    text_.resize(text_.size() - std::min(text_.size(), edit.deleteBefore));  // BMP text: a unit each
    text_ += edit.commit;
    preedit_ = edit.preedit;
  }

  Engine engine_;
  PreeditSession session_{engine_};
  std::u16string text_;
  std::u16string preedit_;
};

template <typename MakeFailure>
void Count(Report& report, Identity identity, bool held, MakeFailure failure) {
  Tally& t = report[static_cast<size_t>(identity)];
  ++t.total;
  if (held) {
    ++t.held;
  } else {
    t.failures.push_back(failure(identity));
  }
}

std::string Shown(std::u16string_view text) {
  std::string shown = "[";
  shown += Utf16ToUtf8(text);
  shown += ']';
  return shown;
}

// The keys that typed the last character of `shown`: the keys after the point where the
// screen showed the rest ("miss" shows "mis" after "mi" and a doubled s, so they are "ss"), or,
// where no such point exists (a tone key typed last), the character's own keys.
std::u16string KeysOfLastCharacter(Bench& bench, std::u16string_view neighbour, std::u16string_view keys,
                                   std::u16string_view shown, InputMethod method) {
  std::u16string_view rest = shown.substr(0, shown.size() - 1);
  for (size_t drop = 1; drop <= 3 && drop < keys.size(); ++drop) {
    bench.Start(neighbour, keys.substr(0, keys.size() - drop));
    std::u16string field = bench.Field();
    if (field.substr(std::min(field.size(), bench.Neighbour().size())) == rest) {
      return std::u16string(keys.substr(keys.size() - drop));
    }
  }
  return KeysForCharacter(shown.back(), method);
}

}  // namespace

std::string Failure::Describe() const {
  std::string text = ConfigName(config) + ": " + IdentityName(identity) + ": " + Utf16ToUtf8(keys) + " -> ";
  text += Shown(committed);
  text += " then ";
  text += Shown(edited);
  return text;
}

bool IsExpectedException(const Failure& f) {
  bool retyping = f.identity == Identity::Retype || f.identity == Identity::InWordRetype;
  if (!retyping) return false;
  if (!f.config.bsEdit) return true;
  bool keysShownAsTyped = f.committed.ends_with(u" " + f.keys + u" ");
  return !f.config.smart && f.config.method == InputMethod::Telex && !keysShownAsTyped;
}

const char* IdentityName(Identity identity) {
  static constexpr const char* kNames[] = {"retype", "in-word retype", "backspace-space", "one character",
                                           "neighbours untouched"};
  return kNames[static_cast<size_t>(identity)];
}

std::string ConfigName(const Config& c) {
  std::string name = c.preedit ? "preedit " : "";
  name += c.method == InputMethod::Vni ? "vni" : "telex";
  name += c.smart ? " smart" : " plain";
  name += c.bsEdit ? " bs_edit" : " no-bs_edit";
  name += c.classic ? " classic" : " modern";
  return name;
}

std::u16string KeysForCharacter(char16_t c, InputMethod method) {
  DecomposedChar d = DecomposeChar(c);
  if (d.letter.base == 0) return std::u16string(1, c);  // typed as it is
  std::u16string keys = LetterKeys(d.letter, method);
  if (d.tone != kToneNone) keys.push_back(ToneKey(d.tone, method));
  return keys;
}

std::u16string KeysForWord(std::u16string_view word, InputMethod method) {
  std::u16string keys;
  Tone tone = kToneNone;
  for (char16_t c : word) {
    DecomposedChar d = DecomposeChar(c);
    if (d.letter.base == 0) {
      keys.push_back(c);
      continue;
    }
    keys += LetterKeys(d.letter, method);
    if (d.tone != kToneNone) tone = d.tone;
  }
  if (tone != kToneNone) keys.push_back(ToneKey(tone, method));
  return keys;
}

std::vector<std::u16string> EnglishWordsUpTo(const std::filesystem::path& enWords, int maxLevel) {
  std::vector<std::u16string> words;
  std::ifstream in(enWords);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string word;
    int level = 0;
    if (!(fields >> word >> level) || level < 1 || level > maxLevel) continue;
    bool letters = !word.empty();
    for (char ch : word) letters = letters && ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'));
    if (letters) words.push_back(Utf8ToUtf16(word));
  }
  return words;
}

std::vector<std::u16string> VietnameseSyllables(const std::filesystem::path& viSyllables) {
  std::vector<std::u16string> words;
  std::set<std::u16string> seen;
  std::ifstream in(viSyllables);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::u16string word = Utf8ToUtf16(line.substr(0, line.find_first_of("\t/")));
    for (char16_t& c : word) c = ToLowerVi(c);
    if (!word.empty() && seen.insert(word).second) words.push_back(word);
  }
  return words;
}

void RunIdentities(const Lexicon& lexicon, const AbbrevTable* abbrevs, const Config& config,
                   const std::vector<std::u16string>& keysList, Report& report, size_t stride) {
  Settings settings;
  settings.method = config.method == InputMethod::Vni ? 1 : 0;
  settings.smart = config.smart;
  settings.bs_edit = config.bsEdit;
  settings.old_tone = !config.classic;
  std::unique_ptr<Bench> typing;
  if (config.preedit) {
    typing = std::make_unique<PreeditBench>(lexicon, abbrevs, settings);
  } else {
    typing = std::make_unique<PipelineBench>(lexicon, abbrevs, settings);
  }
  Bench& bench = *typing;
  // Typed before every word: "và ".
  const std::u16string neighbour = config.method == InputMethod::Vni ? u"va2 " : u"vaf ";
  for (size_t i = 0; i < keysList.size(); i += std::max<size_t>(stride, 1)) {
    const std::u16string& keys = keysList[i];
    bool oneCharacter = true;
    bool neighbours = true;
    auto finish = [&] {
      oneCharacter = oneCharacter && bench.OneCharacterHeld();
      neighbours = neighbours && bench.NeighboursHeld();
    };

    // The word as first committed: the reference for every identity.
    bench.Start(neighbour, keys);
    std::u16string live = bench.Field();
    bench.Type(u" ");
    const std::u16string committed = bench.Field();
    auto failure = [&](Identity identity) {
      return Failure{identity, config, keys, committed, bench.Field()};
    };
    const std::u16string neighbourShown = bench.Neighbour();
    std::u16string_view word =
        std::u16string_view(committed).substr(std::min(committed.size(), neighbourShown.size()));
    if (!word.empty()) word.remove_suffix(1);  // the space
    finish();
    if (word.empty()) {  // nothing to edit: every identity fails for this word
      for (size_t k = 0; k < kIdentityCount; ++k) {
        Count(report, static_cast<Identity>(k), false, failure);
      }
      continue;
    }

    std::u16string retypeAfterCommit = KeysOfLastCharacter(bench, neighbour, keys, word, config.method);
    bench.Start(neighbour, keys);
    bench.Type(u" ");
    finish();

    // Backspace into the committed word, then its last character again.
    bench.Backspace();
    bench.Backspace();
    bench.Type(retypeAfterCommit + u" ");
    Count(report, Identity::Retype, bench.Field() == committed, failure);
    finish();

    // Inside the word: the last character shown, deleted and typed again.
    std::u16string_view liveWord =
        std::u16string_view(live).substr(std::min(live.size(), neighbourShown.size()));
    std::u16string retypeInWord = liveWord.empty()
                                      ? std::u16string()
                                      : KeysOfLastCharacter(bench, neighbour, keys, liveWord, config.method);
    bench.Start(neighbour, keys);
    bench.Backspace();
    bench.Type(retypeInWord);
    bench.Type(u" ");
    Count(report, Identity::InWordRetype, bench.Field() == committed, failure);
    finish();

    // Backspace over the space and the space again.
    bench.Start(neighbour, keys);
    bench.Type(u" ");
    bench.Backspace();
    bench.Type(u" ");
    Count(report, Identity::BackspaceSpace, bench.Field() == committed, failure);
    finish();

    Count(report, Identity::OneCharacter, oneCharacter, failure);
    Count(report, Identity::NeighboursUntouched, neighbours, failure);
  }
}

}  // namespace tonvira::intent
