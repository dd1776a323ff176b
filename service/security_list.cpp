#include "service/security_list.h"

#include "framework/text_util.h"
#include "service/exchange_info.h"
#include "service/price_model.h"
#include "service/text_file.h"
#include "service/text_format.h"

#include <algorithm>
#include <charconv>

static const char kHeader[] = "symbol,name,exchange,type,price,shares,eps,dividend,volatility";

bool SplitCsvLine(std::string_view line, std::vector<std::string>& fields) {
  fields.clear();
  std::string field;
  size_t i = 0;
  while (true) {
    field.clear();
    if (i < line.size() && line[i] == '"') {
      ++i;
      while (true) {
        if (i >= line.size()) return false;
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += line[i++];
      }
      if (i < line.size() && line[i] != ',') return false;
    } else {
      while (i < line.size() && line[i] != ',') field += line[i++];
    }
    fields.push_back(field);
    if (i >= line.size()) return true;
    ++i;  // the comma
  }
}

static bool ReadNumber(const std::string& text, double& value) {
  if (text.empty()) {
    value = 0;
    return true;
  }
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= 0 && value < 1e16;
}

static bool ReadType(const std::string& text, SecurityType& type) {
  static const struct {
    const char* letter;
    SecurityType type;
  } kTypes[] = {{"S", SecurityType::Stock},
                {"M", SecurityType::MutualFund},
                {"E", SecurityType::Etf},
                {"F", SecurityType::Future},
                {"I", SecurityType::Index}};
  for (const auto& t : kTypes) {
    if (text == t.letter) {
      type = t.type;
      return true;
    }
  }
  return false;
}

static bool ValidSymbol(const std::string& symbol) {
  if (symbol.empty() || symbol.size() > 24) return false;
  return std::all_of(symbol.begin(), symbol.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '^' || c == '-' || c == '=';
  });
}

static bool ParseRow(const std::vector<std::string>& f, Security& s, std::string& why) {
  if (f.size() != 9) {
    why = "expected 9 fields, found " + std::to_string(f.size());
    return false;
  }
  s.symbol = AsciiUpper(f[0]);
  if (!ValidSymbol(s.symbol)) {
    why = "bad symbol \"" + f[0] + "\"";
    return false;
  }
  s.name = f[1];
  if (s.name.empty() || s.name.find_first_of("\"<>\r\n") != std::string::npos) {
    why = "bad name";
    return false;
  }
  s.exchange = FindExchange(f[2]);
  if (s.exchange == nullptr) {
    why = "unknown exchange \"" + f[2] + "\"";
    return false;
  }
  if (!ReadType(f[3], s.type)) {
    why = "type must be S, M, E, F or I";
    return false;
  }
  if (!ReadNumber(f[4], s.price) || s.price < 0.01 || !ReadNumber(f[5], s.shares) ||
      !ReadNumber(f[6], s.eps) || !ReadNumber(f[7], s.dividend) || !ReadNumber(f[8], s.volatility) ||
      s.volatility > 5) {
    why = "bad number";
    return false;
  }
  if (s.volatility == 0) s.volatility = 0.25;
  s.key = HashText(s.symbol.data(), s.symbol.size());
  return true;
}

bool NextTextLine(std::string_view text, size_t& start, std::string_view& line) {
  if (start >= text.size()) return false;
  size_t end = text.find('\n', start);
  if (end == std::string_view::npos) end = text.size();
  line = text.substr(start, end - start);
  start = end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

bool ReadCsvRows(std::string_view text, std::string_view header, bool skipComments,
                 const std::function<bool(const std::vector<std::string>& fields, std::string& why)>& row,
                 int& problemLine, std::string& why) {
  std::vector<std::string> fields;
  size_t start = 0;
  int lineNumber = 0;
  bool headerSeen = false;
  std::string_view line;
  while (NextTextLine(text, start, line)) {
    ++lineNumber;
    if (line.empty() || (skipComments && line[0] == '#')) continue;
    if (!headerSeen) {
      if (line != header) {
        problemLine = lineNumber;
        why = "expected the header \"" + std::string(header) + "\"";
        return false;
      }
      headerSeen = true;
      continue;
    }
    why = "unbalanced quote";
    if (!SplitCsvLine(line, fields) || !row(fields, why)) {
      problemLine = lineNumber;
      return false;
    }
  }
  if (!headerSeen) {
    problemLine = 0;
    why = "no header line";
    return false;
  }
  return true;
}

bool SecurityList::ParseCsv(std::string_view text, const std::string& sourceName, std::string& error) {
  std::vector<Security> rows;
  int problemLine = 0;
  std::string why;
  const auto readRow = [&rows](const std::vector<std::string>& fields, std::string& reason) {
    Security s;
    if (!ParseRow(fields, s, reason)) return false;
    rows.push_back(std::move(s));
    return true;
  };
  if (!ReadCsvRows(text, kHeader, true, readRow, problemLine, why)) {
    error = sourceName + (problemLine ? ":" + std::to_string(problemLine) : std::string()) + ": " + why;
    return false;
  }
  for (Security& s : rows) {
    auto it = bySymbol.find(s.symbol);
    if (it != bySymbol.end()) {
      securities[it->second] = std::move(s);
      continue;
    }
    bySymbol.emplace(s.symbol, securities.size());
    securities.push_back(std::move(s));
  }
  return true;
}

bool SecurityList::LoadFile(const std::string& path, std::string& error) {
  std::string text;
  if (!ReadTextFile(path, text)) {
    error = path + ": cannot be opened";
    return false;
  }
  return ParseCsv(text, path, error);
}

const Security* SecurityList::Find(std::string_view symbol) const {
  auto it = bySymbol.find(AsciiUpper(symbol));
  return it == bySymbol.end() ? nullptr : &securities[it->second];
}

std::vector<const Security*> SecurityList::OfType(SecurityType type) const {
  std::vector<const Security*> out;
  for (const Security& s : securities) {
    if (s.type == type) out.push_back(&s);
  }
  return out;
}

std::vector<const Security*> SecurityList::Search(std::string_view text, SecurityType type,
                                                  bool allMarkets) const {
  const std::string needle = AsciiLower(text);
  const std::string upper = AsciiUpper(text);
  std::vector<const Security*> out;
  if (needle.empty()) return out;
  for (const Security& s : securities) {
    const bool typeMatches = s.type == type || (type == SecurityType::Stock && s.type == SecurityType::Index);
    if (!typeMatches || (!allMarkets && !s.exchange->us)) continue;
    if (AsciiLower(s.symbol).find(needle) == std::string::npos &&
        AsciiLower(s.name).find(needle) == std::string::npos)
      continue;
    out.push_back(&s);
  }
  std::sort(out.begin(), out.end(), [&upper](const Security* a, const Security* b) {
    const bool exactA = a->symbol == upper, exactB = b->symbol == upper;
    if (exactA != exactB) return exactA;
    return a->symbol < b->symbol;
  });
  return out;
}
