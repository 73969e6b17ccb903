// The Windows clipboard as the tray's conversion uses it: CF_UNICODETEXT, opened by the main
// window.
#pragma once

#include <windows.h>

#include "app/clipboard_convert.h"

namespace tonvira {

class WindowsClipboard final : public ClipboardAccess {
 public:
  explicit WindowsClipboard(HWND owner) : owner_(owner) {}
  ~WindowsClipboard() override { Close(); }
  bool Open() override;
  void Close() override;
  ClipboardText ReadText(size_t maxUnits) override;
  uint32_t SequenceNumber() override { return GetClipboardSequenceNumber(); }
  bool ReplaceText(std::u16string_view text, std::u16string_view original) override;

 private:
  HWND owner_;
  bool open_ = false;
};

}  // namespace tonvira
