// Whole sentences typed key by key with the shipped word lists, as a typist would type
// them: Telex with the tone key at the end of each syllable, English words as they are.
// The expected text is what the typist meant.
#include <gtest/gtest.h>

#include <filesystem>

#include "decide/lexicon.h"
#include "engine/engine.h"
#include "sim/sim_field.h"
#include "text/utf8.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace tonvira {
namespace {

struct SentenceRow {
  const char16_t* keys;
  const char16_t* meant;
};

const SentenceRow kMixed[] = {
    {u"Anh xem lai cais slide nayf nhes", u"Anh xem lai cái slide này nhé"},
    {u"Tooi ddang hocj tieengs Anh", u"Tôi đang học tiếng Anh"},
    {u"Guwir file cho tooi nhes", u"Gửi file cho tôi nhé"},
    {u"Mai mifnh hopj online lucs 9h", u"Mai mình họp online lúc 9h"},
    {u"Cais laptop nayf chayj Windows 11", u"Cái laptop này chạy Windows 11"},
    {u"Em ddax guwir email cho seeps roofi", u"Em đã gửi email cho sếp rồi"},
    {u"Deadline cuar project laf thuws sasu", u"Deadline của project là thứ sáu"},
    {u"Tooi khoong bieets password cuar wifi", u"Tôi không biết password của wifi"},
    {u"Banj cos theer share screen khoong?", u"Bạn có thể share screen không?"},
    {u"Hoom nay trowif muwa to quas", u"Hôm nay trời mưa to quá"},
    {u"Chungs tooi ddi uoongs coffee", u"Chúng tôi đi uống coffee"},
    {u"Vui longf check laij report truwowcs thuws hai", u"Vui lòng check lại report trước thứ hai"},
    {u"Tooi thichs nghe nhacj pop vaf rock", u"Tôi thích nghe nhạc pop và rock"},
    {u"Bao giowf banj release version mowis?", u"Bao giờ bạn release version mới?"},
    {u"Anh aays laf CEO cuar startup ddos", u"Anh ấy là CEO của startup đó"},
    {u"Nhows backup data truwowcs khi update", u"Nhớ backup data trước khi update"},
    {u"Cos bug trong module login", u"Có bug trong module login"},
    {u"Mifnh sex guwir link Google Drive sau", u"Mình sẽ gửi link Google Drive sau"},
    {u"Hoom qua tooi xem phim Avengers", u"Hôm qua tôi xem phim Avengers"},
    {u"Team mifnh cos meeting lucs 3 giowf chieeuf", u"Team mình có meeting lúc 3 giờ chiều"},
    {u"Trowif ddang nawngs ddepj", u"Trời đang nắng đẹp"},
    {u"Tooi caanf mootj cais laptop mowis", u"Tôi cần một cái laptop mới"},
    {u"Ddieeuf quan trongj nhaats laf suwcs khoer", u"Điều quan trọng nhất là sức khỏe"},
    {u"Coo gais nayf xinh quas", u"Cô gái này xinh quá"},
    {u"Tooi sinh ra owr Haf Nooij", u"Tôi sinh ra ở Hà Nội"},
    {u"Sangs mai chungs ta ddi Ddaf Nawngx", u"Sáng mai chúng ta đi Đà Nẵng"},
    {u"Coong ty tooi dungf Slack vaf Zoom", u"Công ty tôi dùng Slack và Zoom"},
    {u"Nguwowif Vieetj Nam raats thaan thieenj", u"Người Việt Nam rất thân thiện"},
    {u"Giaos vieen ddang giarng baif", u"Giáo viên đang giảng bài"},
    {u"Tooi muoons mua iPhone mowis", u"Tôi muốn mua iPhone mới"},
    {u"Banj ddax ddocj tin tuwcs hoom nay chuwa?", u"Bạn đã đọc tin tức hôm nay chưa?"},
    {u"Mifnh cos 2 ves xem phim", u"Mình có 2 vé xem phim"},
    {u"Cho tooi mootj ly cafe ddas", u"Cho tôi một ly cafe đá"},
    {u"Hayx download app nayf veef ddieenj thoaij", u"Hãy download app này về điện thoại"},
    {u"Gias cuar nos laf 500000dd", u"Giá của nó là 500000đ"},
    {u"Xin chaof, tooi laf Nam", u"Xin chào, tôi là Nam"},
    {u"Moij nguwowif ddeeuf khoer", u"Mọi người đều khỏe"},
    {u"Tooi ddang ddocj sachs Harry Potter", u"Tôi đang đọc sách Harry Potter"},
    {u"Cais server bij down tuwf sangs", u"Cái server bị down từ sáng"},
    {u"Sangs nay tooi uoongs traf", u"Sáng nay tôi uống trà"},
    {u"Heej thoongs ddang chayj toots", u"Hệ thống đang chạy tốt"},
    {u"Nos nois tieengs Anh raats toots", u"Nó nói tiếng Anh rất tốt"},
    {u"Chij ddax mua ves mays bay", u"Chị đã mua vé máy bay"},
    {u"Anh ta cos mootj chieecs xe Honda", u"Anh ta có một chiếc xe Honda"},
    {u"Chij aays laf designer", u"Chị ấy là designer"},
    {u"Con meof ddang ngur treen ghees sofa", u"Con mèo đang ngủ trên ghế sofa"},
    {u"Lamf sao ddeer fix looix nayf?", u"Làm sao để fix lỗi này?"},
    {u"Boos mej tooi laf bacs six", u"Bố mẹ tôi là bác sĩ"},
    {u"Please call me when you are free", u"Please call me when you are free"},
    {u"The meeting is at ten", u"The meeting is at ten"},
    {u"I will send the invoice tomorrow", u"I will send the invoice tomorrow"},
    {u"Can you review my code", u"Can you review my code"},
    {u"This is a test message", u"This is a test message"},
    {u"We need more time for testing", u"We need more time for testing"},
    {u"The file is on the server", u"The file is on the server"},
    {u"Open the settings and click OK", u"Open the settings and click OK"},
    {u"Sorry, I missed your call", u"Sorry, I missed your call"},
    {u"She has a new job", u"She has a new job"},
    {u"I saw the boss at the bar", u"I saw the boss at the bar"},
    {u"Let me fix this bug first", u"Let me fix this bug first"},
    {u"Our sales team works hard", u"Our sales team works hard"},
    {u"Send me the docs asap", u"Send me the docs asap"},
    {u"He was born in Hanoi", u"He was born in Hanoi"},
};

class Sentences : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    lexicon_ = new Lexicon;
    std::filesystem::path data = TONVIRA_DATA_DIR;
    ASSERT_TRUE(LoadEnglishWords(*lexicon_, data / "en_words.txt"));
    ASSERT_TRUE(LoadSyllables(*lexicon_, data / "vi_syllables.txt", kDefaultSyllableFrequency));
  }
  static void TearDownTestSuite() { delete lexicon_; }

  std::u16string Type(std::u16string_view keys) {
    Engine engine;
    engine.options.englishWords = &lexicon_->english;
    engine.options.vietSyllables = &lexicon_->syllables;
    SimField field(engine);
    field.Type(keys);
    field.Commit();
    return field.Text();
  }

  static Lexicon* lexicon_;
};
Lexicon* Sentences::lexicon_ = nullptr;

TEST_F(Sentences, MixedVietnameseAndEnglishComeOutAsMeant) {
  for (const SentenceRow& row : kMixed) {
    EXPECT_EQ(Utf16ToUtf8(Type(row.keys)), Utf16ToUtf8(row.meant)) << "keys: " << Utf16ToUtf8(row.keys);
  }
}

}  // namespace
}  // namespace tonvira
