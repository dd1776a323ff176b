#include "service/history_csv.h"

#include "service/security_list.h"
#include "service/text_format.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

static const char kHistoryHeader[] = "Date,Open,High,Low,Close,Volume,Adj Close";

static bool ReadDouble(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end && value >= 0 && value < 1e15;
}

static bool ReadDate(const std::string& text, int& day) {
  int y = 0, m = 0, d = 0;
  char extra = 0;
  if (text.size() > 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) != 3) return false;
  return y >= 1900 && y <= 2200 && MakeDay(y, m, d, day);
}

static bool ParseRow(const std::vector<std::string>& f, DailyBar& bar, std::string& why) {
  if (f.size() != 7) {
    why = "expected 7 fields";
    return false;
  }
  if (!ReadDate(f[0], bar.day)) {
    why = "bad date \"" + f[0].substr(0, 32) + "\"";
    return false;
  }
  if (!ReadDouble(f[1], bar.open) || !ReadDouble(f[2], bar.high) || !ReadDouble(f[3], bar.low) ||
      !ReadDouble(f[4], bar.close) || !ReadDouble(f[5], bar.volume) || !ReadDouble(f[6], bar.adjClose)) {
    why = "bad number";
    return false;
  }
  if (bar.low > bar.high || bar.open < bar.low || bar.open > bar.high || bar.close < bar.low ||
      bar.close > bar.high || bar.close <= 0) {
    why = "prices outside the day's range";
    return false;
  }
  return true;
}

bool ParseHistoryCsv(std::string_view text, std::vector<DailyBar>& rows, std::string& error) {
  std::vector<DailyBar> parsed;
  int problemLine = 0;
  std::string why;
  const auto readRow = [&parsed](const std::vector<std::string>& fields, std::string& reason) {
    DailyBar bar;
    if (!ParseRow(fields, bar, reason)) return false;
    parsed.push_back(bar);
    return true;
  };
  if (!ReadCsvRows(text, kHistoryHeader, false, readRow, problemLine, why)) {
    error = problemLine ? "line " + std::to_string(problemLine) + ": " + why : why;
    return false;
  }
  std::sort(parsed.begin(), parsed.end(), [](const DailyBar& a, const DailyBar& b) { return a.day < b.day; });
  for (size_t i = 1; i < parsed.size(); ++i) {
    if (parsed[i].day == parsed[i - 1].day) {
      error = "the date " + FormatIsoDay(parsed[i].day) + " appears twice";
      return false;
    }
  }
  rows = std::move(parsed);
  return true;
}

std::string FormatHistoryCsv(const std::vector<DailyBar>& oldestFirst) {
  std::string out = std::string(kHistoryHeader) + "\n";
  out.reserve(out.size() + oldestFirst.size() * 64);
  char line[160];
  for (auto it = oldestFirst.rbegin(); it != oldestFirst.rend(); ++it) {
    std::snprintf(line, sizeof line, "%s,%.2f,%.2f,%.2f,%.2f,%.0f,%.2f\n", FormatIsoDay(it->day).c_str(),
                  it->open, it->high, it->low, it->close, it->volume, it->adjClose);
    out += line;
  }
  return out;
}
