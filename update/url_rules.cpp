#include "update/url_rules.h"

namespace tonvira {
namespace {

bool IsAuthorityByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ':' || c == '-' || c == '.';
}

bool IsFileNameByte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.';
}

// "http://localhost/" and "http://localhost:8080/" are loopback origins; "http://localhost:x/"
// names no port and is not.
bool IsLoopbackHttpOrigin(std::string_view origin) {
  for (std::string_view host : {std::string_view("http://127.0.0.1"), std::string_view("http://localhost")}) {
    if (!origin.starts_with(host)) continue;
    std::string_view rest = origin.substr(host.size());
    if (rest == "/") return true;
    if (rest.size() < 3 || rest.front() != ':' || rest.back() != '/') continue;
    std::string_view port = rest.substr(1, rest.size() - 2);
    bool digits = true;
    for (char c : port) digits = digits && c >= '0' && c <= '9';
    if (digits) return true;
  }
  return false;
}

}  // namespace

std::string UrlOrigin(std::string_view url) {
  size_t separator = url.find("://");
  if (separator == std::string_view::npos) return {};
  std::string_view scheme = url.substr(0, separator);
  if (scheme != "https" && scheme != "http") return {};
  size_t authorityStart = separator + 3;
  size_t slash = url.find('/', authorityStart);
  if (slash == std::string_view::npos || slash == authorityStart) return {};
  std::string authority(url.substr(authorityStart, slash - authorityStart));
  for (char& c : authority) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (!IsAuthorityByte(c)) return {};
  }
  return std::string(scheme) + "://" + authority + "/";
}

bool UrlAllowed(std::string_view url) {
  if (url.starts_with("https://")) return true;
  return IsLoopbackHttpOrigin(UrlOrigin(url));
}

std::string InstallerFileName(std::string_view url) {
  size_t slash = url.rfind('/');
  std::string_view name = slash == std::string_view::npos ? url : url.substr(slash + 1);
  if (name.size() < 5 || name.size() > 80 || !name.ends_with(".msi")) return {};
  for (char c : name) {
    if (!IsFileNameByte(c)) return {};
  }
  return std::string(name);
}

}  // namespace tonvira
