// A short UTF-16 string held in place, for the values the key path copies by the dozen (a
// syllable's letters): copying or growing one never allocates. Past its capacity it refuses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tonvira {

template <size_t Capacity>
class InlineU16String {
  static_assert(Capacity < 256);

 public:
  constexpr InlineU16String() = default;
  // The first Capacity units of the text.
  InlineU16String(std::u16string_view text) {
    for (char16_t c : text.substr(0, Capacity)) units_[size_++] = c;
  }
  InlineU16String(const char16_t* text) : InlineU16String(std::u16string_view(text)) {}

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  char16_t operator[](size_t i) const { return units_[i]; }
  char16_t& operator[](size_t i) { return units_[i]; }
  std::u16string_view view() const { return {units_.data(), size_}; }
  operator std::u16string_view() const { return view(); }

  // False, and nothing changed, when the string is full.
  bool push_back(char16_t c) { return insert(size_, c); }
  bool insert(size_t pos, char16_t c) {
    if (size_ >= Capacity || pos > size_) return false;
    for (size_t i = size_; i > pos; --i) units_[i] = units_[i - 1];
    units_[pos] = c;
    ++size_;
    return true;
  }
  void erase(size_t pos) {
    if (pos >= size_) return;
    for (size_t i = pos; i + 1 < size_; ++i) units_[i] = units_[i + 1];
    --size_;
  }

  bool operator==(std::u16string_view other) const { return view() == other; }

 private:
  std::array<char16_t, Capacity> units_{};
  uint8_t size_ = 0;
};

}  // namespace tonvira
