#include "promo/banner_store.h"

#include "config/text_file.h"
#include "promo/banner_answer.h"
#include "update/http.h"

namespace tonvira {

Banner CurrentBanner(BannerStore& store) {
  std::lock_guard lock(store.mutex);
  return store.banner;
}

void ReplaceBanner(BannerStore& store, Banner banner) {
  std::lock_guard lock(store.mutex);
  store.banner = std::move(banner);
}

void LoadBannerCache(BannerStore& store, std::u16string_view cachePath) {
  TextLines file = ReadTextLines(cachePath);
  if (file.status != FileRead::Ok || file.lines.empty() || file.lines[0].empty()) return;
  Banner banner;
  banner.title = file.lines[0];
  if (file.lines.size() > 1) banner.text = file.lines[1];
  if (file.lines.size() > 2) banner.link = file.lines[2];
  ReplaceBanner(store, std::move(banner));
}

bool FetchBanner(BannerStore& store, std::u16string_view cachePath, const BannerRequestInputs& inputs) {
  std::string body;
  HttpRequest request;
  request.url = BannerRequestUrl(inputs);
  request.byteLimit = kMaxBannerAnswerBytes;
  request.cutAtLimit = true;
  request.text = &body;
  request.userAgent = kBannerUserAgent;
  request.timeouts = {5000, 5000, 8000, 8000};
  request.deadlineMs = kTransferDeadlineMs;
  request.noCache = false;
  if (HttpGet(request).status != 200) return false;
  BannerAnswer answer = ParseBannerAnswer(body);
  if (answer.kind != BannerAnswerKind::Banner) return answer.kind == BannerAnswerKind::NoBanner;
  const Banner& b = answer.banner;
  // The cache is only read at the next start; failing to write it changes nothing now.
  WriteTextFile(cachePath, b.title + u"\n" + b.text + u"\n" + b.link + u"\n");
  ReplaceBanner(store, answer.banner);
  return true;
}

}  // namespace tonvira
