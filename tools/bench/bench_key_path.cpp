// The engine's key path on realistic mixed Vietnamese/English text: every key through
// AddChar, AfterChar and WordOutput, separators through WordEnd. Reports ns per key.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "decide/lexicon.h"
#include "engine/engine.h"
#include "sim/sim_field.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace {

constexpr std::u16string_view kText =
    u"Hoom nay tooi ddi hocj tieengs Anh vaf gawpj mootj nguwowif banj cux. Chungs tooi noi chuyeenj "
    u"veef file Excel vaf cais slide cho buoir meeting sangs mai. Anh xem lai cais email nayf nhes, "
    u"neeus cos vaans ddeef gif thif goij cho em. The project deadline is next Friday, so please "
    u"check the report. Giaso vieen ddax gurwi 50000dd tieeng hocj phis. Thanks, hejn gawpj lai sau!\n";

tonvira::Lexicon& SharedLexicon() {
  static tonvira::Lexicon lexicon = [] {
    tonvira::Lexicon l;
    if (!tonvira::LoadEnglishWords(l, TONVIRA_DATA_DIR "/en_words.txt")) {
      std::fprintf(stderr, "bench_key_path: no en_words.txt in %s\n", TONVIRA_DATA_DIR);
      std::exit(1);
    }
    tonvira::LoadSyllables(l, TONVIRA_DATA_DIR "/vi_syllables.txt", tonvira::kDefaultSyllableFrequency);
    return l;
  }();
  return lexicon;
}

void BM_KeyPath(benchmark::State& state) {
  tonvira::Engine engine;
  engine.englishWords = &SharedLexicon().english;
  engine.vietSyllables = SharedLexicon().syllables.frequency.empty() ? nullptr : &SharedLexicon().syllables;
  int64_t keys = 0;
  for (auto _ : state) {
    tonvira::NewContext(engine);
    engine.committedText.clear();
    tonvira::SimField field(engine);
    for (char16_t c : kText) field.Type(c);
    benchmark::DoNotOptimize(engine.committedText.data());
    keys += static_cast<int64_t>(kText.size());
  }
  state.SetItemsProcessed(keys);
  state.counters["ns_per_key"] = benchmark::Counter(
      static_cast<double>(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_KeyPath);

}  // namespace

BENCHMARK_MAIN();
