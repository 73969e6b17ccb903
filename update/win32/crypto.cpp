// SHA-256 and ECDSA P-256 verification through CNG (bcrypt.dll).
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include "update/crypto.h"

namespace tonvira {
namespace {

class Algorithm {
 public:
  explicit Algorithm(const wchar_t* name) {
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, name, nullptr, 0))) handle_ = nullptr;
  }
  ~Algorithm() {
    if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  Algorithm(const Algorithm&) = delete;
  Algorithm& operator=(const Algorithm&) = delete;
  BCRYPT_ALG_HANDLE get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Key {
 public:
  Key() = default;
  ~Key() {
    if (handle_) BCryptDestroyKey(handle_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  BCRYPT_KEY_HANDLE* out() { return &handle_; }
  BCRYPT_KEY_HANDLE get() const { return handle_; }

 private:
  BCRYPT_KEY_HANDLE handle_ = nullptr;
};

}  // namespace

bool Sha256(std::string_view bytes, Sha256Digest& digest) {
  Algorithm sha256(BCRYPT_SHA256_ALGORITHM);
  if (!sha256.get() || bytes.size() > 0xFFFFFFFFu) return false;
  auto* input = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
  return BCRYPT_SUCCESS(BCryptHash(sha256.get(), nullptr, 0, input, static_cast<ULONG>(bytes.size()),
                                   digest.data(), static_cast<ULONG>(digest.size())));
}

bool VerifyP256Signature(const PublicKeyBlob& key, const Sha256Digest& digest,
                         const EcdsaSignature& signature) {
  Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!ecdsa.get()) return false;
  // CNG takes its buffers as non-const; it does not write to them.
  PublicKeyBlob blob = key;
  Sha256Digest hash = digest;
  EcdsaSignature sig = signature;
  Key imported;
  if (!BCRYPT_SUCCESS(BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, imported.out(),
                                          blob.data(), static_cast<ULONG>(blob.size()), 0))) {
    return false;
  }
  return BCRYPT_SUCCESS(BCryptVerifySignature(imported.get(), nullptr, hash.data(),
                                              static_cast<ULONG>(hash.size()), sig.data(),
                                              static_cast<ULONG>(sig.size()), 0));
}

}  // namespace tonvira
