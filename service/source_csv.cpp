#include "service/source_csv.h"

#include "framework/text_util.h"
#include "service/security_list.h"
#include "service/text_format.h"
#include "service/upstream_source.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

static constexpr size_t kMaxLineLength = 4096;
static constexpr size_t kMaxRows = 200000;

// Splits a pattern into fields: 'Y', 'M', 'D' with their width (0: one or two digits) or a literal.
struct PatternPart {
  char field = 0;
  int width = 0;
  char literal = 0;
};

static bool SplitPattern(std::string_view pattern, std::vector<PatternPart>& parts) {
  parts.clear();
  int seen[3] = {0, 0, 0};
  for (size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if (c != 'Y' && c != 'M' && c != 'D') {
      parts.push_back({0, 0, c});
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    const bool ok = c == 'Y' ? run == 4 : run == 1 || run == 2;
    if (!ok) return false;
    ++seen[c == 'Y' ? 0 : c == 'M' ? 1 : 2];
    parts.push_back({c, run == 1 ? 0 : static_cast<int>(run), 0});
    i += run;
  }
  return seen[0] == 1 && seen[1] == 1 && seen[2] == 1 && pattern.size() <= 32;
}

bool ValidDatePattern(std::string_view pattern) {
  std::vector<PatternPart> parts;
  return SplitPattern(pattern, parts);
}

bool ParsePatternDate(std::string_view pattern, std::string_view text, int& day) {
  std::vector<PatternPart> parts;
  if (!SplitPattern(pattern, parts)) return false;
  int year = 0, month = 0, dayOfMonth = 0;
  size_t at = 0;
  for (const PatternPart& p : parts) {
    if (p.field == 0) {
      if (at >= text.size() || text[at] != p.literal) return false;
      ++at;
      continue;
    }
    size_t digits = 0;
    const size_t most = p.width == 0 ? 2 : static_cast<size_t>(p.width);
    while (digits < most && at + digits < text.size() && text[at + digits] >= '0' && text[at + digits] <= '9')
      ++digits;
    if (digits == 0 || (p.width != 0 && digits != most)) return false;
    int value = 0;
    std::from_chars(text.data() + at, text.data() + at + digits, value);
    (p.field == 'Y' ? year : p.field == 'M' ? month : dayOfMonth) = value;
    at += digits;
  }
  return at == text.size() && year >= 1900 && year <= 2200 && MakeDay(year, month, dayOfMonth, day);
}

std::string FormatPatternDate(std::string_view pattern, int day) {
  std::vector<PatternPart> parts;
  if (!SplitPattern(pattern, parts)) return FormatIsoDay(day);
  int year = 0, month = 0, dayOfMonth = 0;
  SplitDay(day, year, month, dayOfMonth);
  std::string out;
  for (const PatternPart& p : parts) {
    if (p.field == 0) {
      out += p.literal;
      continue;
    }
    const int value = p.field == 'Y' ? year : p.field == 'M' ? month : dayOfMonth;
    std::string digits = std::to_string(value);
    while (static_cast<int>(digits.size()) < p.width) digits.insert(digits.begin(), '0');
    out += digits;
  }
  return out;
}

static bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

static SourceAnswer NotCsv(std::string why) {
  SourceAnswer a;
  a.kind = SourceAnswer::Kind::NotCsv;
  a.error = std::move(why);
  return a;
}

// Column positions of one answer; -1 where the source has no such column.
struct ColumnPlan {
  int date = -1, open = -1, high = -1, low = -1, close = -1, volume = -1, adjClose = -1;
  size_t needed = 0;  // fields a row must have
};

static bool FindColumn(const std::string& setting, const std::vector<std::string>& header, int& index,
                       std::string& why) {
  if (setting.empty()) return true;
  if (setting[0] == '#') {
    int position = 0;
    const auto [end, ec] = std::from_chars(setting.data() + 1, setting.data() + setting.size(), position);
    if (ec != std::errc() || end != setting.data() + setting.size() || position < 1 || position > 64) {
      why = "bad column position \"" + setting + "\"";
      return false;
    }
    index = position - 1;
    return true;
  }
  for (size_t i = 0; i < header.size(); ++i) {
    if (EqualNoCase(header[i], setting)) {
      index = static_cast<int>(i);
      return true;
    }
  }
  why = "no column \"" + setting + "\" in the header";
  return false;
}

static bool ReadPrice(const std::vector<std::string>& f, int index, std::optional<double>& value) {
  if (index < 0) return true;
  std::string_view text = f[static_cast<size_t>(index)];
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  double v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(v) || v < 0 ||
      v >= 1e15)
    return false;
  value = v;
  return true;
}

