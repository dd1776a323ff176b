#include "ui/main/report_entities.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The references a browser accepts without a semicolon.
constexpr std::array<std::string_view, 106> kLegacyNames{
    "AElig",  "AMP",    "Aacute", "Acirc",  "Agrave", "Aring",  "Atilde", "Auml",  "COPY",   "Ccedil",
    "ETH",    "Eacute", "Ecirc",  "Egrave", "Euml",   "GT",     "Iacute", "Icirc", "Igrave", "Iuml",
    "LT",     "Ntilde", "Oacute", "Ocirc",  "Ograve", "Oslash", "Otilde", "Ouml",  "QUOT",   "REG",
    "THORN",  "Uacute", "Ucirc",  "Ugrave", "Uuml",   "Yacute", "aacute", "acirc", "acute",  "aelig",
    "agrave", "amp",    "aring",  "atilde", "auml",   "brvbar", "ccedil", "cedil", "cent",   "copy",
    "curren", "deg",    "divide", "eacute", "ecirc",  "egrave", "eth",    "euml",  "frac12", "frac14",
    "frac34", "gt",     "iacute", "icirc",  "iexcl",  "igrave", "iquest", "iuml",  "laquo",  "lt",
    "macr",   "micro",  "middot", "nbsp",   "not",    "ntilde", "oacute", "ocirc", "ograve", "ordf",
    "ordm",   "oslash", "otilde", "ouml",   "para",   "plusmn", "pound",  "quot",  "raquo",  "reg",
    "sect",   "shy",    "sup1",   "sup2",   "sup3",   "szlig",  "thorn",  "times", "uacute", "ucirc",
    "ugrave", "uml",    "uuml",   "yacute", "yen",    "yuml",
};

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The longest legacy name `text` begins with; 0 when none.
size_t LegacyNameLength(std::string_view text) {
  size_t best = 0;
  for (std::string_view name : kLegacyNames) {
    if (name.size() > best && text.substr(0, name.size()) == name) best = name.size();
  }
  return best;
}

}  // namespace

std::string CompleteEntityReferences(const std::string& html) {
  std::string out;
  out.reserve(html.size() + html.size() / 16);
  bool inTag = false;
  for (size_t i = 0; i < html.size(); ++i) {
    const char c = html[i];
    out += c;
    if (c == '<') inTag = true;
    if (c == '>') inTag = false;
    if (c != '&' || inTag) continue;
    const std::string_view rest = std::string_view(html).substr(i + 1);
    size_t run = 0;
    while (run < rest.size() && IsNameChar(rest[run])) ++run;
    if (run < rest.size() && rest[run] == ';') continue;  // a complete reference, whatever its name
    const size_t name = LegacyNameLength(rest.substr(0, run));
    if (name == 0) continue;
    out.append(rest.substr(0, name));
    out += ';';
    i += name;
  }
  return out;
}
