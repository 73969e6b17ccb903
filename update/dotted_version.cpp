#include "update/dotted_version.h"

#include <array>
#include <optional>

namespace tonvira {
namespace {

constexpr int kMaxComponents = 4;
constexpr uint32_t kMaxComponent = 65535;

std::optional<std::array<uint32_t, kMaxComponents>> ParseDotted(std::string_view text) {
  std::array<uint32_t, kMaxComponents> parts{};
  int count = 0;
  size_t start = 0;
  while (true) {
    size_t dot = text.find('.', start);
    std::string_view part = text.substr(start, dot == std::string_view::npos ? text.npos : dot - start);
    if (part.empty() || count == kMaxComponents) return std::nullopt;
    uint32_t value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + static_cast<uint32_t>(c - '0');
      // Leading zeros are digits like any other; the value is what is bounded.
      if (value > kMaxComponent) return std::nullopt;
    }
    parts[count++] = value;
    if (dot == std::string_view::npos) return parts;
    start = dot + 1;
  }
}

}  // namespace

bool IsDottedVersion(std::string_view text) {
  return ParseDotted(text).has_value();
}

VersionComparison CompareVersions(std::string_view a, std::string_view b) {
  auto left = ParseDotted(a);
  auto right = ParseDotted(b);
  if (!left || !right) return {};
  for (int i = 0; i < kMaxComponents; ++i) {
    if ((*left)[i] != (*right)[i]) return {true, (*left)[i] < (*right)[i] ? -1 : 1};
  }
  return {true, 0};
}

bool IsShortDecimal(std::string_view text) {
  if (text.empty() || text.size() > 19) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

uint64_t ShortDecimalValue(std::string_view text) {
  uint64_t value = 0;
  for (char c : text) value = value * 10 + static_cast<uint64_t>(c - '0');
  return value;
}

}  // namespace tonvira
