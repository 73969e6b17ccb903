#include "promo/banner_answer.h"

#include <cstdint>

#include "text/utf8.h"

namespace tonvira {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::optional<uint32_t> HexUnit(std::string_view text, size_t at) {
  if (at + 4 > text.size()) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = at; i < at + 4; ++i) {
    char c = text[i];
    uint32_t digit = c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
                     : c >= 'a' && c <= 'f' ? static_cast<uint32_t>(c - 'a' + 10)
                     : c >= 'A' && c <= 'F' ? static_cast<uint32_t>(c - 'A' + 10)
                                            : 16;
    if (digit == 16) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u16string OneLine(const std::string& value) {
  std::u16string text = Utf8ToUtf16(value);
  for (char16_t& c : text) {
    if (c == u'\r' || c == u'\n') c = u' ';
  }
  return text;
}

}  // namespace

std::optional<std::string> JsonStringField(std::string_view json, std::string_view key) {
  std::string quoted = "\"" + std::string(key) + "\"";
  size_t at = json.find(quoted);
  if (at == json.npos) return std::nullopt;
  at += quoted.size();
  while (at < json.size() && IsSpace(json[at])) ++at;
  if (at >= json.size() || json[at] != ':') return std::nullopt;
  ++at;
  while (at < json.size() && IsSpace(json[at])) ++at;
  if (at >= json.size() || json[at] != '"') return std::nullopt;
  ++at;
  std::string value;
  while (at < json.size()) {
    char c = json[at++];
    if (c == '"') return value;
    if (c != '\\') {
      value += c;
      continue;
    }
    if (at >= json.size()) return std::nullopt;
    char escaped = json[at++];
    if (escaped == 'n') {
      value += '\n';
    } else if (escaped == 'r') {
      value += '\r';
    } else if (escaped == 't') {
      value += '\t';
    } else if (escaped == 'u') {
      std::optional<uint32_t> unit = HexUnit(json, at);
      if (!unit) return std::nullopt;
      at += 4;
      uint32_t cp = *unit;
      // "\ud83d\ude00" is one character; a half without its partner is not one.
      if (cp >= 0xD800 && cp <= 0xDBFF && json.substr(at, 2) == "\\u") {
        std::optional<uint32_t> low = HexUnit(json, at + 2);
        if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
          cp = 0x10000 + ((cp - 0xD800) << 10) + (*low - 0xDC00);
          at += 6;
        }
      }
      if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
      AppendUtf8(value, cp);
    } else {
      value += escaped;
    }
  }
  return std::nullopt;
}

BannerAnswer ParseBannerAnswer(std::string_view body) {
  body = body.substr(0, kMaxBannerAnswerBytes);
  BannerAnswer answer;
  std::optional<std::string> title = JsonStringField(body, "title");
  if (title && !title->empty()) {
    answer.kind = BannerAnswerKind::Banner;
    answer.banner.title = OneLine(*title);
    answer.banner.text = OneLine(JsonStringField(body, "text").value_or(""));
    answer.banner.link = OneLine(JsonStringField(body, "link").value_or(""));
  } else if (body.find("\"ads\":[]") != body.npos) {
    answer.kind = BannerAnswerKind::NoBanner;
  }
  return answer;
}

}  // namespace tonvira
