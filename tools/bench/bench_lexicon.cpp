// Loading the shipped word lists at start-up (the pair table included when it is there): time
// per load, and the resident memory that one loaded Lexicon adds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "decide/lexicon.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace {

double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

bool Load(tonvira::Lexicon& lexicon) {
  bool lists = tonvira::LoadEnglishWords(lexicon, TONVIRA_DATA_DIR "/en_words.txt") &&
               tonvira::LoadSyllables(lexicon, TONVIRA_DATA_DIR "/vi_syllables.txt",
                                      tonvira::kDefaultSyllableFrequency);
  tonvira::LoadWordPairs(lexicon.pairs, TONVIRA_DATA_DIR "/word_pairs.txt");
  return lists;
}

void BM_LoadShippedLists(benchmark::State& state) {
  // Measured first, before the timed loads leave freed memory to reuse.
  static const double before = ResidentMegabytes();
  static const auto kept = [] {
    auto lexicon = std::make_unique<tonvira::Lexicon>();
    Load(*lexicon);
    return lexicon;
  }();
  static const double added = ResidentMegabytes() - before;
  for (auto _ : state) {
    tonvira::Lexicon lexicon;
    if (!Load(lexicon)) state.SkipWithError("shipped word lists not found");
    benchmark::DoNotOptimize(lexicon.english.size());
  }
  state.counters["resident_mb_added"] = added;
  state.counters["english_words"] = static_cast<double>(kept->english.size());
  state.counters["syllables"] = static_cast<double>(kept->syllables.frequency.size());
  state.counters["word_pairs"] = static_cast<double>(kept->pairs.scores.size());
}
BENCHMARK(BM_LoadShippedLists)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
