#pragma once

#include "service/chart_renderer.h"
#include "service/trading_calendar.h"

#include <string>
#include <string_view>
#include <vector>

class Market;

enum class ChartFrequency { FiveMinutes, FifteenMinutes, Daily, Weekly, Monthly };

// A chart request in either URL form, reduced to what the chart needs.
struct ChartQuery {
  std::string symbol;                // resolved against the securities list when possible
  std::vector<std::string> compare;  // further symbols and index overlays
  int sessions = 0;                  // intraday chart over this many sessions, or 0
  int calendarDays = 366;            // daily chart over this span
  ChartFrequency frequency = ChartFrequency::Daily;
  std::vector<int> movingAverages;  // e.g. {50, 200}
  int width = 360;
  int height = 270;
};

// "/charts/big.chart?symb=AU%3ABHP&comp=DJIA&size=1&time=8&freq=1&ma=1&maval=50&style=320".
[[nodiscard]] bool ParseBigChartQuery(const Market& market, std::string_view rawQuery, ChartQuery& query,
                                      std::string& error);
// "/b?s=msft", "/w?s=msft" and "/c/1y/m/msft.gif" (also 5y and my).
[[nodiscard]] bool ParseQuoteChartRequest(const Market& market, std::string_view path,
                                          std::string_view rawQuery, ChartQuery& query, std::string& error);
// "AU:BHP" -> "BHP.AX", "DJI" -> "^DJI" when only that is known; unknown symbols come back upper-cased.
std::string ResolveChartSymbol(const Market& market, std::string_view text);
