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

// The per-step timeouts only bound one wait: a server that sends a byte now and then would
// hold a transfer for hours. The whole transfer gets a deadline: a minute for a small document,
// and for a package a minute more per MiB it declares (part of a MiB counting whole).
inline constexpr uint64_t kTransferDeadlineMs = 60000;
inline constexpr uint64_t DownloadDeadlineMs(uint64_t declaredBytes) {
  constexpr uint64_t kMiB = 1024 * 1024;
  uint64_t mebibytes = declaredBytes / kMiB + (declaredBytes % kMiB != 0 ? 1 : 0);
  return kTransferDeadlineMs + mebibytes * kTransferDeadlineMs;
}

struct HttpRequest {
  std::string url;  // http or https, anything else fails with status 0
  uint64_t byteLimit = 0;
  // The banner keeps the first byteLimit bytes of a longer answer instead of refusing it.
  bool cutAtLimit = false;
  std::string* text = nullptr;  // receives the body when given
  std::u16string filePath;      // the body is written here when not empty (created or replaced)
  std::string userAgent;
  HttpTimeouts timeouts;
  // From the start of the call to the last byte; past it the transfer fails with status 0,
  // as a network failure does. 0 fails at once.
  uint64_t deadlineMs = kTransferDeadlineMs;
  bool noCache = true;  // sends "Cache-Control: no-cache"
};

struct HttpResult {
  int status = 0;      // the HTTP status; 0 on any local failure
  uint64_t bytes = 0;  // body bytes received, also when the transfer failed
  std::string sha256;  // 64 lower-case hex digits of the body, with a file and status 200
};

// Follows redirects but never from https to http, sends no cookies, uses the system's proxy.
// Any status other than 200 is returned before the body is read.
HttpResult HttpGet(const HttpRequest& request);

}  // namespace tonvira
