// The whole keyboard pipeline per key: the hook procedure with a key-down in, the decision
// and the event batch out through the OS seam (the simulated desktop's SendInput only queues
// it). The engine alone on the same text is measured beside it. Reports ns per key.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "decide/lexicon.h"
#include "engine/engine.h"
#include "input/pipeline.h"
#include "sim/sim_desktop.h"
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
      std::fprintf(stderr, "bench_pipeline: no en_words.txt in %s\n", TONVIRA_DATA_DIR);
      std::exit(1);
    }
    tonvira::LoadSyllables(l, TONVIRA_DATA_DIR "/vi_syllables.txt", tonvira::kDefaultSyllableFrequency);
    tonvira::LoadWordPairs(l.pairs, TONVIRA_DATA_DIR "/word_pairs.txt");
    return l;
  }();
  return lexicon;
}

void AttachLexicon(tonvira::Engine& engine) {
  engine.options.englishWords = &SharedLexicon().english;
  engine.options.vietSyllables =
      SharedLexicon().syllables.frequency.empty() ? nullptr : &SharedLexicon().syllables;
  engine.options.wordPairs = SharedLexicon().pairs.scores.empty() ? nullptr : &SharedLexicon().pairs;
}

// The key-downs of the text on the US layout, with whether Shift is held.
struct Keystroke {
  tonvira::KeyEvent event;
  bool shift = false;
};

std::vector<Keystroke> Keystrokes() {
  std::vector<Keystroke> keys;
  for (char16_t c : kText) {
    Keystroke k;
    k.event.down = true;
    if (c >= u'a' && c <= u'z') {
      k.event.vk = c - u'a' + 65;
    } else if (c >= u'A' && c <= u'Z') {
      k.event.vk = c - u'A' + 65;
      k.shift = true;
    } else if (c >= u'0' && c <= u'9') {
      k.event.vk = c;
    } else if (c == u' ') {
      k.event.vk = 32;
    } else if (c == u'.') {
      k.event.vk = 190;
    } else if (c == u',') {
      k.event.vk = 188;
    } else if (c == u'!') {
      k.event.vk = 49;
      k.shift = true;
    } else if (c == u'\n') {
      k.event.vk = 13;
    } else {
      continue;
    }
    k.event.scan = k.event.vk;
    keys.push_back(k);
  }
  return keys;
}

void BM_PipelinePerKey(benchmark::State& state) {
  tonvira::sim::Desktop& desktop = tonvira::sim::TheDesktop();
  desktop.Reset();
  tonvira::Engine engine;
  AttachLexicon(engine);
  tonvira::Pipeline pipeline(engine);
  tonvira::PublishedFocus published;
  desktop.PublishFocusTo(&published);
  pipeline.focusSource = &published;
  desktop.Focus(desktop.AddWindow({}));
  std::vector<Keystroke> keys = Keystrokes();
  int64_t count = 0;
  for (auto _ : state) {
    for (Keystroke& k : keys) {
      desktop.keyState[tonvira::vk::kShift] = desktop.keyState[tonvira::vk::kLShift] = k.shift ? 0x80 : 0;
      k.event.time += 40;
      benchmark::DoNotOptimize(tonvira::KeyboardHookProc(pipeline, k.event));
    }
    desktop.DiscardOutput();
    count += static_cast<int64_t>(keys.size());
  }
  state.SetItemsProcessed(count);
  state.counters["ns_per_key"] = benchmark::Counter(
      static_cast<double>(count), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PipelinePerKey);

// The engine alone (composition and word decisions), typed the same way.
void BM_CompositionPerKey(benchmark::State& state) {
  tonvira::Engine engine;
  AttachLexicon(engine);
  int64_t count = 0;
  for (auto _ : state) {
    tonvira::NewContext(engine);
    engine.committed.committedText.clear();
    tonvira::SimField field(engine);
    for (char16_t c : kText) field.Type(c);
    benchmark::DoNotOptimize(engine.committed.committedText.data());
    count += static_cast<int64_t>(kText.size());
  }
  state.SetItemsProcessed(count);
  state.counters["ns_per_key"] = benchmark::Counter(
      static_cast<double>(count), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CompositionPerKey);

}  // namespace

BENCHMARK_MAIN();
