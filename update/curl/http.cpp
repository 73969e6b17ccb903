// The network seam on Linux (tests and tonvira-sim): libcurl, with the same rules as the
// WinHTTP body: status first, then the body streamed into a text and a file with its SHA-256.
#include "update/http.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <mutex>

#include "text/utf8.h"

namespace tonvira {
namespace {

struct CurlDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct HeaderListDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
struct DigestDeleter {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

struct Transfer {
  const HttpRequest* request = nullptr;
  CURL* curl = nullptr;
  bool started = false;  // the status was read and the body may flow
  long status = 0;
  int fd = -1;
  std::unique_ptr<EVP_MD_CTX, DigestDeleter> hash;
  uint64_t total = 0;
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

// The status decides before any byte is kept; the file and the hash exist only for a 200.
bool Start(Transfer& t) {
  if (t.started) return true;
  t.started = true;
  curl_easy_getinfo(t.curl, CURLINFO_RESPONSE_CODE, &t.status);
  if (t.status != 200) return false;
  if (!t.request->filePath.empty()) {
    t.fd = ::open(Utf16ToUtf8(t.request->filePath).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    t.hash.reset(EVP_MD_CTX_new());
    if (t.fd < 0 || !t.hash || EVP_DigestInit_ex(t.hash.get(), EVP_sha256(), nullptr) != 1) {
      t.localFailure = true;
      return false;
    }
  }
  return true;
}

size_t OnBody(char* data, size_t, size_t size, void* user) {
  Transfer& t = *static_cast<Transfer*>(user);
  if (!Start(t)) return 0;
  const HttpRequest& r = *t.request;
  if (t.total + size > r.byteLimit) {
    if (!r.cutAtLimit) {
      t.total += size;
      t.tooLarge = true;
      return 0;
    }
    size = static_cast<size_t>(r.byteLimit - t.total);
    t.cut = true;
  }
  t.total += size;
  if (r.text) r.text->append(data, size);
  if (t.fd >= 0) {
    if (!WriteAll(t.fd, data, size) || EVP_DigestUpdate(t.hash.get(), data, size) != 1) {
      t.localFailure = true;
      return 0;
    }
  }
  return t.cut ? 0 : size;
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

std::string HexDigest(EVP_MD_CTX* hash) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(hash, digest, &length) != 1) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned int i = 0; i < length; ++i) {
    out += kHex[digest[i] >> 4];
    out += kHex[digest[i] & 15];
  }
  return out;
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
  result.bytes = t.total;
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
  if (t.hash) {
    result.sha256 = HexDigest(t.hash.get());
    if (result.sha256.empty()) return result;
  }
  result.status = 200;
  return result;
}

}  // namespace tonvira
