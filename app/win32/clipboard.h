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
  std::u16string ReadText() override;
  uint32_t SequenceNumber() override { return GetClipboardSequenceNumber(); }
  bool WriteText(std::u16string_view text) override;

 private:
  HWND owner_;
  bool open_ = false;
};

}  // namespace tonvira
