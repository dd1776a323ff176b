#include "service/dividend_history.h"

#include "service/currency_table.h"
#include "service/decimal_text.h"
#include "service/exchange_info.h"
#include "service/price_model.h"
#include "service/security_list.h"
#include "service/text_format.h"
#include "service/trading_calendar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>

static constexpr size_t kMaxDividendRows = 20000;

int64_t QuarterlyDividendMicros(const PriceModel& model, const Security& security, int year) {
  if (security.dividend <= 0) return 0;
  const double annual = security.dividend * std::exp(model.AnnualGrowth(security) * (year - 2026));
  return std::llround(annual / 4.0 * 10000.0) * 100;
}

int SimulatedPayDay(int exDay) {
  const int day = exDay + 21;
  return TradingCalendar::IsTradingDay(day) ? day : TradingCalendar::NextTradingDay(day);
}

std::vector<DividendPayment> SimulatedDividends(const PriceModel& model, const Security& security,
                                                const std::vector<StockSplit>& splits, int fromDay,
                                                int toDay) {
  std::vector<DividendPayment> out;
  for (int exDay : model.ExDividendDays(security, fromDay, toDay)) {
    int year, month, dayOfMonth;
    SplitDay(exDay, year, month, dayOfMonth);
    const int64_t today = QuarterlyDividendMicros(model, security, year);
    if (today <= 0) continue;
    int64_t n = 1, d = 1;
    SplitFactor(splits, exDay, std::numeric_limits<int>::max(), n, d);
    out.push_back({exDay, SimulatedPayDay(exDay), ScaleMicros(today, n, d), security.exchange->currency});
  }
  return out;
}

static bool ReadIsoDay(const std::string& text, int& day) {
  int y = 0, m = 0, d = 0;
  char extra = 0;
  if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) != 3) return false;
  return y >= 1900 && y <= 2200 && MakeDay(y, m, d, day);
}

static bool ReadDividendRow(const std::vector<std::string>& f, size_t columns, const std::string& currency,
                            DividendPayment& row, std::string& why) {
  if (f.size() != columns) {
    why = "expected " + std::to_string(columns) + " fields, found " + std::to_string(f.size());
    return false;
  }
  if (!ReadIsoDay(f[0], row.exDay)) {
    why = "bad date \"" + f[0].substr(0, 32) + "\"";
    return false;
  }
  if (!ParseMicros(f[1], row.amountMicros)) {
    why = "bad amount \"" + f[1].substr(0, 32) + "\" (a positive number with at most 6 decimals)";
    return false;
  }
  if (columns > 2 && !f[2].empty() && (!ReadIsoDay(f[2], row.payDay) || row.payDay < row.exDay)) {
    why = "bad pay date \"" + f[2].substr(0, 32) + "\" (YYYY-MM-DD, not before the ex-date)";
    return false;
  }
  row.currency = columns > 3 && !f[3].empty() ? f[3] : currency;
  if (FindCurrency(row.currency) == nullptr) {
    why = "unknown currency \"" + row.currency.substr(0, 16) + "\"";
    return false;
  }
  return true;
}

bool ParseDividendCsv(std::string_view text, const std::string& defaultCurrency,
                      std::vector<DividendPayment>& payments, std::string& error) {
  static const char* const kHeaders[] = {"Date,Dividends", "Date,Dividends,Pay Date",
                                         "Date,Dividends,Pay Date,Currency"};
  // The header decides how many columns every row has.
  size_t start = 0;
  std::string_view first;
  while (NextTextLine(text, start, first) && first.empty()) {
  }
  size_t columns = 0;
  for (size_t i = 0; i < std::size(kHeaders); ++i) {
    if (first == kHeaders[i]) columns = i + 2;
  }
  if (columns == 0) {
    error = "expected the header \"Date,Dividends\" (with \",Pay Date\" and \",Currency\" when known)";
    return false;
  }
  std::vector<DividendPayment> rows;
  const auto readRow = [&](const std::vector<std::string>& fields, std::string& why) {
    if (rows.size() >= kMaxDividendRows) {
      why = "more than " + std::to_string(kMaxDividendRows) + " rows";
      return false;
    }
    DividendPayment row;
    if (!ReadDividendRow(fields, columns, defaultCurrency, row, why)) return false;
    rows.push_back(std::move(row));
    return true;
  };
  int problemLine = 0;
  std::string why;
  if (!ReadCsvRows(text, kHeaders[columns - 2], false, readRow, problemLine, why)) {
    error = problemLine ? "line " + std::to_string(problemLine) + ": " + why : why;
    return false;
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const DividendPayment& a, const DividendPayment& b) { return a.exDay < b.exDay; });
  payments = std::move(rows);
  return true;
}
