#pragma once

#include <string>
#include <string_view>
#include <vector>

// One trading day of a security. Prices are in cents precision; `day` counts days from 1970-01-01.
struct DailyBar {
  int day = 0;
  double open = 0;
  double high = 0;
  double low = 0;
  double close = 0;
  double volume = 0;
  double adjClose = 0;
};

// The historical price CSV: header "Date,Open,High,Low,Close,Volume,Adj Close", one row per day
// with the date as YYYY-MM-DD. Parsing accepts rows in any order and returns them oldest first;
// on a malformed row it returns false with `error` naming the line, and `rows` is left untouched.
[[nodiscard]] bool ParseHistoryCsv(std::string_view text, std::vector<DailyBar>& rows, std::string& error);
// Rows newest first, as the download lists them; every line ends with a line feed.
std::string FormatHistoryCsv(const std::vector<DailyBar>& oldestFirst);
