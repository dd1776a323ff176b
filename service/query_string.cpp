#include "service/query_string.h"

#include <charconv>

QueryString::QueryString(std::string_view rawQuery) {
  size_t start = 0;
  while (start <= rawQuery.size()) {
    size_t end = rawQuery.find('&', start);
    if (end == std::string_view::npos) end = rawQuery.size();
    const std::string_view item = rawQuery.substr(start, end - start);
    if (!item.empty()) {
      const size_t eq = item.find('=');
      if (eq == std::string_view::npos) {
        pairs.emplace_back(item, std::string_view{});
      } else {
        pairs.emplace_back(item.substr(0, eq), item.substr(eq + 1));
      }
    }
    start = end + 1;
  }
}

bool QueryString::Raw(std::string_view key, std::string_view& value) const {
  for (const auto& [k, v] : pairs) {
    if (k == key) {
      value = v;
      return true;
    }
  }
  return false;
}

std::string QueryString::Text(std::string_view key, std::string_view fallback) const {
  std::string_view raw;
  if (!Raw(key, raw)) return std::string(fallback);
  return PercentDecode(raw, true);
}

bool QueryString::Int(std::string_view key, long low, long high, long& value) const {
  const std::string text = Text(key);
  if (text.empty()) return false;
  long v = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || ptr != end || v < low || v > high) return false;
  value = v;
  return true;
}

static int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text, bool plusIsBlank) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else if (c == '+' && plusIsBlank) {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<std::string> SplitPlusList(std::string_view raw) {
  // Decoding first accepts "%2B" as a separator too: some clients escape the plus, and no symbol holds one.
  const std::string decoded = PercentDecode(raw, false);
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    const size_t end = decoded.find('+', start);
    out.push_back(decoded.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return out;
}

std::vector<std::string> SplitSymbolList(std::string_view raw) {
  const std::string decoded = PercentDecode(raw, false);
  std::vector<std::string> out;
  std::string symbol;
  for (const char c : decoded) {
    // A run of separators counts as one: "MSFT, KO" is two symbols, not three.
    if (c == '+' || c == ',' || c == ' ' || c == '\t') {
      if (!symbol.empty()) out.push_back(std::move(symbol));
      symbol.clear();
      continue;
    }
    symbol += c;
  }
  if (!symbol.empty()) out.push_back(std::move(symbol));
  return out;
}
