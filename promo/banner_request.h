// The banner request: which server, which port and scheme, and the query that names this
// machine, its computer name and the program's version.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tonvira {

// MachineGuid reduced to its hex digits, lower case, at most 64; sixteen zeros when fewer
// than 16 remain or there is no value. "{6F1A-...}" -> "6f1a...".
std::string MachineIdFromGuid(std::optional<std::u16string_view> guid);

// UTF-8, every byte but A-Z a-z 0-9 - . _ ~ as %XX (upper-case hex). "Máy 1" -> "M%C3%A1y%201".
std::string PercentEncode(std::u16string_view text);

// An environment value counts when it is 1 to 255 characters long.
std::optional<std::u16string> UsableEnvironmentValue(std::optional<std::u16string> value);

inline constexpr uint16_t kLoopbackBannerPort = 18090;

struct BannerServer {
  std::string host;
  uint16_t port = 443;
  bool tls = true;
};
// "host" -> https on 443; "localhost" or "127.0.0.1" -> plain http on 18090; "host:8443" ->
// that port (a loopback host stays plain http).
BannerServer BannerServerFrom(std::u16string_view server);

struct BannerRequestInputs {
  std::optional<std::u16string> serverVariable;   // TONVIRA_SERVER
  std::optional<std::u16string> versionVariable;  // TONVIRA_VERSION
  std::u16string builtInHost;
  std::u16string runningVersion;
  std::optional<std::u16string> machineGuid;
  std::u16string computerName;  // empty when unavailable
};
// The build's banner host (TONVIRA_BANNER_HOST).
std::u16string_view BuiltInBannerHost();

std::string BannerRequestUrl(const BannerRequestInputs& inputs);

}  // namespace tonvira
