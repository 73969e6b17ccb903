// SHA-256 and ECDSA P-256 verification with OpenSSL's libcrypto: the Linux build's stand-in
// for CNG, with the same inputs (the CNG key blob, r and s as fixed 32-byte halves).
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <memory>

#include "update/crypto.h"

namespace tonvira {
namespace {

template <auto Free>
struct Deleter {
  template <typename T>
  void operator()(T* p) const {
    Free(p);
  }
};
using PkeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using PkeyCtxPtr = std::unique_ptr<EVP_PKEY_CTX, Deleter<EVP_PKEY_CTX_free>>;
using SigPtr = std::unique_ptr<ECDSA_SIG, Deleter<ECDSA_SIG_free>>;
struct OpenSslFree {
  void operator()(unsigned char* p) const { OPENSSL_free(p); }
};

// The blob's X and Y as an uncompressed point (0x04, X, Y) on prime256v1.
PkeyPtr ImportPublicKey(const PublicKeyBlob& blob) {
  unsigned char point[65];
  point[0] = 0x04;
  for (size_t i = 0; i < 64; ++i) point[1 + i] = blob[8 + i];
  char group[] = "prime256v1";
  OSSL_PARAM params[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, group, 0),
      OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point),
      OSSL_PARAM_construct_end(),
  };
  PkeyCtxPtr context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
  EVP_PKEY* key = nullptr;
  if (!context || EVP_PKEY_fromdata_init(context.get()) <= 0 ||
      EVP_PKEY_fromdata(context.get(), &key, EVP_PKEY_PUBLIC_KEY, params) <= 0) {
    return nullptr;
  }
  return PkeyPtr(key);
}

}  // namespace

struct Sha256Stream::State {
  std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX_free>> context{EVP_MD_CTX_new()};
  bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
};

Sha256Stream::Sha256Stream() : state_(std::make_unique<State>()) {}
Sha256Stream::~Sha256Stream() = default;

bool Sha256Stream::Add(std::string_view bytes) {
  state_->ok = state_->ok && EVP_DigestUpdate(state_->context.get(), bytes.data(), bytes.size()) == 1;
  return state_->ok;
}

bool Sha256Stream::Finish(Sha256Digest& digest) {
  unsigned int length = 0;
  bool ok = state_->ok && EVP_DigestFinal_ex(state_->context.get(), digest.data(), &length) == 1 &&
            length == digest.size();
  state_->ok = false;
  return ok;
}

bool Sha256(std::string_view bytes, Sha256Digest& digest) {
  unsigned int length = 0;
  return EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) == 1 &&
         length == digest.size();
}

bool VerifyP256Signature(const PublicKeyBlob& key, const Sha256Digest& digest,
                         const EcdsaSignature& signature) {
  PkeyPtr publicKey = ImportPublicKey(key);
  if (!publicKey) return false;
  // libcrypto takes the signature DER-encoded; CNG's fixed r and s become its two integers.
  SigPtr sig(ECDSA_SIG_new());
  BIGNUM* r = BN_bin2bn(signature.data(), 32, nullptr);
  BIGNUM* s = BN_bin2bn(signature.data() + 32, 32, nullptr);
  if (!sig || !r || !s || ECDSA_SIG_set0(sig.get(), r, s) != 1) {
    BN_free(r);
    BN_free(s);
    return false;
  }
  unsigned char* der = nullptr;
  int derLength = i2d_ECDSA_SIG(sig.get(), &der);
  if (derLength <= 0) return false;
  std::unique_ptr<unsigned char, OpenSslFree> derOwner(der);

  PkeyCtxPtr context(EVP_PKEY_CTX_new(publicKey.get(), nullptr));
  return context && EVP_PKEY_verify_init(context.get()) == 1 &&
         EVP_PKEY_verify(context.get(), der, static_cast<size_t>(derLength), digest.data(), digest.size()) ==
             1;
}

}  // namespace tonvira
