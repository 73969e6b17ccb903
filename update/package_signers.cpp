#include "update/package_signers.h"

#include <algorithm>

namespace tonvira {
namespace {

char LowerHex(char c) {
  return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool AnySignerPinned(const PackageSigners& pins) {
  return std::any_of(pins.begin(), pins.end(), [](const std::string& pin) { return !pin.empty(); });
}

bool SignerPinned(const PackageSigners& pins, std::string_view thumbprint) {
  if (thumbprint.size() != 64) return false;
  return std::any_of(pins.begin(), pins.end(), [&](const std::string& pin) {
    return pin.size() == thumbprint.size() && std::equal(pin.begin(), pin.end(), thumbprint.begin(),
                                                         [](char p, char t) { return p == LowerHex(t); });
  });
}

}  // namespace tonvira
