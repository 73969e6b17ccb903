// Loading the shipped word lists at start, the way the program and tonvira-sim load them: from
// the text (a first start, or changed text) and from the compact form kept beside it. For each
// path: the time of one load, and the resident memory one loaded Lexicon adds (measured in a
// child process of its own, so that neither path inherits the other's freed memory).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "decide/word_lists.h"
#include "text/utf8.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace {

namespace fs = std::filesystem;

double residentText = -1;
double residentCompact = -1;

double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

fs::path CompactFile() {
  static const fs::path file =
      fs::temp_directory_path() / ("tonvira-bench-lists-" + std::to_string(getpid()));
  return file;
}

tonvira::WordListFiles Files(bool compact) {
  auto path = [](const fs::path& p) { return tonvira::Utf8ToUtf16(p.string()); };
  fs::path data = TONVIRA_DATA_DIR;
  return {path(data / "en_words.txt"), path(data / "vi_syllables.txt"), path(data / "word_pairs.txt"),
          compact ? path(CompactFile()) : u""};
}

// What one load adds to the resident memory of a child of this process, forked before anything
// was loaded here.
double ResidentAdded(bool compact) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    double before = ResidentMegabytes();
    tonvira::Lexicon lexicon;
    tonvira::LoadWordLists(lexicon, Files(compact));
    double added = ResidentMegabytes() - before;
    ssize_t written = write(pipeEnds[1], &added, sizeof(added));
    _exit(written == sizeof(added) ? 0 : 1);
  }
  close(pipeEnds[1]);
  double added = -1;
  if (read(pipeEnds[0], &added, sizeof(added)) != sizeof(added)) added = -1;
  close(pipeEnds[0]);
  waitpid(child, nullptr, 0);
  return added;
}

void Load(benchmark::State& state, bool compact) {
  tonvira::WordListsLoaded loaded;
  for (auto _ : state) {
    tonvira::Lexicon lexicon;
    loaded = tonvira::LoadWordLists(lexicon, Files(compact));
    if (!loaded.english) state.SkipWithError("shipped word lists not found");
    if (compact && !loaded.fromCompact) state.SkipWithError("the compact form was not used");
    benchmark::DoNotOptimize(lexicon.english.size());
  }
  tonvira::Lexicon kept;
  tonvira::LoadWordLists(kept, Files(compact));
  state.counters["resident_mb_added"] = compact ? residentCompact : residentText;
  state.counters["english_words"] = static_cast<double>(kept.english.size());
  state.counters["syllables"] = static_cast<double>(kept.syllables.size());
  state.counters["word_pairs"] = static_cast<double>(kept.pairs.scores.size());
}

void BM_LoadFromText(benchmark::State& state) {
  Load(state, false);
}
BENCHMARK(BM_LoadFromText)->Unit(benchmark::kMillisecond);

void BM_LoadFromCompactForm(benchmark::State& state) {
  Load(state, true);
}
BENCHMARK(BM_LoadFromCompactForm)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  CompactFile();  // named here, by this process: the children share it
  residentText = ResidentAdded(false);
  ResidentAdded(true);  // the compact form made from the text, as at a first start
  residentCompact = ResidentAdded(true);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove(CompactFile());
  return 0;
}
