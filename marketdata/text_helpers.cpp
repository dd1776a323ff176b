#include "marketdata/text_helpers.h"

#include <array>
#include <charconv>
#include <climits>

#include "framework/text_util.h"

static bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string TrimLeft(const std::string& text) {
  size_t begin = 0;
  while (begin < text.size() && IsSpace(text[begin])) ++begin;
  return text.substr(begin);
}

std::string ReplaceAll(std::string text, const std::string& search, const std::string& replacement) {
  if (search.empty()) return text;
  size_t pos = 0;
  while ((pos = text.find(search, pos)) != std::string::npos) {
    text.replace(pos, search.size(), replacement);
    pos += replacement.size();
  }
  return text;
}

std::string ReplaceNoCase(std::string text, const std::string& search, const std::string& replacement) {
  if (search.empty()) return text;
  const std::string lowerSearch = AsciiLower(search);
  const std::string lowerReplacement = AsciiLower(replacement);
  std::string lower = AsciiLower(text);
  size_t pos = 0;
  while ((pos = lower.find(lowerSearch, pos)) != std::string::npos) {
    text.replace(pos, search.size(), replacement);
    lower.replace(pos, search.size(), lowerReplacement);
    pos += replacement.size();
  }
  return text;
}

std::string StripQuotes(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  // A lone quote both begins and ends the text; it is dropped too.
  if (text == "\"") return {};
  return text;
}

std::string FlattenLines(const std::string& text) {
  return ReplaceAll(Trim(text), "\n", " ");
}

std::string StripTags(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    size_t open = text.find('<', pos);
    if (open == std::string::npos) {
      out.append(text, pos, std::string::npos);
      break;
    }
    out.append(text, pos, open - pos);
    size_t close = text.find('>', open + 1);
    // An unclosed "<" is dropped alone; the text after it stays.
    pos = close == std::string::npos ? open + 1 : close + 1;
  }
  if (out.find('&') == std::string::npos) return out;  // no entity: spare the replacements
  out = ReplaceNoCase(out, "&nbsp;", " ");
  out = ReplaceNoCase(out, "&amp;", "&");
  static const std::array<const char*, 8> kDroppedEntities{"&aring;",  "&auml;",   "&eacute;", "&iacute;",
                                                           "&igrave;", "&ograve;", "&ouml;",   "&szlig;"};
  for (const char* entity : kDroppedEntities) out = ReplaceNoCase(out, entity, "");
  return out;
}

bool ReadLeadingInt(const std::string& text, int* out) {
  size_t pos = 0;
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  long long value = 0;
  size_t digits = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos++] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return false;
    ++digits;
  }
  if (digits == 0) return false;
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return false;
  *out = static_cast<int>(value);
  return true;
}

double LeadingNumber(const std::string& text) {
  size_t pos = 0;
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  // from_chars ignores the locale (the UI may switch LC_NUMERIC) but refuses a leading '+'.
  if (pos < text.size() && text[pos] == '+') ++pos;
  double value = 0;
  auto result = std::from_chars(text.data() + pos, text.data() + text.size(), value);
  if (result.ec != std::errc()) return 0;
  return value;
}

bool ScanInts(const std::string& text, int count, int* out) {
  size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    size_t start = pos;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    size_t digitsStart = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
    if (pos == digitsStart) return false;
    if (!ReadLeadingInt(text.substr(start, pos - start), &out[i])) return false;
  }
  return true;
}

std::string CutToBytes(const std::string& text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t cut = maxBytes;
  const auto isContinuation = [&](size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
  // The byte at the cut continues a character: drop that character's bytes before the cut too.
  if (isContinuation(cut)) {
    while (cut > 0 && isContinuation(cut - 1)) --cut;
    if (cut > 0 && static_cast<unsigned char>(text[cut - 1]) >= 0xC0) --cut;
  }
  return text.substr(0, cut);
}
