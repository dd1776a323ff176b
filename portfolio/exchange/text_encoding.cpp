#include "portfolio/exchange/text_encoding.h"

#include "framework/text_util.h"

#include <cctype>
#include <cstdint>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool ParseTextEncoding(std::string_view name, TextEncoding& encoding) {
  const std::string lower = AsciiLower(name);
  if (lower == "auto") {
    encoding = TextEncoding::Detect;
  } else if (lower == "utf-8" || lower == "utf8") {
    encoding = TextEncoding::Utf8;
  } else if (lower == "latin-1" || lower == "latin1" || lower == "iso-8859-1" || lower == "windows-1252" ||
             lower == "cp1252") {
    encoding = TextEncoding::Latin1;
  } else {
    return false;
  }
  return true;
}

const char* TextEncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "utf-8";
    case TextEncoding::Latin1:
      return "latin-1";
    case TextEncoding::Detect:
      break;
  }
  return "auto";
}

size_t Utf8SequenceAt(std::string_view text, size_t i, char32_t* decoded) {
  if (i >= text.size()) return 0;
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    if (decoded) *decoded = c;
    return 1;
  }
  // Lead byte: the length of the sequence and the smallest code it may encode (no overlong forms).
  size_t length = 0;
  uint32_t code = 0;
  uint32_t minimum = 0;
  if ((c & 0xE0) == 0xC0) {
    length = 2, code = c & 0x1F, minimum = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    length = 3, code = c & 0x0F, minimum = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    length = 4, code = c & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  if (decoded) *decoded = code;
  return length;
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const size_t length = Utf8SequenceAt(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

namespace {

// Bytes 0x80 to 0x9F are control characters in Latin-1 but printable in the Windows code page that most
// "Latin-1" exports are really written in (the euro sign, quotes, dashes); read as the latter. The five
// bytes that code page leaves undefined stay the control characters.
constexpr char32_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

}  // namespace

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kWindows1252High[c - 0x80] : char32_t{c});
  }
  return out;
}

DecodedText DecodeText(std::string_view bytes, TextEncoding encoding) {
  const bool bom = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  if (encoding == TextEncoding::Detect) {
    encoding = bom || IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Latin1;
  }
  if (encoding == TextEncoding::Latin1) return {Latin1ToUtf8(bytes), TextEncoding::Latin1};
  if (bom) bytes.remove_prefix(kByteOrderMark.size());
  return {std::string(bytes), TextEncoding::Utf8};
}
