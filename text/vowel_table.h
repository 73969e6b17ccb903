// The twelve base vowels followed by their six tone forms, lower then upper case, back
// to back: cell (row, tone) of the lower table matches the same cell of the upper one.
#pragma once

#include <array>
#include <string_view>

namespace tonvira {

inline constexpr int kVowelRows = 12;
inline constexpr int kToneForms = 6;

inline constexpr std::u16string_view kVowelTable =
    u"aăâeêioôơuưy"
    u"aáàảãạ"
    u"ăắằẳẵặ"
    u"âấầẩẫậ"
    u"eéèẻẽẹ"
    u"êếềểễệ"
    u"iíìỉĩị"
    u"oóòỏõọ"
    u"ôốồổỗộ"
    u"ơớờởỡợ"
    u"uúùủũụ"
    u"ưứừửữự"
    u"yýỳỷỹỵ"
    u"AÁÀẢÃẠ"
    u"ĂẮẰẲẴẶ"
    u"ÂẤẦẨẪẬ"
    u"EÉÈẺẼẸ"
    u"ÊẾỀỂỄỆ"
    u"IÍÌỈĨỊ"
    u"OÓÒỎÕỌ"
    u"ÔỐỒỔỖỘ"
    u"ƠỚỜỞỠỢ"
    u"UÚÙỦŨỤ"
    u"ƯỨỪỬỮỰ"
    u"YÝỲỶỸỴ";

inline constexpr std::u16string_view kBaseVowels = kVowelTable.substr(0, kVowelRows);
inline constexpr std::u16string_view kLowerForms = kVowelTable.substr(kVowelRows, kVowelRows* kToneForms);
inline constexpr std::u16string_view kUpperForms =
    kVowelTable.substr(kVowelRows + kVowelRows * kToneForms, kVowelRows* kToneForms);

static_assert(kVowelTable.size() == 156);

}  // namespace tonvira
