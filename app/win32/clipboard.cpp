#include "app/win32/clipboard.h"

#include <cstring>

namespace tonvira {

bool WindowsClipboard::Open() {
  open_ = OpenClipboard(owner_) != FALSE;
  return open_;
}

void WindowsClipboard::Close() {
  if (open_) CloseClipboard();
  open_ = false;
}

std::u16string WindowsClipboard::ReadText() {
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return {};
  // The block belongs to the clipboard: read within its size, never freed here.
  const void* units = GlobalLock(data);
  if (!units) return {};
  std::u16string text = TextUpToNul(static_cast<const char16_t*>(units), GlobalSize(data));
  GlobalUnlock(data);
  return text;
}

bool WindowsClipboard::WriteText(std::u16string_view text) {
  size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return false;
  void* units = GlobalLock(block);
  if (!units) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(units, text.data(), text.size() * sizeof(char16_t));
  static_cast<char16_t*>(units)[text.size()] = u'\0';
  GlobalUnlock(block);
  EmptyClipboard();
  // Once set, the block is the clipboard's; only a refused block is ours to free.
  if (!SetClipboardData(CF_UNICODETEXT, block)) {
    GlobalFree(block);
    return false;
  }
  return true;
}

}  // namespace tonvira
