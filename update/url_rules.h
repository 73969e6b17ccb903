// What a URL from the update manifest, or the one it came from, must look like before the
// updater fetches anything from it or names a file after it.
#pragma once

#include <string>
#include <string_view>

namespace tonvira {

// "https://Updates.Example:8443/a/b.msi" -> "https://updates.example:8443/"; empty unless the
// scheme is exactly "https" or "http" and a "/" ends a non-empty authority made only of
// a-z (A-Z lowered), 0-9, ":", "-" and "." (so no user part with "@").
std::string UrlOrigin(std::string_view url);

// Any https URL; over plain http only the loopback hosts 127.0.0.1 and localhost, with or
// without a port.
bool UrlAllowed(std::string_view url);

// The name after the last "/" when it is 5 to 80 bytes of A-Z, a-z, 0-9, "-", "_", "." and
// ends in ".msi" (lower case); empty otherwise.
std::string InstallerFileName(std::string_view url);

}  // namespace tonvira
