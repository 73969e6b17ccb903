#include "update/update_state.h"

#include "config/data_folder.h"
#include "config/file_system.h"
#include "config/text_file.h"
#include "text/utf8.h"
#include "update/dotted_version.h"
#include "update/url_rules.h"

namespace tonvira {
namespace {

constexpr std::u16string_view kStateFileName = u"update.txt";

bool IsOneLine(std::string_view text) {
  return text.find_first_of("\r\n") == text.npos;
}

void AppendLine(std::string& out, std::string_view key, std::string_view value) {
  out.append(key).append("=").append(IsOneLine(value) ? value : std::string_view()).append("\n");
}

void ApplyLine(UpdateState& state, std::string_view key, std::string_view value) {
  // A CR inside a value is never written, so it is never read either.
  if (!IsOneLine(value)) return;
  if (key == "max_seq" || key == "last_ok") {
    if (IsShortDecimal(value)) (key == "max_seq" ? state.max_seq : state.last_ok) = ShortDecimalValue(value);
  } else if (key == "notified" || key == "attempt" || key == "stuck" || key == "blocked") {
    if (!IsDottedVersion(value)) return;
    std::string& field = key == "notified"  ? state.notified
                         : key == "attempt" ? state.attempt
                         : key == "stuck"   ? state.stuck
                                            : state.blocked;
    field = value;
  } else if (key == "attempt_count") {
    if (IsShortDecimal(value) && ShortDecimalValue(value) <= kMaxLoadedAttemptCount) {
      state.attempt_count = static_cast<int32_t>(ShortDecimalValue(value));
    }
  } else if (key == "attempt_rc") {
    if (value.size() <= kMaxAttemptRcBytes) state.attempt_rc = value;
  } else if (key == "source") {
    if (UrlAllowed(value)) state.source = value;
  }
}

}  // namespace

std::string SaveUpdateState(const UpdateState& state) {
  std::string out;
  AppendLine(out, "max_seq", std::to_string(state.max_seq));
  AppendLine(out, "last_ok", std::to_string(state.last_ok));
  AppendLine(out, "notified", state.notified);
  AppendLine(out, "attempt", state.attempt);
  AppendLine(out, "attempt_count", std::to_string(state.attempt_count));
  AppendLine(out, "attempt_rc", state.attempt_rc);
  AppendLine(out, "stuck", state.stuck);
  AppendLine(out, "blocked", state.blocked);
  AppendLine(out, "source", state.source);
  return out;
}

UpdateState LoadUpdateState(std::string_view bytes) {
  UpdateState state;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == bytes.npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    start = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    size_t equals = line.find('=');
    if (equals == line.npos) continue;
    ApplyLine(state, line.substr(0, equals), line.substr(equals + 1));
  }
  return state;
}

UpdateState LoadUpdateStateFile(std::u16string_view dataFolder) {
  FileBytes file = ReadFileBytes(JoinPath(dataFolder, kStateFileName));
  if (file.status != FileRead::Ok) return {};
  return LoadUpdateState(std::string_view(file.bytes).substr(0, kMaxUpdateStateFileBytes));
}

bool SaveUpdateStateFile(const UpdateState& state, std::u16string_view dataFolder) {
  if (!MakeFolder(dataFolder)) return false;
  // The text is ASCII but for what a URL may carry; WriteTextFile writes UTF-8 through a
  // ".tmp" sibling and one move, and removes the sibling when the move fails.
  return WriteTextFile(JoinPath(dataFolder, kStateFileName), Utf8ToUtf16(SaveUpdateState(state)));
}

}  // namespace tonvira
