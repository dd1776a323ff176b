#pragma once

#include "service/history_csv.h"

#include <string>
#include <string_view>
#include <vector>

struct UpstreamSource;

// What a source answered for one symbol.
struct SourceAnswer {
  enum class Kind { Rows, NoData, NotCsv } kind = Kind::NotCsv;
  std::vector<DailyBar> rows;  // oldest first, prices rounded to cents; only with Kind::Rows
  std::string error;           // why, for NoData and NotCsv
};

// Reads a source's answer by its settings. Anything that is not the source's CSV (an HTML page, a
// missing column, a bad date or number, an over-long line) is NotCsv with the reason and no rows.
[[nodiscard]] SourceAnswer ParseSourceAnswer(const UpstreamSource& source, std::string_view body);

// Date patterns: YYYY, MM and DD are fixed-width fields, M and D one or two digits, anything else literal.
bool ValidDatePattern(std::string_view pattern);
[[nodiscard]] bool ParsePatternDate(std::string_view pattern, std::string_view text, int& day);
std::string FormatPatternDate(std::string_view pattern, int day);
