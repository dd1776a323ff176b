#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// How the bytes of an imported text file are to be read. Vellumar keeps texts as UTF-8 bytes (what the
// window and the command line store); a Latin-1 file is converted to UTF-8 on the way in.
enum class TextEncoding {
  Detect,  // a UTF-8 byte order mark, or text that is valid UTF-8: UTF-8; anything else: Latin-1
  Utf8,    // with or without a byte order mark
  Latin1,  // ISO 8859-1: every byte one character
};

// "auto", "utf-8" and "latin-1" (also "utf8", "latin1", "iso-8859-1", any letter case); false for others.
[[nodiscard]] bool ParseTextEncoding(std::string_view name, TextEncoding& encoding);
// The name ParseTextEncoding reads back: "auto", "utf-8" or "latin-1".
const char* TextEncodingName(TextEncoding encoding);

bool IsValidUtf8(std::string_view text);
// The length of the valid UTF-8 sequence that starts at `text[i]` (1 to 4), with its code point in
// `decoded` when given; 0 when no valid sequence starts there (a stray, overlong or cut-off sequence).
size_t Utf8SequenceAt(std::string_view text, size_t i, char32_t* decoded = nullptr);
// Every byte as the character of that code (U+0000 to U+00FF), in UTF-8; bytes 0x80 to 0x9F as the
// Windows code page 1252 has them (the euro sign at 0x80), which is what most "Latin-1" exports are.
std::string Latin1ToUtf8(std::string_view text);

// The file's text as UTF-8 (for Utf8 the bytes as they are, without a byte order mark), and the encoding
// that was used (never Detect).
struct DecodedText {
  std::string text;
  TextEncoding encoding = TextEncoding::Utf8;
};
DecodedText DecodeText(std::string_view bytes, TextEncoding encoding);
