// URLs and versions from arbitrary bytes: an origin, an allowed URL and an installer name
// always have the shape the updater relies on; version comparison is antisymmetric.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "update/dotted_version.h"
#include "update/url_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view url(reinterpret_cast<const char*>(data), size);
  std::string origin = tonvira::UrlOrigin(url);
  if (!origin.empty()) {
    if (!(origin.starts_with("https://") || origin.starts_with("http://")) || !origin.ends_with("/"))
      std::abort();
    if (origin.find('@') != origin.npos || !url.starts_with(origin.substr(0, origin.find("://") + 3)))
      std::abort();
  }
  if (tonvira::UrlAllowed(url) && !url.starts_with("https://") &&
      !(origin.starts_with("http://localhost") || origin.starts_with("http://127.0.0.1"))) {
    std::abort();
  }
  std::string name = tonvira::InstallerFileName(url);
  if (!name.empty()) {
    if (name.size() < 5 || name.size() > 80 || !name.ends_with(".msi") || !url.ends_with(name)) std::abort();
    if (name.find_first_of("/\\:?* ") != name.npos) std::abort();
  }
  size_t half = url.find(' ');
  if (half != url.npos) {
    tonvira::VersionComparison ab = tonvira::CompareVersions(url.substr(0, half), url.substr(half + 1));
    tonvira::VersionComparison ba = tonvira::CompareVersions(url.substr(half + 1), url.substr(0, half));
    if (ab.ok != ba.ok || (ab.ok && ab.sign != -ba.sign)) std::abort();
  }
  return 0;
}
