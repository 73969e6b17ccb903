#include "update/manifest.h"

#include "update/dotted_version.h"

namespace tonvira {
namespace {

constexpr std::string_view kMagic = "TONVIRA-UPDATE ";
constexpr std::string_view kFormatLine = "TONVIRA-UPDATE 1";

// Notes are shown in the update window: printable bytes, no markup.
bool IsShowableNote(std::string_view value) {
  if (value.empty() || value.size() > kMaxNoteBytes) return false;
  for (char c : value) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '<' || c == '>') return false;
  }
  return true;
}

bool IsLowerHexDigest(std::string_view value) {
  if (value.size() != 64) return false;
  for (char c : value) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// Applies one "key=value" line; false when the line breaks the framing.
bool ApplyField(Manifest& manifest, std::string_view key, std::string_view value) {
  if (key == "seq" || key == "size") {
    if (!IsShortDecimal(value)) return false;
    (key == "seq" ? manifest.seq : manifest.size) = ShortDecimalValue(value);
  } else if (key == "note") {
    // A note that cannot be shown, or one past the twelfth, is dropped; the manifest stands.
    if (manifest.notes.size() < kMaxManifestNotes && IsShowableNote(value))
      manifest.notes.emplace_back(value);
  } else if (key == "product") {
    manifest.product = value;
  } else if (key == "channel") {
    manifest.channel = value;
  } else if (key == "version") {
    manifest.version = value;
  } else if (key == "min") {
    manifest.min = std::string(value);
  } else if (key == "published") {
    manifest.published = value;
  } else if (key == "msi") {
    manifest.msi = value;
  } else if (key == "sha256") {
    manifest.sha256 = value;
  }
  return true;
}

ManifestParse CheckFields(const Manifest& m) {
  if (m.product != "tonvira" || m.seq == 0) return ManifestParse::InvalidContent;
  if (!IsDottedVersion(m.version)) return ManifestParse::InvalidContent;
  if (m.msi.empty()) return ManifestParse::InvalidContent;
  if (m.size == 0) return ManifestParse::InvalidContent;
  if (!IsLowerHexDigest(m.sha256)) return ManifestParse::InvalidContent;
  if (m.min && !IsDottedVersion(*m.min)) return ManifestParse::Malformed;
  if (m.size > kMaxPackageSize) return ManifestParse::Malformed;
  return ManifestParse::Accepted;
}

}  // namespace

ParsedManifest ParseManifest(std::string_view text) {
  ParsedManifest result;
  if (text.find('\r') != text.npos || text.find('\0') != text.npos) return result;
  if (text.empty() || text.back() != '\n' || text.find("\n\n") != text.npos || text.front() == '\n') {
    return result;
  }
  size_t end = text.find('\n');
  std::string_view first = text.substr(0, end);
  if (!first.starts_with(kMagic)) return {ManifestParse::NotAManifest, {}};
  if (first != kFormatLine) return {ManifestParse::UnsupportedVersion, {}};

  Manifest manifest;
  for (size_t start = end + 1; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    std::string_view line = text.substr(start, end - start);
    size_t equals = line.find('=');
    if (equals == line.npos || equals == 0) return result;
    if (!ApplyField(manifest, line.substr(0, equals), line.substr(equals + 1))) return result;
  }
  result.outcome = CheckFields(manifest);
  if (result.outcome == ManifestParse::Accepted) result.manifest = std::move(manifest);
  return result;
}

}  // namespace tonvira
