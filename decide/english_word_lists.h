// Built-in English word lists.
#pragma once

#include <algorithm>
#include <iterator>
#include <string_view>

namespace tonvira {

// Searched through a set: the order does not matter.
inline constexpr std::string_view kEnglishFunctionWords[] = {
    "a",      "an",      "the",     "this",    "that",    "these",   "those",   "there", "here",   "i",
    "you",    "he",      "she",     "it",      "we",      "they",    "me",      "him",   "her",    "us",
    "them",   "my",      "your",    "his",     "its",     "our",     "their",   "mine",  "yours",  "ours",
    "theirs", "is",      "am",      "are",     "was",     "were",    "be",      "been",  "being",  "have",
    "has",    "had",     "do",      "does",    "did",     "will",    "would",   "shall", "should", "can",
    "could",  "may",     "might",   "must",    "and",     "or",      "but",     "nor",   "so",     "yet",
    "if",     "then",    "than",    "because", "as",      "while",   "when",    "where", "which",  "who",
    "whom",   "whose",   "what",    "why",     "how",     "of",      "to",      "in",    "on",     "at",
    "by",     "for",     "with",    "from",    "into",    "onto",    "about",   "over",  "under",  "after",
    "before", "between", "through", "during",  "without", "within",  "against", "among", "upon",   "not",
    "no",     "yes",     "all",     "any",     "some",    "each",    "every",   "both",  "either", "neither",
    "such",   "very",    "just",    "only",    "also",    "too",     "more",    "most",  "much",   "many",
    "few",    "less",    "least",   "up",      "out",     "off",     "down",    "away",  "again",  "ever",
    "never",  "always",  "often",   "now",     "still",   "already",
};
static_assert(std::size(kEnglishFunctionWords) == 136);

// The sorted lists below are searched by binary search on bytes: keep them sorted.

// The part before the apostrophe of n't contractions (don't, isn't).
inline constexpr std::string_view kEnglishContractions[] = {
    "ain", "aren",   "can",   "couldn", "didn", "doesn",   "don",  "hadn",  "hasn", "haven",
    "isn", "mightn", "mustn", "needn",  "shan", "shouldn", "wasn", "weren", "won",  "wouldn",
};
static_assert(std::size(kEnglishContractions) == 20);
static_assert(std::ranges::is_sorted(kEnglishContractions));

// Words that are English when typed in capitals, though Telex would make them Vietnamese.
inline constexpr std::string_view kCapsEnglishWords[] = {
    "asap", "asc", "cast", "cors", "des", "desc", "docs",  "dos",    "ems",  "eof",  "eos",  "eps",
    "esc",  "exe", "gw",   "ifrs", "imf", "irs",  "masan", "maxifs", "mes",  "mis",  "misa", "mw",
    "nas",  "ojt", "oom",  "ops",  "os",  "pos",  "pow",   "rar",    "ree",  "rest", "ros",  "rows",
    "sans", "sos", "sox",  "uri",  "usa", "usp",  "ux",    "visa",   "wsus", "xor",
};
static_assert(std::size(kCapsEnglishWords) == 46);
static_assert(std::ranges::is_sorted(kCapsEnglishWords));

inline constexpr std::string_view kCapsNotVietnamese[] = {
    "as",   "boris", "coo",  "cos", "dayjs", "ddos", "gary", "gif",  "hans",
    "laos", "luis",  "mary", "max", "nats",  "tar",  "tw",   "uris", "vix",
};
static_assert(std::size(kCapsNotVietnamese) == 18);
static_assert(std::ranges::is_sorted(kCapsNotVietnamese));

inline constexpr std::string_view kForeignNames[] = {
    "asma",  "axis",   "boris",  "capas", "cary", "def",    "des",   "docs", "dos",    "eof",    "eros",
    "erste", "esc",    "gary",   "hausa", "laos", "les",    "lois",  "lori", "los",    "luana",  "luis",
    "mary",  "masan",  "matras", "mira",  "misa", "morcos", "mraz",  "muji", "nero",   "neues",  "ops",
    "osmo",  "pharma", "rasta",  "ref",   "rest", "sans",   "surf",  "taro", "tatars", "tatras", "tex",
    "tips",  "tsao",   "tsim",   "ups",   "usp",  "vanga",  "virus", "visa", "xerox",
};
static_assert(std::size(kForeignNames) == 53);
static_assert(std::ranges::is_sorted(kForeignNames));

inline constexpr std::string_view kFileExtensions[] = {
    "7z",   "avi",  "bmp",  "csv",  "doc", "docm", "docx", "dotx", "dwg",  "dxf", "eml",  "epub",
    "gif",  "heic", "jpeg", "jpg",  "m4a", "mkv",  "mov",  "mp3",  "mp4",  "odp", "ods",  "odt",
    "pdf",  "png",  "pps",  "ppsx", "ppt", "pptx", "psd",  "rar",  "rtf",  "tif", "tiff", "txt",
    "vsdx", "wav",  "webp", "wma",  "wmv", "xls",  "xlsb", "xlsm", "xlsx", "xps", "zip",
};
static_assert(std::size(kFileExtensions) == 47);

// Consonant pairs that fast typists swap (hn for nh).
inline constexpr std::string_view kSwappedDigraphs[] = {
    "ng", "nh", "ch", "kh", "th", "ph", "tr", "gh",
};
static_assert(std::size(kSwappedDigraphs) == 8);

}  // namespace tonvira
