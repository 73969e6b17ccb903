// The network seam on Linux (tests and tonvira-sim): libcurl, with the same rules as the
// WinHTTP body: status first, then the body streamed into a text and a file with its SHA-256.
#include "update/http.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>

#include "text/utf8.h"
#include "update/http_body.h"

namespace tonvira {
namespace {

struct CurlDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct HeaderListDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
struct Transfer {
  const HttpRequest* request = nullptr;
  CURL* curl = nullptr;
  bool started = false;  // the status was read and the body may flow
  long status = 0;
  int fd = -1;
  std::optional<HttpBody> body;  // from the status 200 on
  bool tooLarge = false;
  bool cut = false;
  bool localFailure = false;

  ~Transfer() {
    if (fd >= 0) ::close(fd);
  }
};

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The status decides before any byte is kept; the file exists only for a 200.
bool Start(Transfer& t) {
  if (t.started) return t.body.has_value();
  t.started = true;
  curl_easy_getinfo(t.curl, CURLINFO_RESPONSE_CODE, &t.status);
  if (t.status != 200) return false;
  if (!t.request->filePath.empty()) {
    t.fd = ::open(Utf16ToUtf8(t.request->filePath).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (t.fd < 0) {
      t.localFailure = true;
      return false;
    }
  }
  t.body.emplace(*t.request,
                 [&t](std::string_view bytes) { return WriteAll(t.fd, bytes.data(), bytes.size()); });
  return true;
}

size_t OnBody(char* data, size_t, size_t size, void* user) {
  Transfer& t = *static_cast<Transfer*>(user);
  if (!Start(t)) return 0;
  switch (t.body->Accept(std::string_view(data, size))) {
    case HttpBody::Step::More:
      return size;
    case HttpBody::Step::Cut:
      t.cut = true;
      return 0;
    case HttpBody::Step::TooLarge:
      t.tooLarge = true;
      return 0;
    case HttpBody::Step::Failed:
    default:
      t.localFailure = true;
      return 0;
  }
}

bool SchemeAllowed(std::string_view url) {
  auto startsWith = [url](std::string_view prefix) {
    if (url.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
      char c = url[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != prefix[i]) return false;
    }
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

bool IsHttps(std::string_view url) {
  return url.size() > 5 && (url[4] == 's' || url[4] == 'S');
}

}  // namespace

HttpResult HttpGet(const HttpRequest& request) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  HttpResult result;
  if (!SchemeAllowed(request.url) || request.deadlineMs == 0) return result;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return result;
  Transfer t;
  t.request = &request;
  t.curl = curl.get();
  CURL* c = curl.get();
  std::unique_ptr<curl_slist, HeaderListDeleter> headers;
  if (request.noCache) headers.reset(curl_slist_append(nullptr, "Cache-Control: no-cache"));
  curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
  // A page fetched over TLS never continues in the clear.
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, IsHttps(request.url) ? "https" : "http,https");
  curl_easy_setopt(c, CURLOPT_USERAGENT, request.userAgent.c_str());
  if (headers) curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(request.timeouts.resolveMs + request.timeouts.connectMs));
  // libcurl has no per-receive timeout: a transfer that moves nothing for that long ends.
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>((request.timeouts.receiveMs + 999) / 1000));
  // The whole transfer, resolving to last byte: a trickle of bytes keeps the speed check happy.
  curl_easy_setopt(
      c, CURLOPT_TIMEOUT_MS,
      static_cast<long>(std::min<uint64_t>(request.deadlineMs, std::numeric_limits<long>::max())));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
  CURLcode code = curl_easy_perform(c);
  result.bytes = t.body ? t.body->total() : 0;
  bool bodyEnded = code == CURLE_OK || (code == CURLE_WRITE_ERROR && (t.cut || t.tooLarge || t.started));
  if (!bodyEnded) return result;
  if (!t.started && code == CURLE_OK) Start(t);  // an empty body
  if (t.localFailure) return result;
  if (t.status != 200) {
    result.status = static_cast<int>(t.status);
    return result;
  }
  if (t.tooLarge) {
    result.status = kHttpTooLarge;
    return result;
  }
  if (code != CURLE_OK && !t.cut) return result;
  if (!request.filePath.empty()) {
    result.sha256 = t.body->FileSha256();
    if (result.sha256.empty()) return result;
  }
  result.status = 200;
  return result;
}

}  // namespace tonvira
