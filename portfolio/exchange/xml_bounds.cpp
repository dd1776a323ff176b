#include "portfolio/exchange/xml_bounds.h"

#include "portfolio/exchange/text_encoding.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Scans one markup construct that starts at text[i] == '<', moving `i` past it; counts the lines it spans.
class XmlScanner {
 public:
  explicit XmlScanner(std::string_view text) : text(text) {}

  bool Run(XmlBoundsProblem& problem) {
    while (i < text.size()) {
      const char c = text[i];
      if (c == '\0') return Fail(problem, "the file holds a NUL character");
      if (c == '\n') ++line;
      if (c != '<') {
        ++i;
        continue;
      }
      if (!Markup(problem)) return false;
    }
    return true;
  }

 private:
  bool Fail(XmlBoundsProblem& problem, std::string why) {
    problem = {line, std::move(why)};
    return false;
  }

  // Moves past `end`, counting lines; false at a NUL (the parser would stop there) or the end of the text.
  bool SkipPast(std::string_view end) {
    while (i < text.size()) {
      if (text[i] == '\0') return false;
      if (text.substr(i, end.size()) == end) {
        i += end.size();
        return true;
      }
      if (text[i] == '\n') ++line;
      ++i;
    }
    return true;  // unterminated: the parser says so
  }

  bool Markup(XmlBoundsProblem& problem) {
    const std::string_view rest = text.substr(i);
    bool ok = true;
    if (rest.substr(0, 4) == "<!--") {
      i += 4, ok = SkipPast("-->");
    } else if (rest.substr(0, 9) == "<![CDATA[") {
      i += 9, ok = SkipPast("]]>");
    } else if (rest.substr(0, 2) == "<?") {
      i += 2, ok = SkipPast("?>");
    } else if (rest.substr(0, 2) == "<!") {
      i += 2, ok = SkipPast(">");
    } else if (rest.substr(0, 2) == "</") {
      i += 2, ok = SkipPast(">");
      if (depth > 0) --depth;
    } else {
      return StartTag(problem);
    }
    if (!ok) return Fail(problem, "the file holds a NUL character");
    return true;
  }

  bool StartTag(XmlBoundsProblem& problem) {
    const int startLine = line;
    ++i;
    int attributes = 0;
    char quote = 0;
    bool empty = false;
    while (i < text.size()) {
      const char c = text[i++];
      if (c == '\0') return Fail(problem, "the file holds a NUL character");
      if (c == '\n') ++line;
      if (quote) {
        if (c == quote) quote = 0;
        continue;
      }
      if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '=' && ++attributes > kMaxXmlAttributes) {
        problem = {startLine,
                   "an element has more than " + std::to_string(kMaxXmlAttributes) + " attributes"};
        return false;
      } else if (c == '>') {
        empty = i >= 2 && text[i - 2] == '/';
        break;
      }
    }
    if (!empty && ++depth > kMaxXmlDepth) {
      problem = {startLine, "the elements are nested more than " + std::to_string(kMaxXmlDepth) + " deep"};
      return false;
    }
    return true;
  }

  std::string_view text;
  size_t i = 0;
  int line = 1;
  int depth = 0;
};

bool IsXmlCharacter(char32_t code) {
  if (code < 0x20) return code == '\t' || code == '\n' || code == '\r';
  return code != 0xFFFE && code != 0xFFFF;
}

}  // namespace

bool CheckXmlBounds(std::string_view text, XmlBoundsProblem& problem) {
  return XmlScanner(text).Run(problem);
}

std::string XmlSafeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t code = 0;
    const size_t length = Utf8SequenceAt(text, i, &code);
    if (length == 0 || !IsXmlCharacter(code)) {
      out += kReplacement;
      i += length == 0 ? 1 : length;
      continue;
    }
    out.append(text.substr(i, length));
    i += length;
  }
  return out;
}