static bool ReadRow(const UpstreamSource& source, const ColumnPlan& plan, const std::vector<std::string>& f,
                    DailyBar& bar, std::string& why) {
  if (f.size() < plan.needed) {
    why = "expected at least " + std::to_string(plan.needed) + " fields";
    return false;
  }
  if (!ParsePatternDate(source.dateFormat, f[static_cast<size_t>(plan.date)], bar.day)) {
    why = "bad date \"" + f[static_cast<size_t>(plan.date)].substr(0, 32) + "\"";
    return false;
  }
  std::optional<double> open, high, low, close, volume, adjClose;
  if (!ReadPrice(f, plan.open, open) || !ReadPrice(f, plan.high, high) || !ReadPrice(f, plan.low, low) ||
      !ReadPrice(f, plan.close, close) || !ReadPrice(f, plan.adjClose, adjClose)) {
    why = "bad number";
    return false;
  }
  // Indexes often come without a volume; an empty one is no volume, not a fault.
  if (plan.volume >= 0 && !f[static_cast<size_t>(plan.volume)].empty() &&
      !ReadPrice(f, plan.volume, volume)) {
    why = "bad volume";
    return false;
  }
  auto cents = [](double v) { return std::round(v * 100.0) / 100.0; };
  bar.close = cents(*close);
  if (bar.close <= 0) {
    why = "no closing price";
    return false;
  }
  bar.open = cents(open.value_or(bar.close));
  // Some sources round the day's range apart from open and close; the range is widened to hold both.
  bar.high = std::max({cents(high.value_or(bar.close)), bar.open, bar.close});
  bar.low = std::min({cents(low.value_or(bar.close)), bar.open, bar.close});
  bar.volume = std::round(volume.value_or(0));
  bar.adjClose = cents(adjClose.value_or(bar.close));
  return true;
}

SourceAnswer ParseSourceAnswer(const UpstreamSource& source, std::string_view body) {
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  std::string_view lead = body;
  while (!lead.empty() &&
         (lead.front() == ' ' || lead.front() == '\t' || lead.front() == '\r' || lead.front() == '\n'))
    lead.remove_prefix(1);
  if (lead.empty()) return NotCsv("an empty answer");
  for (const std::string& text : source.noDataTexts) {
    if (StartsWithNoCase(lead, text)) {
      SourceAnswer a;
      a.kind = SourceAnswer::Kind::NoData;
      a.error = "no data for this symbol";
      return a;
    }
  }
  if (lead.front() == '<' || AsciiLower(lead.substr(0, 1024)).find("<html") != std::string::npos)
    return NotCsv("an HTML page instead of CSV");

  ColumnPlan plan;
  std::vector<std::string> fields;
  std::vector<DailyBar> rows;
  size_t start = 0;
  int lineNumber = 0;
  bool planned = false;
  std::string_view line;
  std::string why;
  auto makePlan = [&](const std::vector<std::string>& header) {
    if (!FindColumn(source.dateColumn, header, plan.date, why) ||
        !FindColumn(source.openColumn, header, plan.open, why) ||
        !FindColumn(source.highColumn, header, plan.high, why) ||
        !FindColumn(source.lowColumn, header, plan.low, why) ||
        !FindColumn(source.closeColumn, header, plan.close, why) ||
        !FindColumn(source.volumeColumn, header, plan.volume, why) ||
        !FindColumn(source.adjCloseColumn, header, plan.adjClose, why))
      return false;
    for (int i : {plan.date, plan.open, plan.high, plan.low, plan.close, plan.volume, plan.adjClose})
      plan.needed = std::max(plan.needed, static_cast<size_t>(i + 1));
    return true;
  };
  while (NextTextLine(body, start, line)) {
    ++lineNumber;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (line.size() > kMaxLineLength) return NotCsv(where + "line too long");
    if (line.empty()) continue;
    if (!SplitCsvLine(line, fields)) return NotCsv(where + "unbalanced quote");
    if (!planned) {
      planned = true;
      if (!makePlan(source.header ? fields : std::vector<std::string>{})) return NotCsv(where + why);
      if (source.header) continue;
    }
    if (rows.size() >= kMaxRows) return NotCsv("more than " + std::to_string(kMaxRows) + " rows");
    DailyBar bar;
    if (!ReadRow(source, plan, fields, bar, why)) return NotCsv(where + why);
    rows.push_back(bar);
  }
  if (rows.empty()) {
    SourceAnswer a;
    a.kind = SourceAnswer::Kind::NoData;
    a.error = "an answer without rows";
    return a;
  }
  std::sort(rows.begin(), rows.end(), [](const DailyBar& a, const DailyBar& b) { return a.day < b.day; });
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].day == rows[i - 1].day)
      return NotCsv("the date " + FormatIsoDay(rows[i].day) + " appears twice");
  }
  SourceAnswer a;
  a.kind = SourceAnswer::Kind::Rows;
  a.rows = std::move(rows);
  return a;
}
