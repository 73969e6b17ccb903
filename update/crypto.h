// The two cryptographic operations the updater needs, from a maintained library: CNG on
// Windows (win32/crypto.cpp), OpenSSL's libcrypto elsewhere (openssl/crypto.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tonvira {

using Sha256Digest = std::array<uint8_t, 32>;
// A CNG ECCPUBLICBLOB for P-256: "ECS1", the key length 32 (little-endian), X, Y.
using PublicKeyBlob = std::array<uint8_t, 72>;
// r then s, 32 bytes each, big-endian.
using EcdsaSignature = std::array<uint8_t, 64>;

// False only when the hash could not be computed.
bool Sha256(std::string_view bytes, Sha256Digest& digest);

// True when the signature over the digest verifies with the key; any failure is false.
bool VerifyP256Signature(const PublicKeyBlob& key, const Sha256Digest& digest,
                         const EcdsaSignature& signature);

}  // namespace tonvira
