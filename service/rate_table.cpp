#include "service/rate_table.h"

#include "service/currency_table.h"
#include "service/security_list.h"
#include "service/text_format.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

static constexpr size_t kMaxRateDays = 40000;

int RateTable::Column(std::string_view code) const {
  for (size_t i = 0; i < currencies.size(); ++i) {
    if (currencies[i] == code) return static_cast<int>(i);
  }
  return -1;
}

static bool ReadIsoDay(const std::string& text, int& day) {
  int y = 0, m = 0, d = 0;
  char extra = 0;
  if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) != 3) return false;
  return y >= 1900 && y <= 2200 && MakeDay(y, m, d, day);
}

static bool ReadHeader(std::string_view line, RateTable& table, std::string& why) {
  std::vector<std::string> fields;
  if (!SplitCsvLine(line, fields) || fields.empty() || fields[0] != "Date") {
    why = "expected the header \"Date,USD,...\"";
    return false;
  }
  std::set<std::string> seen;
  for (size_t i = 1; i < fields.size(); ++i) {
    if (FindMajorCurrency(fields[i]) == nullptr || fields[i] == "EUR" || !seen.insert(fields[i]).second) {
      why = "the column \"" + fields[i].substr(0, 16) + "\" is no currency, the euro itself or a repeat";
      return false;
    }
    table.currencies.push_back(fields[i]);
  }
  return true;
}

bool ParseRateTableCsv(std::string_view text, RateTable& table, std::string& error) {
  RateTable parsed;
  std::map<int, std::vector<Decimal>> rows;
  size_t start = 0;
  int lineNumber = 0;
  std::string_view line;
  std::vector<std::string> fields;
  std::string why;
  bool headerSeen = false;
  auto fail = [&](const std::string& message) {
    error = "line " + std::to_string(lineNumber) + ": " + message;
    return false;
  };
  while (NextTextLine(text, start, line)) {
    ++lineNumber;
    if (line.empty()) continue;
    if (!headerSeen) {
      if (!ReadHeader(line, parsed, why)) return fail(why);
      if (parsed.currencies.empty()) return fail("no currency columns");
      headerSeen = true;
      continue;
    }
    int day = 0;
    if (!SplitCsvLine(line, fields) || fields.size() != parsed.currencies.size() + 1)
      return fail("wrong number of fields");
    if (!ReadIsoDay(fields[0], day)) return fail("bad date \"" + fields[0].substr(0, 32) + "\"");
    if (rows.count(day)) return fail("the date " + fields[0] + " appears twice");
    if (rows.size() >= kMaxRateDays) return fail("too many days");
    std::vector<Decimal>& values = rows[day];
    values.resize(parsed.currencies.size());
    for (size_t i = 1; i < fields.size(); ++i) {
      if (!fields[i].empty() && !ParseDecimal(fields[i], values[i - 1]))
        return fail("bad rate \"" + fields[i].substr(0, 32) + "\"");
    }
  }
  if (!headerSeen) {
    error = "no header line";
    return false;
  }
  for (auto& [day, values] : rows) {
    parsed.days.push_back(day);
    parsed.perEuro.push_back(std::move(values));
  }
  table = std::move(parsed);
  return true;
}

std::string FormatRateTableCsv(const RateTable& table) {
  std::string out = "Date";
  for (const std::string& code : table.currencies) out += "," + code;
  out += "\n";
  for (size_t i = table.days.size(); i-- > 0;) {
    out += FormatIsoDay(table.days[i]);
    for (const Decimal& value : table.perEuro[i])
      out += "," + (value.Valid() ? FormatDecimal(value) : std::string());
    out += "\n";
  }
  return out;
}

RateMerge MergeRates(RateTable& table, const std::vector<RateObservation>& observations) {
  RateMerge merge;
  std::map<int, std::vector<Decimal>> rows;
  for (size_t i = 0; i < table.days.size(); ++i) rows[table.days[i]] = table.perEuro[i];
  for (const RateObservation& o : observations) {
    int column = table.Column(o.currency);
    if (column < 0) {
      table.currencies.push_back(o.currency);
      column = static_cast<int>(table.currencies.size()) - 1;
    }
    std::vector<Decimal>& values = rows[o.day];
    values.resize(table.currencies.size());
    Decimal& stored = values[static_cast<size_t>(column)];
    if (!stored.Valid()) {
      ++merge.added;
    } else if (CompareDecimals(stored, o.perEuro) != 0) {
      ++merge.replaced;
    }
    stored = o.perEuro;
  }
  table.days.clear();
  table.perEuro.clear();
  for (auto& [day, values] : rows) {
    values.resize(table.currencies.size());
    table.days.push_back(day);
    table.perEuro.push_back(std::move(values));
  }
  return merge;
}
