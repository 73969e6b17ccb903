// The signed document around the manifest, and the keys it is checked with.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "update/crypto.h"
#include "update/manifest.h"

namespace tonvira {

struct VerificationKey {
  std::string_view id;  // "p1" the primary key, "b1" the backup key
  PublicKeyBlob blob{};
};
// Tried in order; the first that verifies ends the search.
using VerificationKeys = std::array<VerificationKey, 2>;

// A slot counts only with the P-256 public header ("ECS1", length 32); anything else is empty.
bool IsUsableKey(const PublicKeyBlob& blob);
int UsableKeyCount(const VerificationKeys& keys);

// The keys this build was given (the build's update-keys file); a build without them has no
// usable key and never accepts a manifest.
const VerificationKeys& BuiltInKeys();

inline constexpr size_t kMinDocumentBytes = 5;
inline constexpr size_t kMaxDocumentBytes = 16384;

// The 64 bytes of an 88-character Base64 signature ending "==", with the spare bits of the
// last data character zero; nothing when the text is anything else.
std::optional<EcdsaSignature> DecodeSignatureText(std::string_view text);

// The document is "<signed part>sig=<signature>" where the signed part ends in the first LF
// that is followed by "sig=". Accepted only when a usable key verifies the signature over the
// signed part and that part parses as an accepted manifest. A failure says nothing more.
std::optional<Manifest> VerifyManifest(std::string_view document, const VerificationKeys& keys);

}  // namespace tonvira
