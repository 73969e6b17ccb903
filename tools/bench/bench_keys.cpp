// One key stream through three levels in one process: composition alone (the word so far
// composed at every key), the engine (composition and word decisions, as the pipeline calls
// it) and the whole pipeline (hook procedure in, event batch out through the simulated
// desktop's SendInput). Then one word of many repeated keys, whose cost per key must not grow
// with its length. Each level runs two warm-up passes and five measured passes; a line per level:
//   level=pipeline ns_per_key=812.4 allocs_per_key=0.00 spread_ns=12.1 keys=140000 allocs=0
// (median of the five passes, spread = slowest - fastest, allocations in all five), then the
// ratios between levels.
//
//   bench_keys [--data DIR] [--repeat N] [--long-word N] [--trace-allocs N] [--only LEVEL]
//              [STREAM_FILE]
//
// --only runs one level (composition, engine, pipeline or long_word_pipeline), for a profiler.
// STREAM_FILE is plain UTF-8 text, one line per Enter; without it a built-in text is typed.
// Characters no key of the US layout types are left out of the stream.
#include <execinfo.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "compose/compose.h"
#include "decide/lexicon.h"
#include "decide/word_lists.h"
#include "engine/engine.h"
#include "engine/key_path.h"
#include "engine/word_end.h"
#include "engine/word_output.h"
#include "input/pipeline.h"
#include "sim/sim_desktop.h"
#include "text/utf8.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

