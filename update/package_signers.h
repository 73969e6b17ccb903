// Who may sign an update package: the SHA-256 thumbprints of the code-signing certificates the
// build pins. The installer is started only on a package whose Authenticode signature verifies
// and whose signer is pinned; a build that pins nobody does not check signatures at all.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tonvira {

// Two slots, so that a renewed certificate can ship before the old one expires; an empty slot
// pins nothing. Each is 64 lower-case hex digits: the SHA-256 of the certificate's DER form.
using PackageSigners = std::array<std::string, 2>;

// The build's pins (TONVIRA_SIGNER_1, TONVIRA_SIGNER_2).
const PackageSigners& BuiltInPackageSigners();

bool AnySignerPinned(const PackageSigners& pins);
// The thumbprint (hex digits in either case) is one of the pins.
bool SignerPinned(const PackageSigners& pins, std::string_view thumbprint);

}  // namespace tonvira
