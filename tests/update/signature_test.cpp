#include "update/signature.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/update/release_tool.h"

namespace tonvira {
namespace {

using testing::kGoodManifest;
using testing::Sign;
using testing::SignAll;
using testing::TestKeyBlob;
using testing::TestKeys;

constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The signature text of a signed document (after "sig=", without the LF).
std::string SignatureText(const std::string& document) {
  size_t at = document.find("\nsig=");
  return document.substr(at + 5, document.size() - at - 6);
}
std::string SignedPart(const std::string& document) {
  return document.substr(0, document.find("\nsig=") + 1);
}

TEST(VerifyManifest, AcceptsADocumentTheReleaseToolSigned) {
  std::string document = Sign("p1", std::string(kGoodManifest));
  std::optional<Manifest> manifest = VerifyManifest(document, TestKeys());
  ASSERT_TRUE(manifest.has_value());
  EXPECT_EQ(*manifest, ParseManifest(kGoodManifest).manifest);
  // The LF after the signature may be left out.
  EXPECT_TRUE(VerifyManifest(document.substr(0, document.size() - 1), TestKeys()).has_value());
}

TEST(VerifyManifest, SignedDocumentsAreAcceptedOnlyWhenTheirTextIs) {
  struct Row {
    const char* name;
    std::string manifest;
    bool accepted;
  };
  std::string crlf;
  for (char c : kGoodManifest) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  auto with = [](std::string_view from, std::string_view to) {
    std::string text(kGoodManifest);
    return text.replace(text.find(from), from.size(), to);
  };
  std::string thirteen(kGoodManifest);
  for (int i = 2; i <= 13; ++i) thirteen += "note=n" + std::to_string(i) + "\n";
  const Row rows[] = {
      {"CRLF signed part", crlf, false},
      {"seq 0", with("seq=42", "seq=0"), false},
      {"size 0", with("size=3145728", "size=0"), false},
      {"upper-case hex", with("sha256=9f86d", "sha256=9F86D"), false},
      {"product in another case", with("product=tonvira", "product=TONVIRA"), false},
      {"format 2", with("TONVIRA-UPDATE 1", "TONVIRA-UPDATE 2"), false},
      {"13 notes", thirteen, true},
      {"a note with <", std::string(kGoodManifest) + "note=<script>\n", true},
  };
  std::vector<std::string> manifests;
  for (const Row& row : rows) manifests.push_back(row.manifest);
  std::vector<std::string> documents = SignAll("p1", manifests);
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    std::optional<Manifest> manifest = VerifyManifest(documents[i], TestKeys());
    EXPECT_EQ(manifest.has_value(), rows[i].accepted);
    if (manifest) {
      EXPECT_EQ(manifest->notes.size(), i == 6 ? 12u : 1u);
    }
  }
}

TEST(VerifyManifest, TheEnvelopeIsExact) {
  std::string document = Sign("p1", std::string(kGoodManifest));
  std::string part = SignedPart(document);
  std::string text = SignatureText(document);
  ASSERT_EQ(text.size(), 88u);
  ASSERT_TRUE(VerifyManifest(part + "sig=" + text + "\n", TestKeys()).has_value());

  // The last data character carries 2 bits of the signature and 4 spare bits; setting one
  // spare bit keeps the 64 bytes a lenient decoder would return.
  std::string spare = text;
  spare[85] = kBase64[kBase64.find(spare[85]) ^ 1];
  std::string noPadding = text.substr(0, 86) + "AA";
  std::string badCharacter = text;
  badCharacter[10] = '-';

  struct Row {
    const char* name;
    std::string document;
  };
  const Row rows[] = {
      {"sig= at the very start", "sig=" + text + "\n"},
      {"no sig= line", part},
      {"sig= without its LF before", part.substr(0, part.size() - 1) + "sig=" + text + "\n"},
      {"88 characters not ending ==", part + "sig=" + noPadding + "\n"},
      {"non-zero spare bits", part + "sig=" + spare + "\n"},
      {"a character outside Base64", part + "sig=" + badCharacter + "\n"},
      {"87 characters", part + "sig=" + text.substr(1) + "\n"},
      {"a second LF at the end", part + "sig=" + text + "\n\n"},
      {"a line after the signature", part + "sig=" + text + "\nnote=x\n"},
      {"a space after the signature", part + "sig=" + text + " \n"},
      {"CR LF after the signature", part + "sig=" + text + "\r\n"},
      {"too short", "\nsig"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(VerifyManifest(row.document, TestKeys()).has_value());
  }
  ASSERT_FALSE(DecodeSignatureText(spare).has_value());
  std::optional<EcdsaSignature> decoded = DecodeSignatureText(text);
  ASSERT_TRUE(decoded.has_value());
}

TEST(VerifyManifest, DocumentSizeIsFiveTo16384Bytes) {
  // A filler line of an unknown key brings the document to an exact size.
  auto ofSize = [](size_t total) {
    std::string base = std::string(kGoodManifest) + "filler=";
    size_t signatureLine = 4 + 88 + 1;
    return base + std::string(total - base.size() - signatureLine - 1, 'x') + "\n";
  };
  std::vector<std::string> documents = SignAll("p1", {ofSize(16384), ofSize(16385)});
  ASSERT_EQ(documents[0].size(), 16384u);
  ASSERT_EQ(documents[1].size(), 16385u);
  EXPECT_TRUE(VerifyManifest(documents[0], TestKeys()).has_value());
  EXPECT_FALSE(VerifyManifest(documents[1], TestKeys()).has_value());
}

TEST(VerifyManifest, OnlyAKeyOfTheTableVerifies) {
  std::vector<std::string> byBackup = SignAll("b1", {std::string(kGoodManifest)});
  std::string byStranger = Sign("stranger", std::string(kGoodManifest));
  VerificationKeys primaryOnly{{{"p1", TestKeyBlob("p1")}, {"b1", {}}}};
  VerificationKeys backupOnly{{{"p1", {}}, {"b1", TestKeyBlob("b1")}}};
  VerificationKeys none{{{"p1", {}}, {"b1", {}}}};

  // The second slot verifies what the first does not.
  EXPECT_TRUE(VerifyManifest(byBackup[0], TestKeys()).has_value());
  EXPECT_TRUE(VerifyManifest(byBackup[0], backupOnly).has_value());
  EXPECT_FALSE(VerifyManifest(byBackup[0], primaryOnly).has_value());
  EXPECT_FALSE(VerifyManifest(byStranger, TestKeys()).has_value());
  EXPECT_FALSE(VerifyManifest(Sign("p1", std::string(kGoodManifest)), none).has_value());
  EXPECT_EQ(UsableKeyCount(none), 0);

  // A slot with a damaged header is skipped even when X and Y are right.
  VerificationKeys damaged = backupOnly;
  damaged[1].blob[3] = '2';  // "ECS2": a P-256 private-key blob's magic
  EXPECT_FALSE(VerifyManifest(byBackup[0], damaged).has_value());
  EXPECT_EQ(UsableKeyCount(damaged), 0);
  damaged = backupOnly;
  damaged[1].blob[4] = 48;  // a P-384 length
  EXPECT_EQ(UsableKeyCount(damaged), 0);
  EXPECT_EQ(UsableKeyCount(TestKeys()), 2);
  EXPECT_EQ(UsableKeyCount(primaryOnly), 1);
}

TEST(VerifyManifest, ASignatureBelongsToItsOwnDocument) {
  std::string other(kGoodManifest);
  other.replace(other.find("seq=42"), 6, "seq=43");
  std::vector<std::string> documents = SignAll("p1", {std::string(kGoodManifest), other});
  ASSERT_TRUE(VerifyManifest(documents[1], TestKeys()).has_value());
  EXPECT_FALSE(
      VerifyManifest(SignedPart(documents[1]) + "sig=" + SignatureText(documents[0]) + "\n", TestKeys())
          .has_value());
}

// Property: whichever bit of a signed document is flipped, the document is refused.
TEST(VerifyManifest, AnyFlippedBitIsRefused) {
  std::string document = Sign("p1", std::string(kGoodManifest) + "min=1.4\n");
  VerificationKeys keys = TestKeys();
  ASSERT_TRUE(VerifyManifest(document, keys).has_value());
  int accepted = 0;
  for (size_t i = 0; i < document.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string changed = document;
      changed[i] = static_cast<char>(changed[i] ^ (1 << bit));
      if (VerifyManifest(changed, keys).has_value()) {
        ADD_FAILURE() << "accepted with bit " << bit << " of byte " << i << " flipped";
        ++accepted;
      }
    }
  }
  EXPECT_EQ(accepted, 0);
}

}  // namespace
}  // namespace tonvira
