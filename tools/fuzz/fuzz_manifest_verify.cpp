// The signed document with a real key in the table. Two modes, by the first byte:
//  - the bytes are a document: no crash, and nothing from the fuzzer's own key is forged;
//  - the bytes, alone or after a good manifest (later lines override earlier ones), are a
//    manifest text that this fuzzer signs with the table's key: the document
//    is accepted exactly when the text parses as accepted and the document fits 16384 bytes,
//    and one flipped bit of the signed document is always refused.
// The fuzzer signs with libcrypto; the program only ever verifies.
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "update/signature.h"

namespace {

constexpr std::string_view kGoodManifest =
    "TONVIRA-UPDATE 1\nproduct=tonvira\nchannel=stable\nversion=1.5.0\nmsi=https://u.test/tonvira.msi\n"
    "sha256=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08\nseq=1\nsize=10\n";

struct Signer {
  EVP_PKEY* key = nullptr;
  tonvira::VerificationKeys table{};

  Signer() {
    key = EVP_EC_gen("P-256");
    unsigned char point[65];
    size_t length = 0;
    if (!key ||
        EVP_PKEY_get_octet_string_param(key, OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point, &length) != 1 ||
        length != 65) {
      std::abort();
    }
    tonvira::PublicKeyBlob blob{'E', 'C', 'S', '1', 32, 0, 0, 0};
    for (size_t i = 0; i < 64; ++i) blob[8 + i] = point[1 + i];
    table = {{{"p1", {}}, {"b1", blob}}};  // the second slot, so that the first is skipped
  }

  std::string SignatureText(std::string_view bytes) const {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    unsigned char der[80];
    size_t derLength = sizeof der;
    if (EVP_DigestSignInit(context, nullptr, EVP_sha256(), nullptr, key) != 1 ||
        EVP_DigestSign(context, der, &derLength, reinterpret_cast<const unsigned char*>(bytes.data()),
                       bytes.size()) != 1) {
      std::abort();
    }
    EVP_MD_CTX_free(context);
    const unsigned char* p = der;
    ECDSA_SIG* sig = d2i_ECDSA_SIG(nullptr, &p, static_cast<long>(derLength));
    unsigned char raw[64];
    if (!sig || BN_bn2binpad(ECDSA_SIG_get0_r(sig), raw, 32) != 32 ||
        BN_bn2binpad(ECDSA_SIG_get0_s(sig), raw + 32, 32) != 32) {
      std::abort();
    }
    ECDSA_SIG_free(sig);
    unsigned char text[89];
    if (EVP_EncodeBlock(text, raw, 64) != 88) std::abort();
    return std::string(reinterpret_cast<char*>(text), 88);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Signer signer;
  if (size == 0) return 0;
  std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) {
    tonvira::VerifyManifest(bytes, signer.table);
    return 0;
  }
  std::string text = data[0] % 4 == 1 ? std::string(kGoodManifest) + std::string(bytes) : std::string(bytes);
  // A text whose own "\nsig=" would end the signed part early, or that does not end in LF,
  // is not what the release tool signs.
  if (text.empty() || text.back() != '\n' || text.find("\nsig=") != text.npos) return 0;
  std::string document = text + "sig=" + signer.SignatureText(text) + "\n";
  bool expected = tonvira::ParseManifest(text).outcome == tonvira::ManifestParse::Accepted &&
                  document.size() <= tonvira::kMaxDocumentBytes;
  if (tonvira::VerifyManifest(document, signer.table).has_value() != expected) std::abort();
  if (expected) {
    size_t at = size % document.size();
    document[at] = static_cast<char>(document[at] ^ (1 << (size % 8)));
    if (tonvira::VerifyManifest(document, signer.table).has_value()) std::abort();
  }
  return 0;
}
