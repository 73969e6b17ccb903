#include "promo/banner_request.h"

#include "text/utf8.h"

namespace tonvira {
namespace {

#define TONVIRA_WIDEN(text) u"" text

bool IsLoopback(std::string_view host) {
  return host == "localhost" || host == "127.0.0.1";
}

}  // namespace

std::u16string_view BuiltInBannerHost() {
  return TONVIRA_WIDEN(TONVIRA_BANNER_HOST);
}

std::string MachineIdFromGuid(std::optional<std::u16string_view> guid) {
  std::string digits;
  if (guid) {
    for (char16_t c : *guid) {
      if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')) {
        digits += static_cast<char>(c);
      } else if (c >= u'A' && c <= u'F') {
        digits += static_cast<char>(c - u'A' + 'a');
      }
    }
  }
  if (digits.size() < 16) return std::string(16, '0');
  if (digits.size() > 64) digits.resize(64);
  return digits;
}

std::string PercentEncode(std::u16string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : Utf16ToUtf8(text)) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                 c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::optional<std::u16string> UsableEnvironmentValue(std::optional<std::u16string> value) {
  if (!value || value->empty() || value->size() > 255) return std::nullopt;
  return value;
}

BannerServer BannerServerFrom(std::u16string_view server) {
  BannerServer result;
  std::string text = Utf16ToUtf8(server);
  size_t colon = text.find(':');
  result.host = text.substr(0, colon);
  if (IsLoopback(result.host)) {
    result.port = kLoopbackBannerPort;
    result.tls = false;
  }
  if (colon != text.npos) {
    uint32_t port = 0;
    std::string_view digits = std::string_view(text).substr(colon + 1);
    bool valid = !digits.empty() && digits.size() <= 5;
    for (char c : digits) {
      if (c < '0' || c > '9') valid = false;
      port = port * 10 + static_cast<uint32_t>(c - '0');
    }
    // A port that is no port leaves the default; the request then goes where it would have.
    if (valid && port >= 1 && port <= 65535) result.port = static_cast<uint16_t>(port);
  }
  return result;
}

std::string BannerRequestUrl(const BannerRequestInputs& in) {
  std::optional<std::u16string> server = UsableEnvironmentValue(in.serverVariable);
  std::optional<std::u16string> version = UsableEnvironmentValue(in.versionVariable);
  BannerServer s = BannerServerFrom(server ? *server : in.builtInHost);
  std::string url = s.tls ? "https://" : "http://";
  url += s.host;
  if (s.port != (s.tls ? 443 : 80)) url += ":" + std::to_string(s.port);
  url += "/api/v1/ads?product=tonvira&app=tonvira&mid=" + MachineIdFromGuid(in.machineGuid);
  url += "&host=" + PercentEncode(in.computerName);
  url += "&v=" + PercentEncode(version ? *version : in.runningVersion);
  url += "&lang=vi";
  return url;
}

}  // namespace tonvira
