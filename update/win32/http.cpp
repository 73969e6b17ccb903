// The network seam on Windows: WinHTTP with the system's proxy, the body streamed into a text
// and a file hashed with CNG as it arrives.
#include "update/http.h"

#include <windows.h>

#include <bcrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "text/utf8.h"
#include "text/win32/handle.h"
#include "text/win32/wide.h"

namespace tonvira {
namespace {

// The file the body goes to and its hash, released hash first.
struct FileSink {
  FileHandle file;
  AlgorithmHandle algorithm;
  HashHandle hash;
};

// Automatic proxy where the system knows it; older systems refuse the flag and get the
// default access type instead.
HINTERNET OpenSession(const std::wstring& agent) {
  HINTERNET session = WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) {
    session = WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                          WINHTTP_NO_PROXY_BYPASS, 0);
  }
  return session;
}

// The transfer's deadline on the tick count, which no clock change moves.
class Deadline {
 public:
  explicit Deadline(uint64_t ms) : end_(GetTickCount64() + ms) {}
  uint64_t Left() const {
    ULONGLONG now = GetTickCount64();
    return now < end_ ? end_ - now : 0;
  }

 private:
  ULONGLONG end_;
};

// WinHTTP's own wait for the headers of an answer, a timeout apart from the four above.
constexpr uint64_t kResponseHeadersMs = 90000;

// Before each blocking step: no single wait may outlast what the transfer has left, so a step
// that never completes still ends by the deadline. False once the deadline has passed.
bool BoundNextStep(HINTERNET handle, const HttpTimeouts& t, const Deadline& deadline, bool isRequest) {
  uint64_t left = std::min<uint64_t>(deadline.Left(), INT_MAX);
  if (left == 0) return false;
  // WinHTTP reads 0 as "wait for ever".
  auto cap = [left](uint64_t ms) { return static_cast<int>(ms == 0 ? left : std::min<uint64_t>(ms, left)); };
  WinHttpSetTimeouts(handle, cap(t.resolveMs), cap(t.connectMs), cap(t.sendMs), cap(t.receiveMs));
  if (isRequest) {
    DWORD headersMs = static_cast<DWORD>(cap(kResponseHeadersMs));
    WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headersMs, sizeof(headersMs));
  }
  return true;
}

}  // namespace

HttpResult HttpGet(const HttpRequest& request) {
  HttpResult result;
  Deadline deadline(request.deadlineMs);
  std::wstring url = Wide(Utf8ToUtf16(request.url));
  wchar_t host[256] = {};
  wchar_t path[2048] = {};
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = 256;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = 2048;
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return result;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return result;
  // The query belongs to the request path.
  std::wstring target(path, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) target.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (target.empty()) target = L"/";

  InternetHandle session(OpenSession(Wide(Utf8ToUtf16(request.userAgent))));
  if (!session) return result;
  if (!BoundNextStep(session.get(), request.timeouts, deadline, false)) return result;
  InternetHandle connection(WinHttpConnect(session.get(), host, parts.nPort, 0));
  if (!connection) return result;
  DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  InternetHandle requestHandle(WinHttpOpenRequest(connection.get(), L"GET", target.c_str(), nullptr,
                                                  WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, secure));
  HINTERNET req = requestHandle.get();
  if (!req) return result;
  DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
  WinHttpSetOption(req, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy));
  DWORD noCookies = WINHTTP_DISABLE_COOKIES;
  WinHttpSetOption(req, WINHTTP_OPTION_DISABLE_FEATURE, &noCookies, sizeof(noCookies));
  const wchar_t* headers = request.noCache ? L"Cache-Control: no-cache\r\n" : WINHTTP_NO_ADDITIONAL_HEADERS;
  DWORD headersLength = request.noCache ? static_cast<DWORD>(-1L) : 0;
  if (!BoundNextStep(req, request.timeouts, deadline, true)) return result;
  if (!WinHttpSendRequest(req, headers, headersLength, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) return result;
  if (!BoundNextStep(req, request.timeouts, deadline, true)) return result;
  if (!WinHttpReceiveResponse(req, nullptr)) return result;
  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!WinHttpQueryHeaders(req, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return result;
  }
  if (status != 200) {
    result.status = static_cast<int>(status);
    return result;
  }

  FileSink sink;
  if (!request.filePath.empty()) {
    std::wstring file(request.filePath.begin(), request.filePath.end());
    sink.file.reset(
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!sink.file) return result;
    if (BCryptOpenAlgorithmProvider(sink.algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0 ||
        BCryptCreateHash(sink.algorithm.get(), sink.hash.put(), nullptr, 0, nullptr, 0, 0) < 0) {
      return result;
    }
  }
  std::vector<char> buffer(65536);
  uint64_t total = 0;
  int outcome = 200;
  for (;;) {
    // Waiting for what is there rather than for a full buffer gives the deadline a say after
    // every arrival, however small.
    DWORD available = 0;
    if (!BoundNextStep(req, request.timeouts, deadline, true) ||
        !WinHttpQueryDataAvailable(req, &available)) {
      outcome = 0;
      break;
    }
    if (available == 0) break;
    DWORD got = 0;
    DWORD want = std::min<DWORD>(available, static_cast<DWORD>(buffer.size()));
    if (!WinHttpReadData(req, buffer.data(), want, &got)) {
      outcome = 0;
      break;
    }
    if (got == 0) break;
    size_t keep = got;
    if (total + got > request.byteLimit) {
      if (!request.cutAtLimit) {
        total += got;
        outcome = kHttpTooLarge;
        break;
      }
      keep = static_cast<size_t>(request.byteLimit - total);
    }
    total += keep;
    if (request.text) request.text->append(buffer.data(), keep);
    if (sink.file) {
      DWORD written = 0;
      if (!WriteFile(sink.file.get(), buffer.data(), static_cast<DWORD>(keep), &written, nullptr) ||
          written != keep ||
          BCryptHashData(sink.hash.get(), reinterpret_cast<PUCHAR>(buffer.data()), static_cast<ULONG>(keep),
                         0) < 0) {
        outcome = 0;
        break;
      }
    }
    if (keep < got) break;  // cut at the limit
  }
  result.bytes = total;
  if (outcome == 200 && sink.hash) {
    UCHAR digest[32];
    if (BCryptFinishHash(sink.hash.get(), digest, sizeof(digest), 0) < 0) return result;
    static constexpr char kHex[] = "0123456789abcdef";
    for (UCHAR b : digest) {
      result.sha256 += kHex[b >> 4];
      result.sha256 += kHex[b & 15];
    }
  }
  result.status = outcome;
  return result;
}

}  // namespace tonvira
