// Signed documents for the tests, made with the release tool's signing (tools/release, through
// sign_for_tests.py, which signs invalid manifests too) and the throw-away keys the build
// generated: the vendor's own signing path, not a copy of it in C++.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "update/signature.h"

namespace tonvira::testing {

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// "p1", "b1" or "stranger".
inline PublicKeyBlob TestKeyBlob(std::string_view name) {
  std::string bytes =
      ReadAll(std::filesystem::path(TONVIRA_UPDATE_TEST_KEYS) / (std::string(name) + ".blob"));
  PublicKeyBlob blob{};
  EXPECT_EQ(bytes.size(), blob.size()) << name;
  for (size_t i = 0; i < blob.size() && i < bytes.size(); ++i) blob[i] = static_cast<uint8_t>(bytes[i]);
  return blob;
}

// The table of a build given the test keys p1 and b1.
inline VerificationKeys TestKeys() {
  return {{{"p1", TestKeyBlob("p1")}, {"b1", TestKeyBlob("b1")}}};
}

// Signs each manifest with the named key in one run of the release tool.
inline std::vector<std::string> SignAll(std::string_view key, const std::vector<std::string>& manifests) {
  static std::atomic<int> batch{0};
  std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) /
      ("tonvira-sign-" + std::to_string(::getpid()) + "-" + std::to_string(batch++));
  std::filesystem::create_directories(folder);
  std::string command = "TONVIRA_KEY_PASSPHRASE='" TONVIRA_UPDATE_TEST_PASSPHRASE
                        "' python3 -B '" TONVIRA_TEST_SIGNER "' --private '" TONVIRA_UPDATE_TEST_KEYS "/" +
                        std::string(key) + ".pem'";
  for (size_t i = 0; i < manifests.size(); ++i) {
    WriteAll(folder / std::to_string(i), manifests[i]);
    command += " '" + (folder / std::to_string(i)).string() + "' '" +
               (folder / (std::to_string(i) + ".sig")).string() + "'";
  }
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::vector<std::string> signed_documents;
  for (size_t i = 0; i < manifests.size(); ++i) {
    signed_documents.push_back(ReadAll(folder / (std::to_string(i) + ".sig")));
  }
  std::filesystem::remove_all(folder);
  return signed_documents;
}

inline std::string Sign(std::string_view key, const std::string& manifest) {
  return SignAll(key, {manifest})[0];
}

// A manifest that is accepted as it stands; tests change one line of it.
inline constexpr std::string_view kGoodManifest =
    "TONVIRA-UPDATE 1\n"
    "product=tonvira\n"
    "channel=stable\n"
    "version=1.5.0\n"
    "published=2025-03-01\n"
    "msi=https://updates.tonvira.test/tonvira-1.5.0.msi\n"
    "sha256=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08\n"
    "seq=42\n"
    "size=3145728\n"
    "note=Gõ nhanh hơn trong Excel\n";

}  // namespace tonvira::testing
