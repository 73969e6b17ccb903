#include "update/evaluation.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/update/release_tool.h"
#include "update/signature.h"
#include "update/sim/policy_value.h"

namespace tonvira {
namespace {

using testing::kGoodManifest;

constexpr std::string_view kSource = "https://updates.tonvira.test/cap-nhat.txt";
constexpr std::string_view kRunning = "1.4.12";

TEST(UpdatePolicy, MapsTheMachineValue) {
  EXPECT_EQ(UpdatePolicyFromValue(std::nullopt), UpdatePolicy::Automatic);
  EXPECT_EQ(UpdatePolicyFromValue(0), UpdatePolicy::Off);
  EXPECT_EQ(UpdatePolicyFromValue(1), UpdatePolicy::NotifyOnly);
  EXPECT_EQ(UpdatePolicyFromValue(2), UpdatePolicy::Automatic);
  EXPECT_EQ(UpdatePolicyFromValue(7), UpdatePolicy::Automatic);
  EXPECT_EQ(UpdatePolicyFromValue(0xFFFFFFFFu), UpdatePolicy::Automatic);

  SimulatedUpdatePolicyValue() = 1;
  EXPECT_EQ(ReadUpdatePolicy(), UpdatePolicy::NotifyOnly);
  SimulatedUpdatePolicyValue().reset();
  EXPECT_EQ(ReadUpdatePolicy(), UpdatePolicy::Automatic);
}

struct Row {
  const char* name;
  std::string manifest;  // signed by the release tool, then verified
  UpdateContext context;
  bool has_update;
  bool forced;
  bool notify_only;
  const char* reason;
};

std::string With(std::string_view from, std::string_view to) {
  std::string text(kGoodManifest);
  return text.replace(text.find(from), from.size(), to);
}
std::string Plus(std::string_view lines) {
  return std::string(kGoodManifest) + std::string(lines);
}

UpdateContext Context(UpdatePolicy policy = UpdatePolicy::Automatic, uint64_t maxSeq = 0,
                      std::string_view source = kSource) {
  UpdateContext context;
  context.sourceUrl = source;
  context.runningVersion = kRunning;
  context.max_seq = maxSeq;
  context.policy = policy;
  return context;
}

UpdateContext Marked(std::string_view stuck, std::string_view blocked) {
  UpdateContext context = Context();
  context.stuck = stuck;
  context.blocked = blocked;
  return context;
}

TEST(EvaluateUpdate, TheFirstStepThatDecidesGivesTheReason) {
  const std::string localMsi = "msi=http://localhost:8080/tonvira-1.5.0.msi";
  const std::string goodMsi = "msi=https://updates.tonvira.test/tonvira-1.5.0.msi";
  const std::string mandatory = Plus("min=1.5\n");
  const Row rows[] = {
      {"policy off", Plus("channel=beta\n"), Context(UpdatePolicy::Off), false, false, false,
       "chinh sach tat cap nhat"},
      {"beta channel", Plus("channel=beta\n"), Context(), false, false, false, "kenh khac stable"},
      {"channel in capitals", With("channel=stable", "channel=Stable"), Context(), false, false, false,
       "kenh khac stable"},
      {"replay below max_seq", std::string(kGoodManifest), Context(UpdatePolicy::Automatic, 43), false, false,
       false, "manifest cu hon ban da thay (phat lai?)"},
      {"seq equal to max_seq", std::string(kGoodManifest), Context(UpdatePolicy::Automatic, 42), true, false,
       false, "co ban moi"},
      {"msi on another host", With(goodMsi, "msi=https://mirror.tonvira.test/tonvira-1.5.0.msi"), Context(),
       false, false, false, "msi khac nguon manifest"},
      {"msi over plain http", With(goodMsi, "msi=http://updates.tonvira.test/tonvira-1.5.0.msi"), Context(),
       false, false, false, "msi khac nguon manifest"},
      {"loopback msi, same port", With(goodMsi, localMsi),
       Context(UpdatePolicy::Automatic, 0, "http://localhost:8080/cap-nhat.txt"), true, false, false,
       "co ban moi"},
      {"loopback msi, manifest from another port", With(goodMsi, localMsi),
       Context(UpdatePolicy::Automatic, 0, "http://localhost:8081/cap-nhat.txt"), false, false, false,
       "msi khac nguon manifest"},
      {"host names compare lowered", With(goodMsi, "msi=https://UPDATES.tonvira.test/tonvira-1.5.0.msi"),
       Context(), true, false, false, "co ban moi"},
      {"no origin on either side", With(goodMsi, "msi=https://a@b/tonvira-1.5.0.msi"),
       Context(UpdatePolicy::Automatic, 0, "https://c@d/cap-nhat.txt"), false, false, false,
       "msi khac nguon manifest"},
      {"upper-case .MSI", With("1.5.0.msi", "1.5.0.MSI"), Context(), false, false, false, "ten file msi la"},
      {"a space in the name", With("tonvira-1.5.0.msi", "tonvira 1.5.0.msi"), Context(), false, false, false,
       "ten file msi la"},
      {"1.4.12.0 against 1.4.12", With("version=1.5.0", "version=1.4.12.0"), Context(), false, false, false,
       "da la ban moi nhat"},
      {"older version", With("version=1.5.0", "version=1.4.9"), Context(), false, false, false,
       "da la ban moi nhat"},
      {"newer version", std::string(kGoodManifest), Context(), true, false, false, "co ban moi"},
      {"running at the minimum", Plus("min=1.4.12\n"), Context(), true, false, false, "co ban moi"},
      {"minimum above the version", Plus("min=1.6\n"), Context(), true, false, false,
       "min > version - bo qua ep"},
      {"mandatory", mandatory, Context(), true, true, false, "ban dang chay thap hon muc toi thieu"},
      {"mandatory, policy notify only", mandatory, Context(UpdatePolicy::NotifyOnly), true, false, true,
       "chinh sach chi thong bao"},
      {"mandatory, version stuck", mandatory, Marked("1.5.0.0", ""), true, false, true,
       "da cai ban nay ma khong len duoc - chi thong bao"},
      {"mandatory, version blocked", mandatory, Marked("", "1.5"), true, false, true,
       "chinh sach may chan cai ban nay - chi thong bao"},
      {"mandatory, another version stuck", mandatory, Marked("1.4.13", "1.4.14"), true, true, false,
       "ban dang chay thap hon muc toi thieu"},
  };
  std::vector<std::string> manifests;
  for (const Row& row : rows) manifests.push_back(row.manifest);
  std::vector<std::string> documents = testing::SignAll("p1", manifests);
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.name);
    std::optional<Manifest> manifest = VerifyManifest(documents[i], testing::TestKeys());
    ASSERT_TRUE(manifest.has_value());
    UpdateEvaluation result = EvaluateUpdate(*manifest, row.context);
    EXPECT_EQ(result.reason, row.reason);
    EXPECT_EQ(result.has_update, row.has_update);
    EXPECT_EQ(result.forced, row.forced);
    EXPECT_EQ(result.notify_only, row.notify_only);
  }
}

TEST(EvaluateUpdate, AnUnreadableRunningVersionOffersNothing) {
  Manifest manifest = ParseManifest(kGoodManifest).manifest;
  UpdateContext context = Context();
  context.runningVersion = "dev";
  EXPECT_EQ(EvaluateUpdate(manifest, context).reason, "khong doc duoc phien ban");
  EXPECT_FALSE(EvaluateUpdate(manifest, context).has_update);
}

}  // namespace
}  // namespace tonvira
