#include "framework/visible_text.h"

#include <cstdio>

namespace {

// The code point of the bidirectional formatting character that starts at `text[i]`, with its length in
// bytes; 0 when none starts there.
char32_t BidiControlAt(std::string_view text, size_t i, size_t& length) {
  const auto at = [&](size_t k) {
    return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u;
  };
  if (at(0) == 0xD8 && at(1) == 0x9C) {
    length = 2;
    return 0x061C;
  }
  if (at(0) != 0xE2 || (at(1) != 0x80 && at(1) != 0x81)) return 0;
  const char32_t code = 0x2000 + ((at(1) & 0x3F) << 6) + (at(2) & 0x3F);
  const bool bidi = code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
                    (code >= 0x2066 && code <= 0x2069);
  if (!bidi || (at(2) & 0xC0) != 0x80) return 0;
  length = 3;
  return code;
}

}  // namespace

std::string VisibleText(std::string_view text, bool keepLineBreaks) {
  std::string out;
  out.reserve(text.size());
  char escaped[12];
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    if ((byte < 0x20 || byte == 0x7F) && !(keepLineBreaks && byte == '\n')) {
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned char>(text[++i]));
      out += escaped;
    } else if (const char32_t bidi = BidiControlAt(text, i, length); bidi != 0) {
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(bidi));
      out += escaped;
      i += length - 1;
    } else {
      out += text[i];
    }
  }
  return out;
}
