// Identities of editing that hold whatever the engine decides, checked against what the user
// meant rather than against the pipeline's own idea of the screen: deleting a character and
// typing its keys again gives the same text; Backspace removes one character and nothing else;
// editing the last word never touches the text before it. Every word is typed key by key
// through the real keyboard pipeline into a field of the simulated desktop, or through the Linux
// front end's preedit session into a field that shows a preedit.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "text/letters.h"

namespace tonvira {

struct Lexicon;
struct AbbrevTable;

namespace intent {

enum class Identity : size_t {
  Retype,               // word, space, Backspace x2, the last character's keys, space: the same text
  InWordRetype,         // inside the word, Backspace and the deleted character's keys: the same text
  BackspaceSpace,       // word, space, Backspace, space: the same text
  OneCharacter,         // every Backspace removes exactly the character before the caret
  NeighboursUntouched,  // the text before the word never changes
};
inline constexpr size_t kIdentityCount = 5;
const char* IdentityName(Identity identity);

struct Config {
  InputMethod method = InputMethod::Telex;
  bool smart = true;
  bool bsEdit = true;
  bool classic = true;
  bool preedit = false;  // through the Linux front end's preedit session instead of the Windows pipeline
};
std::string ConfigName(const Config& config);

struct Failure {
  Identity identity = Identity::Retype;
  Config config;
  std::u16string keys;
  std::u16string committed;  // the field after the word was first committed
  std::u16string edited;     // the field after the edit
  std::string Describe() const;
};

// Failures that follow from a setting's design rather than from a fault. With backspace
// editing off, the key typed after a backspace begins a word of its own. With smart mode off,
// Telex composes every key: where a key was taken back inside the word ("order" shows "oder"),
// the letter typed again after a backspace is a tone key on the letters left ("ode" then r
// gives "ỏde"), as in any Telex word.
bool IsExpectedException(const Failure& failure);

struct Tally {
  uint64_t held = 0;
  uint64_t total = 0;
  std::vector<Failure> failures;
};
using Report = std::array<Tally, kIdentityCount>;

// The keys that type one character (a letter of the vowel table, đ, or anything typed as it
// is): the base letter, its mark key, then its tone key.
std::u16string KeysForCharacter(char16_t c, InputMethod method);
// The keys of a written word: each letter with its mark key, and the tone key at the end.
std::u16string KeysForWord(std::u16string_view word, InputMethod method);

// English words of the list up to the level, letters only, in the list's order.
std::vector<std::u16string> EnglishWordsUpTo(const std::filesystem::path& enWords, int maxLevel);
// Every syllable of the list, lower case, once.
std::vector<std::u16string> VietnameseSyllables(const std::filesystem::path& viSyllables);

// Types every word (as keys) through the pipeline under the configuration and adds the result
// of each identity to the report. `stride` > 1 takes every stride-th word only.
void RunIdentities(const Lexicon& lexicon, const AbbrevTable* abbrevs, const Config& config,
                   const std::vector<std::u16string>& keys, Report& report, size_t stride = 1);

}  // namespace intent
}  // namespace tonvira
