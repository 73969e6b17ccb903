// The manifest text from arbitrary bytes: no crash, no undefined behaviour, and an accepted
// manifest always meets the rules the updater relies on.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/dotted_version.h"
#include "update/manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tonvira::ParsedManifest parsed = tonvira::ParseManifest(text);
  if (parsed.outcome != tonvira::ManifestParse::Accepted) return 0;
  const tonvira::Manifest& m = parsed.manifest;
  if (!text.starts_with("TONVIRA-UPDATE 1\n") || m.product != "tonvira") std::abort();
  if (m.seq == 0 || m.size == 0 || m.size > tonvira::kMaxPackageSize) std::abort();
  if (!tonvira::IsDottedVersion(m.version) || (m.min && !tonvira::IsDottedVersion(*m.min))) std::abort();
  if (m.msi.empty() || m.sha256.size() != 64 || m.notes.size() > tonvira::kMaxManifestNotes) std::abort();
  for (const std::string& note : m.notes) {
    if (note.empty() || note.size() > tonvira::kMaxNoteBytes || note.find_first_of("<>\n") != note.npos) {
      std::abort();
    }
  }
  return 0;
}
