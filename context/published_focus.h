// The classification of the focused field as the keyboard hook reads it: written by the
// focus-tracking thread, read at every key without a lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "text/context_class.h"

namespace tonvira {

// One classification as plain values: what the hook works with for one key.
struct FocusFields {
  ContextClass fieldClass = ContextClass::Auto;
  bool password = false;
  bool inlineCompletion = false;  // selects an automatic completion after the caret
  bool spreadsheet = false;
  uintptr_t window = 0;  // the foreground window these flags belong to
};

// Each field is one word written in one store: a key read during a publication may see some
// fields new and some old, and the next key sees them all new. The hook reads them at the key
// itself, so a key queued behind a focus change is typed with the field it lands in.
struct PublishedFocus {
  std::atomic<uint32_t> contextClass{0};
  std::atomic<uint8_t> is_password{0};
  std::atomic<uint8_t> is_address_bar{0};
  std::atomic<uint8_t> is_sheet_or_combo{0};
  std::atomic<uintptr_t> foreground{0};
  std::atomic<uint64_t> sequence{0};  // of the classification published last (0: none yet)

  FocusFields Load() const {
    FocusFields f;
    f.fieldClass = static_cast<ContextClass>(contextClass.load(std::memory_order_relaxed));
    f.password = is_password.load(std::memory_order_relaxed) != 0;
    f.inlineCompletion = is_address_bar.load(std::memory_order_relaxed) != 0;
    f.spreadsheet = is_sheet_or_combo.load(std::memory_order_relaxed) != 0;
    f.window = foreground.load(std::memory_order_relaxed);
    return f;
  }
  void Store(const FocusFields& f, uint64_t newSequence) {
    contextClass.store(static_cast<uint32_t>(f.fieldClass), std::memory_order_relaxed);
    is_password.store(f.password, std::memory_order_relaxed);
    is_address_bar.store(f.inlineCompletion, std::memory_order_relaxed);
    is_sheet_or_combo.store(f.spreadsheet, std::memory_order_relaxed);
    foreground.store(f.window, std::memory_order_relaxed);
    sequence.store(newSequence, std::memory_order_release);
  }
};

}  // namespace tonvira
