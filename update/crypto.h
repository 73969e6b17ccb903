// The two cryptographic operations the updater needs, from a maintained library: CNG on
// Windows (win32/crypto.cpp), OpenSSL's libcrypto elsewhere (openssl/crypto.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tonvira {

using Sha256Digest = std::array<uint8_t, 32>;
// A CNG ECCPUBLICBLOB for P-256: "ECS1", the key length 32 (little-endian), X, Y.
using PublicKeyBlob = std::array<uint8_t, 72>;
// r then s, 32 bytes each, big-endian.
using EcdsaSignature = std::array<uint8_t, 64>;

// 64 lower-case hex digits.
inline std::string HexOf(const Sha256Digest& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : digest) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

// False only when the hash could not be computed.
bool Sha256(std::string_view bytes, Sha256Digest& digest);

// SHA-256 of bytes that arrive in parts (a download). A failure at any step is final.
class Sha256Stream {
 public:
  Sha256Stream();
  ~Sha256Stream();
  Sha256Stream(const Sha256Stream&) = delete;
  Sha256Stream& operator=(const Sha256Stream&) = delete;

  bool Add(std::string_view bytes);
  // False when any step failed; the stream is used up afterwards.
  bool Finish(Sha256Digest& digest);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// True when the signature over the digest verifies with the key; any failure is false.
bool VerifyP256Signature(const PublicKeyBlob& key, const Sha256Digest& digest,
                         const EcdsaSignature& signature);

}  // namespace tonvira
