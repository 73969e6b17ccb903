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

ClipboardText WindowsClipboard::ReadText(size_t maxUnits) {
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return {};
  // The block belongs to the clipboard: read within its size, never freed here.
  const void* units = GlobalLock(data);
  if (!units) return {};
  ClipboardText text = TextUpToNul(static_cast<const char16_t*>(units), GlobalSize(data), maxUnits);
  GlobalUnlock(data);
  return text;
}

namespace {

// A movable block holding the text and its NUL, ready for SetClipboardData; null when short of
// memory.
HGLOBAL TextBlock(std::u16string_view text) {
  size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return nullptr;
  void* units = GlobalLock(block);
  if (!units) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(units, text.data(), text.size() * sizeof(char16_t));
  static_cast<char16_t*>(units)[text.size()] = u'\0';
  GlobalUnlock(block);
  return block;
}

}  // namespace

bool WindowsClipboard::ReplaceText(std::u16string_view text, std::u16string_view original) {
  // Both blocks exist before the clipboard is emptied: what can still fail after it is only
  // SetClipboardData, and then the original goes back.
  HGLOBAL block = TextBlock(text);
  if (!block) return false;
  HGLOBAL fallback = TextBlock(original);
  if (!fallback) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  // Once set, a block is the clipboard's; only a refused or unused block is ours to free.
  if (SetClipboardData(CF_UNICODETEXT, block)) {
    GlobalFree(fallback);
    return true;
  }
  GlobalFree(block);
  if (!SetClipboardData(CF_UNICODETEXT, fallback)) GlobalFree(fallback);
  return false;
}

}  // namespace tonvira
