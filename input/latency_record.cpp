#include "input/latency_record.h"

#include <atomic>
#include <cmath>

namespace tonvira {
namespace {

std::atomic<uint32_t> g_modalLoops{0};

}  // namespace

uint32_t ModalLoopsEntered() {
  return g_modalLoops.load(std::memory_order_relaxed);
}

ModalLoop::ModalLoop() {
  g_modalLoops.fetch_add(1, std::memory_order_relaxed);
}

uint32_t LatencyRecord::Percentile(double percent) const {
  if (count_ == 0) return 0;
  // The rank of the record that `percent` of them do not exceed, counted from 1.
  auto rank = static_cast<uint64_t>(std::ceil(percent / 100.0 * static_cast<double>(count_)));
  if (rank == 0) rank = 1;
  uint64_t seen = 0;
  for (size_t ms = 0; ms < kBuckets; ++ms) {
    seen += counts_[ms];
    if (seen >= rank) return static_cast<uint32_t>(ms);
  }
  return static_cast<uint32_t>(kBuckets - 1);
}

}  // namespace tonvira
