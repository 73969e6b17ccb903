// Composing running text word by word, for tonvira-sim until the engine drives it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/compose.h"

namespace tonvira {

struct ComposeTextOptions {
  InputMethod method = InputMethod::Telex;
  bool classic = true;
  uint32_t flags = kOrdinaryFlags | kNotEnglishFlags;
};

// Each run of characters between white space is composed as one word; white space is kept.
std::u16string ComposeText(std::u16string_view text, const ComposeTextOptions& options);

}  // namespace tonvira
