#include "update/signature.h"

namespace tonvira {
namespace {

constexpr std::string_view kSignatureMarker = "\nsig=";
constexpr size_t kSignatureTextBytes = 88;

// The standard Base64 alphabet; -1 for any other byte.
int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

bool IsUsableKey(const PublicKeyBlob& blob) {
  return blob[0] == 'E' && blob[1] == 'C' && blob[2] == 'S' && blob[3] == '1' && blob[4] == 32 &&
         blob[5] == 0 && blob[6] == 0 && blob[7] == 0;
}

int UsableKeyCount(const VerificationKeys& keys) {
  int count = 0;
  for (const VerificationKey& key : keys) count += IsUsableKey(key.blob) ? 1 : 0;
  return count;
}

std::optional<EcdsaSignature> DecodeSignatureText(std::string_view text) {
  if (text.size() != kSignatureTextBytes || !text.ends_with("==")) return std::nullopt;
  // 86 characters carry 516 bits: the 512 of the signature and 4 spare ones, which must be
  // zero so that one signature has exactly one text.
  EcdsaSignature signature{};
  uint32_t bits = 0;
  int held = 0;
  size_t out = 0;
  for (size_t i = 0; i + 2 < text.size(); ++i) {
    int value = Base64Value(text[i]);
    if (value < 0) return std::nullopt;
    bits = (bits << 6) | static_cast<uint32_t>(value);
    held += 6;
    if (held >= 8) {
      held -= 8;
      signature[out++] = static_cast<uint8_t>(bits >> held);
      bits &= (1u << held) - 1;
    }
  }
  if (out != signature.size() || bits != 0) return std::nullopt;
  return signature;
}

std::optional<Manifest> VerifyManifest(std::string_view document, const VerificationKeys& keys) {
  if (document.size() < kMinDocumentBytes || document.size() > kMaxDocumentBytes) return std::nullopt;
  size_t marker = document.find(kSignatureMarker);
  if (marker == document.npos) return std::nullopt;
  std::string_view signedPart = document.substr(0, marker + 1);
  std::string_view signatureText = document.substr(marker + kSignatureMarker.size());
  if (signatureText.ends_with('\n')) signatureText.remove_suffix(1);
  if (signatureText.find('\n') != signatureText.npos) return std::nullopt;
  std::optional<EcdsaSignature> signature = DecodeSignatureText(signatureText);
  if (!signature) return std::nullopt;

  Sha256Digest digest{};
  if (!Sha256(signedPart, digest)) return std::nullopt;
  bool verified = false;
  for (const VerificationKey& key : keys) {
    if (IsUsableKey(key.blob) && VerifyP256Signature(key.blob, digest, *signature)) {
      verified = true;
      break;
    }
  }
  if (!verified) return std::nullopt;

  ParsedManifest parsed = ParseManifest(signedPart);
  if (parsed.outcome != ManifestParse::Accepted) return std::nullopt;
  return std::move(parsed.manifest);
}

}  // namespace tonvira
