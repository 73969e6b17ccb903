// The update manifest: a small text document the vendor signs, naming the newest version and
// its installer package.
//
//   TONVIRA-UPDATE 1
//   product=tonvira
//   channel=stable
//   version=1.5.0
//   msi=https://updates.example/tonvira-1.5.0.msi
//   sha256=<64 lower-case hex digits>
//   seq=42
//   size=3145728
//   note=Gõ nhanh hơn
//   sig=<88 Base64 characters>
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonvira {

// Text fields are bytes (UTF-8) as the document holds them, compared case-sensitively.
struct Manifest {
  std::string product;
  std::string channel;
  std::string version;
  std::optional<std::string> min;  // the minimum version still supported, when given
  std::string published;           // shown, never checked
  std::string msi;
  std::string sha256;
  uint64_t seq = 0;
  uint64_t size = 0;
  std::vector<std::string> notes;

  bool operator==(const Manifest&) const = default;
};

inline constexpr size_t kMaxManifestNotes = 12;
inline constexpr size_t kMaxNoteBytes = 400;
inline constexpr uint64_t kMaxPackageSize = 52428800;  // 50 MiB

enum class ManifestParse {
  Accepted,
  NotAManifest,        // the first line is not "TONVIRA-UPDATE ..."
  UnsupportedVersion,  // "TONVIRA-UPDATE 2": a format this program does not know
  InvalidContent,      // a required field missing or outside its rule
  Malformed,           // the framing is broken
};

struct ParsedManifest {
  ManifestParse outcome = ManifestParse::Malformed;
  Manifest manifest;  // meaningful only when accepted
};

// Parses the signed part of a document (everything before "sig="). Only Accepted lets a
// manifest through.
ParsedManifest ParseManifest(std::string_view text);

}  // namespace tonvira
