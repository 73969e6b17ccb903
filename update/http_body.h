// A 200 answer's body as it arrives, by the request's rules: appended to its text, written to its
// file with the SHA-256 of what was written, up to its byte limit, refused past it or cut there
// when the request says so. The WinHTTP and libcurl bodies both use it, so the tests on Linux
// cover the rules the Windows program follows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "update/crypto.h"
#include "update/http.h"

namespace tonvira {

class HttpBody {
 public:
  // writeFile writes to the request's file; it is called only when the request names one.
  HttpBody(const HttpRequest& request, std::function<bool(std::string_view)> writeFile);

  enum class Step {
    More,      // kept whole: the transfer goes on
    Cut,       // kept up to the limit: the body ends here
    TooLarge,  // past the limit: nothing of it kept, the transfer fails with kHttpTooLarge
    Failed,    // the file or the hash failed: the transfer fails with status 0
  };
  Step Accept(std::string_view bytes);

  // Bytes received, those of a refused part included.
  uint64_t total() const { return total_; }
  // The SHA-256 of what the file holds, 64 lower-case hex digits; empty without a file or when
  // the hash failed.
  std::string FileSha256();

 private:
  const HttpRequest& request_;
  std::function<bool(std::string_view)> writeFile_;
  Sha256Stream hash_;
  uint64_t total_ = 0;
};

}  // namespace tonvira
