// The one way the program reaches the network: a GET of one URL into a text, a file, or both.
// WinHTTP on Windows (win32/http.cpp), libcurl elsewhere (curl/http.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tonvira {

struct HttpTimeouts {
  uint32_t resolveMs = 5000;
  uint32_t connectMs = 5000;
  uint32_t sendMs = 10000;
  uint32_t receiveMs = 15000;
};

// A body larger than its limit is refused with this status.
inline constexpr int kHttpTooLarge = 413;

struct HttpRequest {
  std::string url;  // http or https, anything else fails with status 0
  uint64_t byteLimit = 0;
  // The banner keeps the first byteLimit bytes of a longer answer instead of refusing it.
  bool cutAtLimit = false;
  std::string* text = nullptr;  // receives the body when given
  std::u16string filePath;      // the body is written here when not empty (created or replaced)
  std::string userAgent;
  HttpTimeouts timeouts;
  bool noCache = true;  // sends "Cache-Control: no-cache"
};

struct HttpResult {
  int status = 0;      // the HTTP status; 0 on any local failure
  uint64_t bytes = 0;  // body bytes received
  std::string sha256;  // 64 lower-case hex digits of the body, with a file and status 200
};

// Follows redirects but never from https to http, sends no cookies, uses the system's proxy.
// Any status other than 200 is returned before the body is read.
HttpResult HttpGet(const HttpRequest& request);

}  // namespace tonvira
