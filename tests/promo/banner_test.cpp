// The banner: the request, the answer's strings, the cache, and fetches from a loopback server.
#include <gtest/gtest.h>

#include <filesystem>

#include "promo/banner_answer.h"
#include "promo/banner_request.h"
#include "promo/banner_store.h"
#include "promo/worker.h"
#include "tests/update/local_server.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

namespace fs = std::filesystem;
using testing::LocalServer;

TEST(JsonStringField, DecodesTheEscapes) {
  struct Row {
    const char* json;
    std::optional<std::string> value;
  };
  const Row rows[] = {
      {R"({"title":"Xin chào"})", "Xin chào"},
      {R"({ "title" :   "a" })", "a"},
      {R"({"title":"a\nb\rc\td"})", "a\nb\rc\td"},
      {R"({"title":"\"q\" \\ \/ \x"})", "\"q\" \\ / x"},
      {R"({"title":"Ti\u1ebfng Vi\u1EC7t"})", "Tiếng Việt"},
      {R"({"title":"\ud83d\ude00"})", "\xF0\x9F\x98\x80"},  // a surrogate pair is one character
      {R"({"title":"\ud83d x"})", "\xEF\xBF\xBD x"},        // a lone half is U+FFFD
      {R"({"title":"\u12"})", std::nullopt},                // too few digits
      {R"({"title":"open)", std::nullopt},                  // never closed
      {R"({"title" 1:"a"})", std::nullopt},
      {R"({"title":1})", std::nullopt},
      {R"({"subtitle":"x","title":"y"})", "y"},  // the key in quotes, not inside another
      {R"({"other":"x"})", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.json);
    EXPECT_EQ(JsonStringField(row.json, "title"), row.value);
  }
}

