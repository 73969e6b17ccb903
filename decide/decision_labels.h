// Labels of the word decisions, kept in the decision history (unaccented Vietnamese).
#pragma once

#include <string_view>

namespace tonvira::label {

inline constexpr char kAbbreviation[] = "go tat";
inline constexpr char kEnglishContext[] = "ngu canh tieng Anh";
inline constexpr char kKeepShown[] = "lui: giu chu dang hien";
inline constexpr char kSmartOff[] = "go sao ra the";
inline constexpr char kCurrencyFix[] = "tu sua: tien dong";
inline constexpr char kContraction[] = "rut gon tieng Anh";
inline constexpr char kUnchanged[] = "khong bien doi";
inline constexpr char kSwapFix[] = "tu sua: dao phim";
inline constexpr char kLoneLetter[] = "chu cai don / viet tat đ";
inline constexpr char kNotSyllable[] = "khong phai am tiet";
inline constexpr char kProperName[] = "ten rieng: am tiet khong co that";
inline constexpr char kListMarker[] = "ky hieu muc dau dong";
inline constexpr char kManualEdit[] = "sua tay (phim lui)";

// Autofix: accepted, and the refusals.
inline constexpr char kAutofix[] = "tu sua";
inline constexpr char kAutofixUnusedSyllable[] = "tu sua: chu khong co that";
inline constexpr char kAutofixKeptUnfinished[] = "tu sua: giu tieng Viet chua thanh";
inline constexpr char kAutofixNameRefused[] = "ten rieng? - khong sua";
inline constexpr char kAutofixCommonEnglish[] = "tu Anh pho bien - khong sua";
inline constexpr char kAutofixEnglish[] = "tu Anh - khong sua";

// Word shapes.
inline constexpr char kStartsWithDigit[] = "bat dau bang so";
inline constexpr char kHasDigit[] = "co chu so";
inline constexpr char kInnerPunctuation[] = "dau cau giua tu";
inline constexpr char kSymbol[] = "co ky tu dac biet";
inline constexpr char kCamelCase[] = "camelCase";
inline constexpr char kAllCaps[] = "viet hoa toan bo";

// Scoring.
inline constexpr char kNotEnglishWord[] = "khong phai tu tieng Anh";
inline constexpr char kRareEnglishWord[] = "tu tieng Anh hiem";
inline constexpr char kUnusedSyllable[] = "am tiet Viet gan nhu khong dung";
inline constexpr char kLeansEnglish[] = "diem nghieng Anh";
inline constexpr char kLeansVietnamese[] = "diem nghieng Viet";

}  // namespace tonvira::label

namespace tonvira {

// A label is told by its text, never by where it is stored.
inline bool IsLabel(const char* label, const char* wanted) {
  return label != nullptr && std::string_view(label) == wanted;
}

}  // namespace tonvira
