#include "config/c_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace tonvira {
namespace {

bool IsCSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::u16string_view SkipSpace(std::u16string_view text) {
  while (!text.empty() && IsCSpace(text.front())) text.remove_prefix(1);
  return text;
}

std::u16string AsciiToUtf16(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

// The decimal exponent of the first significant digit of a number that std::from_chars found
// out of range: positive means it overflowed, negative that it underflowed.
int64_t DecimalMagnitude(std::string_view number) {
  int64_t magnitude = 0;
  size_t i = 0;
  bool seenPoint = false;
  bool significant = false;
  int64_t leadingZeros = 0;
  for (; i < number.size() && (IsDigit(number[i]) || number[i] == '.'); ++i) {
    if (number[i] == '.') {
      seenPoint = true;
    } else if (!significant && number[i] == '0') {
      if (seenPoint) ++leadingZeros;
    } else if (!significant) {
      significant = true;
      magnitude = seenPoint ? -(leadingZeros + 1) : 0;
    } else if (!seenPoint) {
      ++magnitude;
    }
  }
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    bool negative = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
    int64_t exponent = 0;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (number[i] - '0');
    }
    magnitude += negative ? -exponent : exponent;
  }
  return magnitude;
}

}  // namespace

int32_t ReadCInteger(std::u16string_view text) {
  text = SkipSpace(text);
  bool negative = false;
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') break;
    if (value <= kLimit) value = value * 10 + (c - u'0');
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

double ReadCDouble(std::u16string_view text) {
  text = SkipSpace(text);
  bool negative = false;
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  // The number is ASCII: the first other character ends it.
  std::string ascii;
  for (char16_t c : text) {
    if (c >= 0x80) break;
    ascii.push_back(static_cast<char>(c));
  }
  if (ascii.starts_with('-')) return 0.0;  // a second sign is not a number
  double value = 0.0;
  auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error == std::errc::invalid_argument) return 0.0;
  if (error == std::errc::result_out_of_range) {
    bool overflow = DecimalMagnitude(std::string_view(ascii.data(), end - ascii.data())) >= 0;
    value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

float NarrowToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (std::isfinite(value) && std::fabs(value) > kMax) return static_cast<float>(value < 0 ? -kMax : kMax);
  return static_cast<float>(value);
}

std::u16string FormatInteger(int32_t value) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return AsciiToUtf16(std::string_view(buffer, result.ptr - buffer));
}

std::u16string FormatOneDecimal(double value) {
  // The largest double printed in full has 309 digits.
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  return AsciiToUtf16(std::string_view(buffer, result.ptr - buffer));
}

}  // namespace tonvira
