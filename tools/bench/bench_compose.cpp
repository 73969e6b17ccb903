// The engine recomposes the whole word after every key; this measures that cost per key
// over realistic Telex words of 2 to 8 keys.
#include <benchmark/benchmark.h>

#include <string_view>

#include "compose/compose.h"

namespace {

constexpr std::u16string_view kWords[] = {
    u"tieengs",  u"Vieetj", u"laf",   u"ngoon",    u"nguwx",     u"cuar",  u"nguwowif", u"chungs",
    u"tooi",     u"ddi",    u"hocj",  u"thuowngf", u"truwowngf", u"nhaf",  u"khoong",   u"ddeens",
    u"dduwowcj", u"vaf",    u"cos",   u"mootj",    u"nhuwngx",   u"giuwx", u"quoocs",   u"chuyeenr",
    u"hoaf",     u"thuyr",  u"khuya", u"xoay",     u"baor",      u"muaw",  u"ddaays",   u"nawm",
    u"the",      u"file",   u"email", u"office",   u"meeting",   u"ok",    u"test",     u"slide",
};

void ComposePerKey(benchmark::State& state, uint32_t flags) {
  int64_t keys = 0;
  for (auto _ : state) {
    for (std::u16string_view word : kWords) {
      // As the engine does it: after each key, the whole word so far.
      for (size_t n = 1; n <= word.size(); ++n) {
        auto result = tonvira::Compose(word.substr(0, n), tonvira::InputMethod::Telex, true, true, flags);
        benchmark::DoNotOptimize(result);
      }
      keys += static_cast<int64_t>(word.size());
    }
  }
  state.SetItemsProcessed(keys);
  state.counters["ns_per_key"] = benchmark::Counter(
      static_cast<double>(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ComposeOrdinaryFlags(benchmark::State& state) {
  ComposePerKey(state, tonvira::kOrdinaryFlags);
}
void BM_ComposeAllFlags(benchmark::State& state) {
  ComposePerKey(state, tonvira::kOrdinaryFlags | tonvira::kNotEnglishFlags);
}
void BM_ComposeStrict(benchmark::State& state) {
  ComposePerKey(state, 0);
}

BENCHMARK(BM_ComposeOrdinaryFlags);
BENCHMARK(BM_ComposeAllFlags);
BENCHMARK(BM_ComposeStrict);

}  // namespace

BENCHMARK_MAIN();
