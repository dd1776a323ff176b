#pragma once
#include <string>
#include <string_view>

// What a Vellumar XML file may not hold, found in one pass before the XML parser sees the file: the parser
// compares every attribute of an element with every other (minutes for an element of 300,000 attributes),
// goes as deep as the elements are nested, and stops reading at a NUL character as if the file ended there.
// Vellumar's own files have three levels and at most 24 attributes per element.
inline constexpr int kMaxXmlAttributes = 64;
inline constexpr int kMaxXmlDepth = 32;

struct XmlBoundsProblem {
  int line = 0;
  std::string text;
};

// False with `problem` set when the text holds a NUL character, an element with more than kMaxXmlAttributes
// attributes, or elements nested more than kMaxXmlDepth deep. Anything else is left to the parser.
[[nodiscard]] bool CheckXmlBounds(std::string_view text, XmlBoundsProblem& problem);

// `text` as XML 1.0 may hold it: a NUL or another control character it does not allow (every one but tab,
// line feed and carriage return), U+FFFE, U+FFFF and every byte that is no UTF-8 text become U+FFFD.
std::string XmlSafeText(std::string_view text);
