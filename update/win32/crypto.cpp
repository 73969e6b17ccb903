// SHA-256 and ECDSA P-256 verification through CNG (bcrypt.dll).
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include "text/win32/handle.h"
#include "update/crypto.h"

namespace tonvira {
namespace {

// The provider of an algorithm; empty when it cannot be opened.
AlgorithmHandle OpenAlgorithm(const wchar_t* name) {
  AlgorithmHandle algorithm;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(algorithm.put(), name, nullptr, 0))) algorithm.release();
  return algorithm;
}

}  // namespace

struct Sha256Stream::State {
  AlgorithmHandle algorithm = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
  HashHandle hash;
  bool ok =
      algorithm && BCRYPT_SUCCESS(BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, nullptr, 0, 0));
};

Sha256Stream::Sha256Stream() : state_(std::make_unique<State>()) {}
Sha256Stream::~Sha256Stream() = default;

bool Sha256Stream::Add(std::string_view bytes) {
  auto* input = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
  state_->ok = state_->ok && bytes.size() <= 0xFFFFFFFFu &&
               BCRYPT_SUCCESS(BCryptHashData(state_->hash.get(), input, static_cast<ULONG>(bytes.size()), 0));
  return state_->ok;
}

bool Sha256Stream::Finish(Sha256Digest& digest) {
  bool ok = state_->ok && BCRYPT_SUCCESS(BCryptFinishHash(state_->hash.get(), digest.data(),
                                                          static_cast<ULONG>(digest.size()), 0));
  state_->ok = false;
  return ok;
}

bool Sha256(std::string_view bytes, Sha256Digest& digest) {
  AlgorithmHandle sha256 = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
  if (!sha256 || bytes.size() > 0xFFFFFFFFu) return false;
  auto* input = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
  return BCRYPT_SUCCESS(BCryptHash(sha256.get(), nullptr, 0, input, static_cast<ULONG>(bytes.size()),
                                   digest.data(), static_cast<ULONG>(digest.size())));
}

bool VerifyP256Signature(const PublicKeyBlob& key, const Sha256Digest& digest,
                         const EcdsaSignature& signature) {
  AlgorithmHandle ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!ecdsa) return false;
  // CNG takes its buffers as non-const; it does not write to them.
  PublicKeyBlob blob = key;
  Sha256Digest hash = digest;
  EcdsaSignature sig = signature;
  KeyHandle imported;
  if (!BCRYPT_SUCCESS(BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, imported.put(),
                                          blob.data(), static_cast<ULONG>(blob.size()), 0))) {
    return false;
  }
  return BCRYPT_SUCCESS(BCryptVerifySignature(imported.get(), nullptr, hash.data(),
                                              static_cast<ULONG>(hash.size()), sig.data(),
                                              static_cast<ULONG>(sig.size()), 0));
}

}  // namespace tonvira
