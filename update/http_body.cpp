#include "update/http_body.h"

#include <utility>

namespace tonvira {

HttpBody::HttpBody(const HttpRequest& request, std::function<bool(std::string_view)> writeFile)
    : request_(request), writeFile_(std::move(writeFile)) {}

HttpBody::Step HttpBody::Accept(std::string_view bytes) {
  bool cut = false;
  if (total_ + bytes.size() > request_.byteLimit) {
    if (!request_.cutAtLimit) {
      total_ += bytes.size();
      return Step::TooLarge;
    }
    bytes = bytes.substr(0, static_cast<size_t>(request_.byteLimit - total_));
    cut = true;
  }
  total_ += bytes.size();
  if (request_.text) request_.text->append(bytes);
  if (!request_.filePath.empty() && (!writeFile_(bytes) || !hash_.Add(bytes))) return Step::Failed;
  return cut ? Step::Cut : Step::More;
}

std::string HttpBody::FileSha256() {
  Sha256Digest digest;
  if (request_.filePath.empty() || !hash_.Finish(digest)) return {};
  return HexOf(digest);
}

}  // namespace tonvira
