// The clipboard and the process list in memory, for the shell's tests.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/clipboard_convert.h"
#include "app/other_input_methods.h"

namespace tonvira {

// A clipboard in memory that another program may write to at a chosen moment.
// Behaves as the Windows clipboard: a write that fails before emptying leaves the old text,
// one that fails after emptying leaves nothing until something is set again.
class FakeClipboard : public ClipboardAccess {
 public:
  std::u16string text;
  uint32_t sequence = 1;
  int opensAllowed = 100;                 // opens that succeed before they start failing
  bool allocationFails = false;           // the text's memory cannot be had: nothing is emptied
  int setFailures = 0;                    // SetClipboardData calls that fail after the emptying
  std::u16string copiedByAnotherProgram;  // set on the clipboard right after the first close
  bool open = false;
  int closes = 0;

  bool Open() override {
    if (opensAllowed-- <= 0) return false;
    open = true;
    return true;
  }
  void Close() override {
    EXPECT_TRUE(open);
    open = false;
    if (++closes == 1 && !copiedByAnotherProgram.empty()) {
      text = copiedByAnotherProgram;
      ++sequence;
    }
  }
  ClipboardText ReadText(size_t maxUnits) override {
    if (text.size() > maxUnits) return ClipboardText{{}, true};
    return ClipboardText{text, false};
  }
  uint32_t SequenceNumber() override { return sequence; }
  bool ReplaceText(std::u16string_view t, std::u16string_view original) override {
    EXPECT_TRUE(open);
    if (allocationFails) return false;
    text.clear();  // emptied
    ++sequence;
    if (Set(t)) return true;
    Set(original);
    return false;
  }

 private:
  bool Set(std::u16string_view t) {
    if (setFailures > 0) {
      --setFailures;
      return false;
    }
    text = t;
    return true;
  }
};

// Process 1 is ours, in session 1.
class FakeProcesses : public ProcessList {
 public:
  std::optional<std::vector<RunningProcess>> processes = std::vector<RunningProcess>{};
  std::map<uint32_t, uint32_t> sessions{{1, 1}};

  std::optional<std::vector<RunningProcess>> Snapshot() override { return processes; }
  std::optional<uint32_t> SessionOf(uint32_t id) override {
    auto it = sessions.find(id);
    if (it == sessions.end()) return std::nullopt;
    return it->second;
  }
  uint32_t OwnProcessId() override { return 1; }
};

}  // namespace tonvira
