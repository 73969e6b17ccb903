// The banner server's answer: UTF-8 JSON read with a small string-field extractor (the answer
// is a handful of strings; no full parser is needed to find them).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "promo/banner.h"

namespace tonvira {

// The first "key" in the text, then optional spaces, ":", optional spaces and a string.
// Decodes \n \r \t \uXXXX (surrogate pairs joined) and \<any other> (that character); nothing
// when the key is missing or its value is not a complete string.
std::optional<std::string> JsonStringField(std::string_view json, std::string_view key);

inline constexpr size_t kMaxBannerAnswerBytes = 65536;

enum class BannerAnswerKind {
  Banner,    // a title came: the banner is replaced
  NoBanner,  // "ads":[] without a title: the server has nothing, the banner stays
  Unusable,  // anything else: the fetch failed
};
struct BannerAnswer {
  BannerAnswerKind kind = BannerAnswerKind::Unusable;
  Banner banner;  // with Banner; line breaks in values become spaces (the cache is one per line)
};
BannerAnswer ParseBannerAnswer(std::string_view body);

}  // namespace tonvira