TEST(ParseBannerAnswer, TitleNoBannerOrUnusable) {
  BannerAnswer a = ParseBannerAnswer(R"({"ads":[{"title":"T\u00ea","text":"x\ny","link":"https://a.vn"}]})");
  EXPECT_EQ(a.kind, BannerAnswerKind::Banner);
  EXPECT_EQ(a.banner.title, u"Tê");
  EXPECT_EQ(a.banner.text, u"x y");  // one line each in the cache
  EXPECT_EQ(a.banner.link, u"https://a.vn");
  EXPECT_EQ(ParseBannerAnswer(R"({"ads":[]})").kind, BannerAnswerKind::NoBanner);
  EXPECT_EQ(ParseBannerAnswer(R"({"ads":[],"title":""})").kind, BannerAnswerKind::NoBanner);
  EXPECT_EQ(ParseBannerAnswer(R"({"ads": []})").kind, BannerAnswerKind::Unusable);
  EXPECT_EQ(ParseBannerAnswer("<html>").kind, BannerAnswerKind::Unusable);
  // Only the first 65536 bytes are read.
  std::string padded = "{\"pad\":\"" + std::string(kMaxBannerAnswerBytes, ' ') + "\",\"title\":\"late\"}";
  EXPECT_EQ(ParseBannerAnswer(padded).kind, BannerAnswerKind::Unusable);
}

TEST(BannerRequest, MachineIdentifier) {
  EXPECT_EQ(MachineIdFromGuid(u"{6F1A2B3C-4D5E-6F70-8192-A3B4C5D6E7F8}"), "6f1a2b3c4d5e6f708192a3b4c5d6e7f8");
  EXPECT_EQ(MachineIdFromGuid(std::nullopt), "0000000000000000");
  EXPECT_EQ(MachineIdFromGuid(u"abc-123-xyz"), "0000000000000000");
  EXPECT_EQ(MachineIdFromGuid(u"0123456789abcdef"), "0123456789abcdef");
  EXPECT_EQ(MachineIdFromGuid(std::u16string(70, u'A')), std::string(64, 'a'));
}

TEST(BannerRequest, ServerPortAndScheme) {
  struct Row {
    const char16_t* server;
    const char* host;
    uint16_t port;
    bool tls;
  };
  const Row rows[] = {
      {u"ads.example", "ads.example", 443, true},       {u"localhost", "localhost", 18090, false},
      {u"127.0.0.1", "127.0.0.1", 18090, false},        {u"127.0.0.1:4321", "127.0.0.1", 4321, false},
      {u"ads.example:8443", "ads.example", 8443, true}, {u"ads.example:http", "ads.example", 443, true},
      {u"ads.example:70000", "ads.example", 443, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Utf16ToUtf8(row.server));
    BannerServer s = BannerServerFrom(row.server);
    EXPECT_EQ(s.host, row.host);
    EXPECT_EQ(s.port, row.port);
    EXPECT_EQ(s.tls, row.tls);
  }
}

TEST(BannerRequest, QueryInItsOrder) {
  BannerRequestInputs in;
  in.builtInHost = u"ads.example";
  in.runningVersion = u"1.4.12";
  in.machineGuid = u"{00112233-4455-6677-8899-AABBCCDDEEFF}";
  in.computerName = u"Máy Hà";
  EXPECT_EQ(BannerRequestUrl(in),
            "https://ads.example/api/v1/ads?product=tonvira&app=tonvira&mid=00112233445566778899aabbccddeeff"
            "&host=M%C3%A1y%20H%C3%A0&v=1.4.12&lang=vi");
  in.serverVariable = u"localhost";
  in.versionVariable = u"2.0 beta";
  in.machineGuid.reset();
  in.computerName.clear();
  EXPECT_EQ(
      BannerRequestUrl(in),
      "http://localhost:18090/api/v1/ads?product=tonvira&app=tonvira&mid=0000000000000000&host=&v=2.0%20beta"
      "&lang=vi");
  in.serverVariable = std::u16string(256, u'x');  // too long: the built-in host
  in.versionVariable = u"";
  EXPECT_TRUE(BannerRequestUrl(in).starts_with("https://ads.example/"));
  EXPECT_TRUE(BannerRequestUrl(in).ends_with("&v=1.4.12&lang=vi"));
}

class BannerFetch : public ::testing::Test {
 protected:
  BannerFetch() {
    folder_ =
        fs::path(::testing::TempDir()) / ("tonvira-banner-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    cache_ = Utf8ToUtf16((folder_ / "banner.txt").string());
    inputs_.serverVariable = Utf8ToUtf16(server_.Host());
    inputs_.builtInHost = u"never.contacted.example";
    inputs_.runningVersion = u"1.4.12";
  }
  ~BannerFetch() override { fs::remove_all(folder_); }
  int BannerRequests() const {
    int n = 0;
    for (const std::string& line : server_.Requests()) n += line.starts_with("/api/v1/ads?");
    return n;
  }

  LocalServer server_;
  fs::path folder_;
  std::u16string cache_;
  BannerRequestInputs inputs_;
  BannerStore store_;
};

TEST_F(BannerFetch, ABannerIsStoredAndCached) {
  server_.Put("api/v1/ads", R"({"ads":[{"title":"Ti\u1ebfng \"Vi\u1ec7t\"","text":"D\u00f2ng 2\tx",)"
                            R"("link":"https:\/\/tonvira.vn\/a"}]})");
  EXPECT_TRUE(FetchBanner(store_, cache_, inputs_));
  Banner b = CurrentBanner(store_);
  EXPECT_EQ(b.title, u"Tiếng \"Việt\"");
  EXPECT_EQ(b.text, u"Dòng 2\tx");
  EXPECT_EQ(b.link, u"https://tonvira.vn/a");
  EXPECT_EQ(testing::ReadAll(folder_ / "banner.txt"), "Tiếng \"Việt\"\nDòng 2\tx\nhttps://tonvira.vn/a\n");
  ASSERT_EQ(BannerRequests(), 1);
  EXPECT_NE(server_.Requests()[0].find("&mid="), std::string::npos);
  BannerStore later;
  LoadBannerCache(later, cache_);
  EXPECT_EQ(CurrentBanner(later).title, b.title);
  EXPECT_EQ(CurrentBanner(later).link, b.link);
}

TEST_F(BannerFetch, NoBannerOrAFailureKeepsTheBanner) {
  Banner before = CurrentBanner(store_);
  server_.Put("api/v1/ads", R"({"ads":[]})");
  EXPECT_TRUE(FetchBanner(store_, cache_, inputs_));
  server_.Put("api/v1/ads", "{\"x\":\"" + std::string(70000, 'a') + "\",\"title\":\"late\"}");
  EXPECT_FALSE(FetchBanner(store_, cache_, inputs_));
  server_.Answer("api/v1/ads", 500);
  EXPECT_FALSE(FetchBanner(store_, cache_, inputs_));
  EXPECT_EQ(CurrentBanner(store_).title, before.title);
  EXPECT_FALSE(fs::exists(folder_ / "banner.txt"));
  LoadBannerCache(store_, cache_);  // missing: the fallback stays
  EXPECT_EQ(CurrentBanner(store_).title, FallbackBanner().title);
  EXPECT_TRUE(FallbackBanner().link.starts_with(u"https://"));
}

TEST_F(BannerFetch, TheWorkerFetchesOnlyWithCloudOnAndAtMostEverySixHours) {
  server_.Put("api/v1/ads", R"({"title":"T"})");
  UpdaterSetup setup;  // no key: the update check is skipped without a request
  setup.dataFolder = Utf8ToUtf16(folder_.string());
  Updater updater(setup);
  SystemWorkerClock clock;
  WorkerSignals signals;
  bool cloud = false;
  Worker worker{updater, store_,  cache_, [this] { return inputs_; }, [&cloud] { return cloud; },
                clock,   signals, {}};
  EXPECT_TRUE(RunWorkerCycle(worker));
  EXPECT_EQ(BannerRequests(), 0);
  cloud = true;
  EXPECT_TRUE(RunWorkerCycle(worker));
  EXPECT_TRUE(RunWorkerCycle(worker));
  EXPECT_EQ(BannerRequests(), 1);
  EXPECT_EQ(CurrentBanner(store_).title, u"T");
  worker.schedule.lastBannerWallMs = *worker.schedule.lastBannerWallMs - kBannerPeriodMs;
  server_.Answer("api/v1/ads", 503);
  EXPECT_FALSE(RunWorkerCycle(worker));  // a due banner that fails fails the cycle
  EXPECT_EQ(BannerRequests(), 2);
  EXPECT_EQ(CurrentBanner(store_).title, u"T");
}

}  // namespace
}  // namespace tonvira
