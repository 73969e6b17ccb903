// The network seam on Windows: WinHTTP with the system's proxy, the body streamed into a text
// and a file hashed with CNG as it arrives.
#include "update/http.h"

#include <windows.h>

#include <winhttp.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "text/utf8.h"
#include "text/win32/handle.h"
#include "text/win32/wide.h"
#include "update/http_body.h"

namespace tonvira {
namespace {

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

  FileHandle file;
  if (!request.filePath.empty()) {
    file.reset(CreateFileW(Wide(request.filePath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return result;
  }
  HttpBody body(request, [&file](std::string_view bytes) {
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  });
  std::vector<char> buffer(65536);
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
    HttpBody::Step step = body.Accept(std::string_view(buffer.data(), got));
    if (step == HttpBody::Step::TooLarge) outcome = kHttpTooLarge;
    if (step == HttpBody::Step::Failed) outcome = 0;
    if (step != HttpBody::Step::More) break;
  }
  result.bytes = body.total();
  if (outcome == 200 && !request.filePath.empty()) {
    result.sha256 = body.FileSha256();
    if (result.sha256.empty()) return result;
  }
  result.status = outcome;
  return result;
}

}  // namespace tonvira
