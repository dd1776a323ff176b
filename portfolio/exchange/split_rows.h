#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "portfolio/columns/number_format.h"
#include "portfolio/corporate_actions/split_plan.h"
#include "portfolio/exchange/import_reading.h"

// Splits as statements and brokers' lists report them, read into the plan as splits that happened
// (ImportAction::applies).

// A ratio of new to old shares given as two share counts of any decimals ("3.0000", "1"; 7.451195 shares for
// 29.80478): in lowest terms. False when either is not above 0 or they are equal.
bool RatioOfShares(int64_t newUnits, int64_t oldUnits, SplitRatio& ratio);
// A ratio as files write it: "3:1", "3/1", "3 for 1", "3-for-1" (new shares first).
bool ReadRatioText(std::string_view text, SplitRatio& ratio);

// A split that happened to `symbol` on `day` (a day number), as an action of the plan.
ImportAction ReportedSplit(int line, const std::string& symbol, int64_t day, SplitRatio ratio,
                           std::string comment);

// A row of a broker's list of kind `split`, as the file wrote it.
struct SplitRow {
  int line = 0;
  std::string symbol;
  std::string date;
  std::string quantity;
};

// The split rows of a broker's list, added to the plan of `reading` once its trades are read. A row's
// quantity is the split's ratio ("10:1"), or the shares it adds (a negative count: takes away) to what the
// file's own trades hold of the symbol before its day; two rows of one symbol and day without a ratio are
// the shares before the split, then after it. A row of shares added to a symbol the file holds none of is
// listed as skipped; any other row that says no ratio is a problem of its line.
void AddSplitRows(const std::vector<SplitRow>& rows, const NumberFormat& numbers,
                  const std::string& datePattern, ImportReading& reading);
