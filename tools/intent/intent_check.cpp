// Checks the editing identities over the shipped word lists (English words up to a level, every
// Vietnamese syllable with its Telex and VNI keys) in every combination of smart mode,
// backspace editing and tone placement, through the Windows pipeline and through the Linux
// front end's preedit session, and prints how many words each identity holds for.
// Exit status 1 when an identity fails for a word in a way no setting's design explains.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "config/abbrev_table.h"
#include "decide/lexicon.h"
#include "text/utf8.h"
#include "tools/intent/intent_identities.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

using namespace tonvira;

int main(int argc, char** argv) {
  std::filesystem::path data = TONVIRA_DATA_DIR;
  int englishLevel = 14;
  size_t stride = 1;
  std::string only;  // configurations whose name contains this
  const char* failuresFile = nullptr;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--data")) {
      data = argv[i + 1];
    } else if (!std::strcmp(argv[i], "--english-level")) {
      englishLevel = std::atoi(argv[i + 1]);
    } else if (!std::strcmp(argv[i], "--failures")) {
      failuresFile = argv[i + 1];
    } else if (!std::strcmp(argv[i], "--only")) {
      only = argv[i + 1];
    } else if (!std::strcmp(argv[i], "--stride")) {
      stride = static_cast<size_t>(std::max(1, std::atoi(argv[i + 1])));
    } else {
      std::fprintf(stderr,
                   "usage: intent-check [--data DIR] [--english-level N] [--stride N] [--only CONFIG] "
                   "[--failures FILE]\n");
      return 2;
    }
  }
  Lexicon lexicon;
  if (!LoadEnglishWords(lexicon, data / "en_words.txt") ||
      !LoadSyllables(lexicon, data / "vi_syllables.txt", kDefaultSyllableFrequency)) {
    std::fprintf(stderr, "intent-check: cannot read the word lists in %s\n", data.c_str());
    return 2;
  }
  LoadWordPairs(lexicon.pairs, data / "word_pairs.txt");  // optional, as in the program
  AbbrevTable abbrevs;
  ReadAbbrevFile(abbrevs, Utf8ToUtf16((data / "abbrev.txt").string()));

  std::vector<std::u16string> english = intent::EnglishWordsUpTo(data / "en_words.txt", englishLevel);
  std::vector<std::u16string> syllables = intent::VietnameseSyllables(data / "vi_syllables.txt");
  std::printf("words: %zu English (levels 1-%d), %zu Vietnamese syllables; every %zu\n", english.size(),
              englishLevel, syllables.size(), stride);
  std::printf("  %-32s", "configuration: words held");
  for (size_t k = 0; k < intent::kIdentityCount; ++k) {
    std::printf(" | %s", intent::IdentityName(static_cast<intent::Identity>(k)));
  }
  std::printf("\n");

  intent::Report total;
  for (InputMethod method : {InputMethod::Telex, InputMethod::Vni}) {
    std::vector<std::u16string> keys = english;
    for (const std::u16string& s : syllables) keys.push_back(intent::KeysForWord(s, method));
    for (int bits = 0; bits < 16; ++bits) {
      intent::Config config{method, (bits & 1) == 0, (bits & 2) == 0, (bits & 4) == 0, (bits & 8) != 0};
      if (intent::ConfigName(config).find(only) == std::string::npos) continue;
      intent::Report report;
      intent::RunIdentities(lexicon, &abbrevs, config, keys, report, stride);
      std::printf("  %-32s", intent::ConfigName(config).c_str());
      for (size_t k = 0; k < intent::kIdentityCount; ++k) {
        intent::Tally& t = total[k];
        const intent::Tally& r = report[k];
        std::printf(" %6llu/%llu", static_cast<unsigned long long>(r.held),
                    static_cast<unsigned long long>(r.total));
        t.held += r.held;
        t.total += r.total;
        t.failures.insert(t.failures.end(), r.failures.begin(), r.failures.end());
      }
      std::printf("\n");
    }
  }
  if (failuresFile) {
    std::FILE* out = std::fopen(failuresFile, "w");
    if (!out) {
      std::fprintf(stderr, "intent-check: cannot write %s\n", failuresFile);
      return 2;
    }
    for (size_t k = 0; k < intent::kIdentityCount; ++k) {
      for (const intent::Failure& f : total[k].failures) {
        std::fprintf(out, "%s%s\n", f.Describe().c_str(),
                     intent::IsExpectedException(f) ? "  (by design)" : "");
      }
    }
    std::fclose(out);
  }
  // Every failure must be one the settings' design explains; the rest are faults. A list that
  // gave no words checks nothing, and is a fault too.
  uint64_t faults = english.size() < 3000 || syllables.size() < 6000 ? 1 : 0;
  for (size_t k = 0; k < intent::kIdentityCount; ++k) {
    const intent::Tally& t = total[k];
    size_t byDesign =
        static_cast<size_t>(std::count_if(t.failures.begin(), t.failures.end(), intent::IsExpectedException));
    std::printf("%-22s %8llu of %8llu hold (%.3f %%), %zu exceptions by design, %zu faults\n",
                intent::IdentityName(static_cast<intent::Identity>(k)),
                static_cast<unsigned long long>(t.held), static_cast<unsigned long long>(t.total),
                t.total ? 100.0 * static_cast<double>(t.held) / static_cast<double>(t.total) : 100.0,
                byDesign, t.failures.size() - byDesign);
    size_t shown = 0;
    for (const intent::Failure& f : t.failures) {
      if (!intent::IsExpectedException(f) && shown++ < 12) std::printf("    %s\n", f.Describe().c_str());
    }
    faults += t.failures.size() - byDesign;
  }
  return faults == 0 ? 0 : 1;
}
