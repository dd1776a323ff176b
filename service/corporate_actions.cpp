#include "service/corporate_actions.h"

#include "framework/text_util.h"
#include "service/security_list.h"
#include "service/text_file.h"
#include "service/text_format.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <numeric>

static const char kHeader[] = "symbol,date,event,value";
// The shares of one split, and of all splits of a symbol together: enough for any real history, and far from
// overflowing the products that convert prices between the shares of two days.
static constexpr int64_t kMaxSplitShares = 10000;
static constexpr int64_t kMaxSplitProduct = 1000000000;

static bool EventSymbol(const std::string& symbol) {
  if (symbol.empty() || symbol.size() > 24) return false;
  return std::all_of(symbol.begin(), symbol.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '^' || c == '-' || c == '=';
  });
}

static bool ReadIsoDay(const std::string& text, int& day) {
  int y = 0, m = 0, d = 0;
  char extra = 0;
  if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) != 3) return false;
  return y >= 1900 && y <= 2200 && MakeDay(y, m, d, day);
}

static bool ReadShares(std::string_view text, int64_t& shares) {
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), shares);
  return !text.empty() && ec == std::errc() && ptr == text.data() + text.size() && shares >= 1 &&
         shares <= kMaxSplitShares;
}

// "N:D" in lowest terms; a ratio of 1 is no split.
static bool ReadRatio(const std::string& text, StockSplit& split) {
  const size_t colon = text.find(':');
  int64_t n = 0, d = 0;
  if (colon == std::string::npos || !ReadShares(std::string_view(text).substr(0, colon), n) ||
      !ReadShares(std::string_view(text).substr(colon + 1), d) || n == d)
    return false;
  const int64_t g = std::gcd(n, d);
  split.newShares = static_cast<int>(n / g);
  split.oldShares = static_cast<int>(d / g);
  return true;
}

bool CorporateActions::ParseCsv(std::string_view text, const std::string& sourceName, std::string& error) {
  std::map<std::string, Row> merged = rows;
  const auto readRow = [&merged](const std::vector<std::string>& f, std::string& why) {
    if (f.size() != 4) {
      why = "expected 4 fields, found " + std::to_string(f.size());
      return false;
    }
    Row row;
    const std::string symbol = AsciiUpper(f[0]);
    int day = 0;
    if (!EventSymbol(symbol) || !ReadIsoDay(f[1], day)) {
      why = !EventSymbol(symbol) ? "bad symbol \"" + f[0].substr(0, 32) + "\""
                                 : "bad date \"" + f[1].substr(0, 32) + "\"";
      return false;
    }
    if (f[2] == "split") {
      row.split = true;
      row.splitRow.day = day;
      if (!ReadRatio(f[3], row.splitRow)) {
        why = "a split needs new:old shares such as 10:1, each from 1 to " + std::to_string(kMaxSplitShares);
        return false;
      }
    } else if (f[2] == "symbol-change") {
      row.change = {day, AsciiUpper(f[3]), symbol};
      if (!EventSymbol(row.change.oldSymbol) || row.change.oldSymbol == symbol) {
        why = "a symbol change needs the former symbol as its value";
        return false;
      }
    } else {
      why = "the event must be split or symbol-change";
      return false;
    }
    merged[symbol + " " + f[1] + " " + f[2]] = row;
    return true;
  };
  int problemLine = 0;
  std::string why;
  if (!ReadCsvRows(text, kHeader, true, readRow, problemLine, why)) {
    error = sourceName + (problemLine ? ":" + std::to_string(problemLine) : std::string()) + ": " + why;
    return false;
  }
  CorporateActions candidate;
  candidate.rows = std::move(merged);
  candidate.Rebuild();
  for (const auto& [symbol, list] : candidate.splits) {
    int64_t n = 1, d = 1;
    SplitFactor(list, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), n, d);
    if (n > kMaxSplitProduct || d > kMaxSplitProduct) {
      error = sourceName + ": the splits of " + symbol + " multiply to more than " +
              std::to_string(kMaxSplitProduct) + " shares";
      return false;
    }
  }
  *this = std::move(candidate);
  return true;
}

bool CorporateActions::LoadFile(const std::string& path, std::string& error) {
  std::string text;
  if (!ReadTextFile(path, text)) {
    error = path + ": cannot be opened";
    return false;
  }
  return ParseCsv(text, path, error);
}

void CorporateActions::Rebuild() {
  splits.clear();
  changesFrom.clear();
  for (const auto& [key, row] : rows) {
    const std::string symbol = key.substr(0, key.find(' '));
    if (row.split) {
      splits[symbol].push_back(row.splitRow);
    } else {
      changesFrom[row.change.oldSymbol] = row.change;
    }
  }
  for (auto& [symbol, list] : splits) {
    std::sort(list.begin(), list.end(),
              [](const StockSplit& a, const StockSplit& b) { return a.day < b.day; });
  }
}

const std::vector<StockSplit>& CorporateActions::Splits(std::string_view symbol) const {
  static const std::vector<StockSplit> kNone;
  auto it = splits.find(symbol);
  return it == splits.end() ? kNone : it->second;
}

const SymbolChange* CorporateActions::ChangeFrom(std::string_view oldSymbol) const {
  auto it = changesFrom.find(oldSymbol);
  return it == changesFrom.end() ? nullptr : &it->second;
}

std::vector<SymbolChange> CorporateActions::ChangesTo(std::string_view symbol) const {
  std::vector<SymbolChange> out;
  for (const auto& [old, change] : changesFrom) {
    if (change.newSymbol == symbol) out.push_back(change);
  }
  std::sort(out.begin(), out.end(),
            [](const SymbolChange& a, const SymbolChange& b) { return a.day < b.day; });
  return out;
}

void SplitFactor(const std::vector<StockSplit>& splits, int after, int upTo, int64_t& numerator,
                 int64_t& denominator) {
  numerator = denominator = 1;
  for (const StockSplit& s : splits) {
    if (s.day <= after || s.day > upTo) continue;
    numerator *= s.newShares;
    denominator *= s.oldShares;
    const int64_t g = std::gcd(numerator, denominator);
    numerator /= g;
    denominator /= g;
  }
}
