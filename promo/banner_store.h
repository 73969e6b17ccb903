// The banner the settings window paints: process-wide, behind its own mutex, filled from the
// cache at start and from the server by the worker.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "promo/banner.h"
#include "promo/banner_request.h"

namespace tonvira {

struct BannerStore {
  std::mutex mutex;
  Banner banner = FallbackBanner();
};

// A copy taken under the mutex.
Banner CurrentBanner(BannerStore& store);
void ReplaceBanner(BannerStore& store, Banner banner);

// banner.txt: title, text and link, one line each. A missing or unreadable file, or one
// without a title, leaves the banner as it is.
void LoadBannerCache(BannerStore& store, std::u16string_view cachePath);

inline constexpr std::string_view kBannerUserAgent = "Tonvira/1.0";

// One request to the banner server. True when a banner came (stored and cached) or the
// server said it has none; false on any failure, which keeps the banner.
bool FetchBanner(BannerStore& store, std::u16string_view cachePath, const BannerRequestInputs& inputs);

}  // namespace tonvira