// Every allocation of this process is counted; the levels read the count around their passes.
// With --trace-allocs N, the call stacks of the first N allocations in measured passes are
// printed to standard error (where a key still allocates).
namespace {
uint64_t allocations = 0;
bool tracing = false;
uint64_t tracesLeft = 0;

void TraceAllocation() {
  tracing = false;  // backtrace itself may allocate
  void* frames[24];
  int count = backtrace(frames, 24);
  std::fprintf(stderr, "allocation:\n");
  backtrace_symbols_fd(frames, count, 2);
  tracing = --tracesLeft > 0;
}
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (tracing) TraceAllocation();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPasses = 5;

constexpr std::u16string_view kBuiltinText =
    u"Hoom nay tooi ddi hocj tieengs Anh vaf gawpj mootj nguwowif banj cux. Chungs tooi noi chuyeenj "
    u"veef file Excel vaf cais slide cho buoir meeting sangs mai. Anh xem lai cais email nayf nhes, "
    u"neeus cos vaans ddeef gif thif goij cho em. The project deadline is next Friday, so please "
    u"check the report. Giaso vieen ddax gurwi 50000dd tieeng hocj phis. Thanks, hejn gawpj lai sau!\n"
    u"Nguwowif ta thuwowngf noi rawngf hocj tieengs Vieetj khoong khos. Please review the pull request "
    u"before the release; the build on Windows failed twice yesterday. Banj cos theer gui file "
    u"config.json vaof thuw mucj data/ khoong? Tooi ddang kieemr tra laij toanf booj cacs test case.\n";

struct Figures {
  double nsPerKey = 0;  // median of the passes
  double spreadNs = 0;  // slowest pass - fastest pass
  double allocsPerKey = 0;
  uint64_t allocs = 0;  // in the measured passes
  size_t keys = 0;
  // The pipeline's output in its last pass: synthetic events sent and physical keys swallowed
  // (each replaced by output), per key typed.
  double syntheticEventsPerKey = -1;
  double swallowedPerKey = -1;
};

// Runs two warm-up passes and five measured ones of `pass`, which types `keys` keys.
template <typename Pass>
Figures Measure(size_t keys, Pass pass) {
  // Two warm-up passes: the engine keeps two compositions of a word, used in turn, and the
  // second may first be needed in the second pass (a word past the length limit shows it).
  pass();
  pass();
  std::vector<double> ns;
  uint64_t allocs = 0;
  for (int i = 0; i < kPasses; ++i) {
    uint64_t before = allocations;
    tracing = tracesLeft > 0;
    Clock::time_point start = Clock::now();
    pass();
    Clock::time_point end = Clock::now();
    tracing = false;
    allocs += allocations - before;
    ns.push_back(std::chrono::duration<double, std::nano>(end - start).count() / static_cast<double>(keys));
  }
  std::sort(ns.begin(), ns.end());
  Figures f;
  f.nsPerKey = ns[ns.size() / 2];
  f.spreadNs = ns.back() - ns.front();
  f.allocsPerKey = static_cast<double>(allocs) / (static_cast<double>(keys) * kPasses);
  f.allocs = allocs;
  f.keys = keys;
  return f;
}

void Print(const char* level, const Figures& f) {
  std::printf("level=%s ns_per_key=%.1f allocs_per_key=%.2f spread_ns=%.1f keys=%zu allocs=%llu\n", level,
              f.nsPerKey, f.allocsPerKey, f.spreadNs, f.keys, static_cast<unsigned long long>(f.allocs));
  if (f.syntheticEventsPerKey >= 0) {
    std::printf("output level=%s synthetic_events_per_key=%.3f swallowed_per_key=%.3f\n", level,
                f.syntheticEventsPerKey, f.swallowedPerKey);
  }
}

void PrintRatio(const char* name, const Figures& a, const Figures& b) {
  std::printf("ratio %s=%.2f\n", name, b.nsPerKey > 0 ? a.nsPerKey / b.nsPerKey : 0.0);
}

volatile size_t sink = 0;  // keeps the composed text alive for the optimiser

// Composition alone: every key composes the word so far, as the engine's verdicts do.
[[gnu::noinline]] Figures CompositionLevel(std::u16string_view text) {
  std::u16string word;
  word.reserve(tonvira::kMaxComposeUnits);
  tonvira::ComposeResult r;
  return Measure(text.size(), [&] {
    for (char16_t c : text) {
      if (c == u'\n' || tonvira::IsWordSeparator(c)) {
        word.clear();
        continue;
      }
      word.push_back(c);
      tonvira::ComposeInto(r, word, tonvira::InputMethod::Telex, true, true, tonvira::kOrdinaryFlags);
      sink = sink + r.text.size();
    }
    word.clear();
  });
}

void AttachLexicon(tonvira::Engine& engine, const tonvira::Lexicon& lexicon) {
  tonvira::UseWordLists(engine.options, lexicon);
}

// The engine as the pipeline calls it: a letter is added and the word's output read; a
// separator ends the word; Enter commits it and a new line begins.
[[gnu::noinline]] Figures EngineLevel(std::u16string_view text, const tonvira::Lexicon& lexicon) {
  tonvira::Engine engine;
  AttachLexicon(engine, lexicon);
  std::u16string output;
  return Measure(text.size(), [&] {
    for (char16_t c : text) {
      if (c == u'\n') {
        tonvira::WordEnd(engine, 0);
        tonvira::HalveLean(engine);
        tonvira::AbandonWord(engine);
      } else if (tonvira::IsWordSeparator(c)) {
        tonvira::WordEnd(engine, c);
      } else {
        tonvira::AddChar(engine, c);
        tonvira::AfterChar(engine, c);
        tonvira::WordOutputInto(engine, output);
        sink = sink + output.size();
        continue;
      }
      tonvira::TrimCommittedText(engine);
    }
  });
}

struct Keystroke {
  tonvira::KeyEvent event;
  bool shift = false;
};

std::vector<Keystroke> Keystrokes(std::u16string_view text) {
  std::vector<Keystroke> keys;
  for (char16_t c : text) {
    Keystroke k;
    k.event.down = true;
    if (c == u'\n') {
      k.event.vk = tonvira::vk::kReturn;
    } else {
      tonvira::sim::UsKey key = tonvira::sim::UsKeyFor(c);
      k.event.vk = key.vk;
      k.shift = key.shift;
    }
    k.event.scan = k.event.vk;
    keys.push_back(k);
  }
  return keys;
}

// The whole pipeline: every key-down through the hook procedure into one window's field;
// what it sends is queued by the simulated desktop and dropped after each pass.
[[gnu::noinline]] Figures PipelineLevel(std::u16string_view text, const tonvira::Lexicon& lexicon) {
  tonvira::sim::Desktop& desktop = tonvira::sim::TheDesktop();
  desktop.Reset();
  tonvira::Engine engine;
  AttachLexicon(engine, lexicon);
  tonvira::Pipeline pipeline(engine);
  tonvira::PublishedFocus published;
  desktop.PublishFocusTo(&published);
  pipeline.focusSource = &published;
  desktop.Focus(desktop.AddWindow({}));
  std::vector<Keystroke> keys = Keystrokes(text);
  uint32_t time = 0;
  size_t events = 0;
  size_t swallowed = 0;
  Figures f = Measure(keys.size(), [&] {
    swallowed = 0;
    for (Keystroke& k : keys) {
      desktop.keyState[tonvira::vk::kShift] = desktop.keyState[tonvira::vk::kLShift] = k.shift ? 0x80 : 0;
      k.event.time = desktop.tick = time += 40;  // the hook is entered at once
      tonvira::HookAction action = tonvira::KeyboardHookProc(pipeline, k.event);
      swallowed += action == tonvira::HookAction::Swallow;
      sink = sink + static_cast<size_t>(action);
    }
    events = 0;
    for (const std::vector<tonvira::OutputEvent>& batch : desktop.Batches()) events += batch.size();
    desktop.DiscardOutput();
  });
  f.syntheticEventsPerKey = static_cast<double>(events) / static_cast<double>(keys.size());
  f.swallowedPerKey = static_cast<double>(swallowed) / static_cast<double>(keys.size());
  return f;
}

// Only what a key of the US layout types (and Enter) is kept.
std::u16string Typeable(std::u16string_view text) {
  std::u16string kept;
  for (char16_t c : text) {
    if (c == u'\n' || tonvira::sim::UsKeyFor(c).vk != 0) kept.push_back(c);
  }
  return kept;
}

bool ReadFile(const char* path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dataDir = TONVIRA_DATA_DIR;
  const char* streamPath = nullptr;
  size_t repeat = 0;  // 0: the built-in text to about 140,000 keys, a file once
  size_t longWord = 10000;
  std::string_view only;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--data" && i + 1 < argc) {
      dataDir = argv[++i];
    } else if (arg == "--repeat" && i + 1 < argc) {
      repeat = std::strtoul(argv[++i], nullptr, 10);
    } else if (arg == "--trace-allocs" && i + 1 < argc) {
      tracesLeft = std::strtoul(argv[++i], nullptr, 10);
    } else if (arg == "--long-word" && i + 1 < argc) {
      longWord = std::strtoul(argv[++i], nullptr, 10);
    } else if (arg == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && !streamPath) {
      streamPath = argv[i];
    } else {
      std::fprintf(
          stderr,
          "usage: bench_keys [--data DIR] [--repeat N] [--long-word N] [--trace-allocs N] [--only LEVEL] "
          "[STREAM_FILE]\n");
      return 2;
    }
  }

  if (!only.empty() && only != "composition" && only != "engine" && only != "pipeline" &&
      only != "long_word_pipeline") {
    std::fprintf(stderr, "bench_keys: no level %.*s\n", static_cast<int>(only.size()), only.data());
    return 2;
  }

  std::u16string once;
  if (streamPath) {
    std::string bytes;
    if (!ReadFile(streamPath, bytes)) {
      std::fprintf(stderr, "bench_keys: cannot read %s\n", streamPath);
      return 1;
    }
    once = Typeable(tonvira::Utf8ToUtf16(bytes));
    if (!once.empty() && once.back() != u'\n') once.push_back(u'\n');
  } else {
    once = std::u16string(kBuiltinText);
  }
  if (once.empty()) {
    std::fprintf(stderr, "bench_keys: no typeable key in the stream\n");
    return 1;
  }
  if (repeat == 0) repeat = streamPath ? 1 : std::max<size_t>(1, 140000 / once.size());
  std::u16string text;
  for (size_t i = 0; i < repeat; ++i) text += once;

  tonvira::Lexicon lexicon;
  Clock::time_point loadStart = Clock::now();
  auto path = [&](const char* name) { return tonvira::Utf8ToUtf16(dataDir + "/" + name); };
  tonvira::WordListsLoaded loaded = tonvira::LoadWordLists(
      lexicon, {path("en_words.txt"), path("vi_syllables.txt"), path("word_pairs.txt"), {}});
  if (!loaded.english || !loaded.syllables) {
    std::fprintf(stderr, "bench_keys: no word lists in %s\n", dataDir.c_str());
    return 1;
  }
  auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::printf("stream keys=%zu passes=%d load_ms=%.1f\n", text.size(), kPasses, ms(Clock::now() - loadStart));

  auto wanted = [&](std::string_view level) { return only.empty() || only == level; };
  Figures composition, engine, pipeline;
  if (wanted("composition")) Print("composition", composition = CompositionLevel(text));
  if (wanted("engine")) Print("engine", engine = EngineLevel(text, lexicon));
  if (wanted("pipeline")) Print("pipeline", pipeline = PipelineLevel(text, lexicon));
  if (only.empty()) {
    PrintRatio("engine/composition", engine, composition);
    PrintRatio("pipeline/engine", pipeline, engine);
    PrintRatio("pipeline/composition", pipeline, composition);
  }

  // A key held down: one word of `longWord` presses and no separator, ended by a space.
  if (wanted("long_word_pipeline")) {
    std::u16string held(longWord, u'a');
    held += u" \n";
    Figures longFigures = PipelineLevel(held, lexicon);
    Print("long_word_pipeline", longFigures);
    if (only.empty()) PrintRatio("long_word/pipeline", longFigures, pipeline);
  }
  return 0;
}
