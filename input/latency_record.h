// How long something waited or took, in whole milliseconds, kept as counters: recording costs
// a few instructions and never allocates, so the hook can record every key. The maximum and
// the percentiles are read off the key path (the log, a test helper).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tonvira {

class LatencyRecord {
 public:
  // Everything from a second on shares the last bucket; the maximum is kept exactly.
  static constexpr size_t kBuckets = 1001;

  void Add(uint32_t ms) {
    ++counts_[ms < kBuckets ? ms : kBuckets - 1];
    ++count_;
    if (ms > max_) max_ = ms;
  }
  uint64_t Count() const { return count_; }
  uint32_t Max() const { return max_; }
  // The smallest time at or under which `percent` of the records lie (0 when there are none);
  // 1000 stands for "a second or more".
  uint32_t Percentile(double percent) const;
  void Clear() { *this = LatencyRecord(); }

 private:
  std::array<uint32_t, kBuckets> counts_{};
  uint64_t count_ = 0;
  uint32_t max_ = 0;
};

// Modal loops (a menu, a message box, a file dialog) pump messages themselves: the message that
// opened one lasts as long as the user keeps it open, which is no slowness of ours. Each opens a
// ModalLoop first; the message loop compares the count before and after.
uint32_t ModalLoopsEntered();
struct ModalLoop {
  ModalLoop();
};

}  // namespace tonvira
