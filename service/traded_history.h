#pragma once

#include "service/corporate_actions.h"
#include "service/history_csv.h"

#include <vector>

// How the daily history is served: prices as traded (before a split's ex-date, in the old shares) and an
// adjusted close that takes out every split and dividend up to the last bar, so that a close times its day's
// adjustment compares with today's prices. The factor of a dividend is 1 - amount / the close before its
// ex-date (in the same shares); a split's is old / new shares.

// Bars of the simulation are in today's shares, after every known split: their prices become those traded
// on each day. Bars of a real price file are as traded already.
void ToTradedPrices(const std::vector<StockSplit>& splits, std::vector<DailyBar>& bars);
// Prices of every bar in the shares of the last bar's day, for quotes and charts, which compare a price with
// those before it: `bars` are as traded.
void ToSharesOfLastDay(const std::vector<StockSplit>& splits, std::vector<DailyBar>& bars);
// The same for bars in today's shares seen on `lastDay` (before later splits, a share was fewer of today's).
void TodaysSharesToSharesOf(const std::vector<StockSplit>& splits, int lastDay, std::vector<DailyBar>& bars);
// Sets every adjusted close from the traded closes, the splits and the dividends (as traded).
void SetAdjustedCloses(const std::vector<StockSplit>& splits, const std::vector<DividendPayment>& dividends,
                       std::vector<DailyBar>& bars);
