#pragma once

#include "service/corporate_actions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PriceModel;
struct Security;

// The simulated market pays each dividend payer its annual dividend of the securities list in four equal
// quarterly amounts, on the quarterly ex-dates of its schedule. The annual figure is that of 2026 and moves
// with the security's trend growth from year to year, so the yield stays plausible from 1990 on; each
// quarter's amount is rounded to 1/10000 in today's shares, and on its ex-date it is what was paid per share
// then (a later 10:1 split makes an old share's dividend ten times a new one's). Nothing depends on the
// clock: a past amount never changes.

// The quarterly amount paid in `year`, in millionths per share of today (after every known split).
int64_t QuarterlyDividendMicros(const PriceModel& model, const Security& security, int year);
// The pay date of a simulated dividend: three weeks after its ex-date, on a trading day.
int SimulatedPayDay(int exDay);
// The simulated dividends with their ex-date in [fromDay, toDay], oldest first, as traded on their ex-dates.
std::vector<DividendPayment> SimulatedDividends(const PriceModel& model, const Security& security,
                                                const std::vector<StockSplit>& splits, int fromDay,
                                                int toDay);

// A user's dividend file, DIR/dividends/SYMBOL.csv: the header "Date,Dividends" (the classic download),
// optionally followed by ",Pay Date" and ",Currency"; one row per dividend with its ex-date (YYYY-MM-DD), the
// amount per share as paid on that day (at most 6 decimals), the pay date (YYYY-MM-DD, not before the
// ex-date, or empty) and the currency (empty: `defaultCurrency`). Rows in any order; they come out oldest
// first. On a malformed row `payments` is left untouched and `error` names the line.
[[nodiscard]] bool ParseDividendCsv(std::string_view text, const std::string& defaultCurrency,
                                    std::vector<DividendPayment>& payments, std::string& error);
