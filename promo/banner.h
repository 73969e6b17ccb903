// The small promotional banner of the settings window: a title, a line of text and a link.
// Until something has been fetched from the vendor, the built-in banner below is shown.
#pragma once

#include <string>

namespace tonvira {

struct Banner {
  std::u16string title;
  std::u16string text;
  std::u16string link;
};

inline Banner FallbackBanner() {
  return {u"Tonvira Office — bộ văn phòng cho người Việt",
          u"Văn bản, Bảng tính, Trình chiếu và Thư: gõ tiếng Việt mượt như ở đây.",
          u"https://tonvira.vn/office"};
}

}  // namespace tonvira
