// The rate solver, the reading of the service's rows, and the run that asks a source symbol by symbol.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

#include "portfolio/performance/history_close_source.h"
#include "portfolio/performance/irr_solver.h"
#include "portfolio/performance/performance_run.h"
#include "tests/support/exact_values.h"
#include "tests/support/noon_utc.h"

namespace {

int64_t Day(int year, int month, int day) {
  return NoonUtc(year, month, day) / 86400;
}

// Closes from a table; a symbol not in it has no history. Counts the requests and records their spans.
class TableCloseSource : public IDailyCloseSource {
 public:
  explicit TableCloseSource(CloseTable table) : table(std::move(table)) {}
  CloseRequestResult GetCloses(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                               std::vector<DailyClose>& closes) override {
    asked.push_back({symbol, firstDay, lastDay});
    closes.clear();
    const auto it = table.find(symbol);
    if (it == table.end()) return {CloseRequestStatus::NoHistory, "Error parsing content", {}};
    for (const DailyClose& c : it->second) {
      if (c.day >= firstDay && c.day <= lastDay) closes.push_back(c);
    }
    return {};
  }
  struct Request {
    std::string symbol;
    int64_t firstDay, lastDay;
  };
  std::vector<Request> asked;

 private:
  CloseTable table;
};

PerformanceLots LotsOf(std::vector<std::pair<std::string, int64_t>> bought) {
  PerformanceLots lots;
  for (const auto& [symbol, day] : bought) {
    PerformanceLot lot;
    lot.symbol = symbol;
    lot.qty = Shares(1);
    lot.buyPrice = Cents(10000);
    lot.purchaseDay = day;
    lots.lots.push_back(lot);
  }
  return lots;
}

}  // namespace

TEST(IrrSolver, FindsTheRateOrSaysThereIsNone) {
  const int64_t y = 365;
  struct Case {
    const char* what;
    std::vector<CashFlow> flows;
    std::optional<double> rate;
  } cases[] = {
      {"doubling in a year", {{0, -10000}, {y, 20000}}, 1.0},
      {"a loss of 40% in half a year", {{0, -10000}, {y / 2, 6000}}, std::pow(0.6, 365.0 / 182) - 1},
      {"nearly wiped out in a month", {{0, -10000}, {30, 1}}, std::pow(1e-4, 365.0 / 30) - 1},
      {"two rates solve it; the one nearer 0", {{0, -10000}, {y, 23000}, {2 * y, -13200}}, 0.1},
      {"nothing comes back", {{0, -10000}, {y, -5000}}, std::nullopt},
      {"everything on one day", {{5, -10000}, {5, 12000}}, std::nullopt},
      {"no flows", {}, std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<double> rate = SolveIrr(c.flows);
    ASSERT_EQ(rate.has_value(), c.rate.has_value()) << c.what;
    if (c.rate) {
      EXPECT_NEAR(*rate, *c.rate, 1e-7) << c.what;
    }
  }
}

TEST(HistoryRows, ClosesReadAsCentsAndDaysAsCalendarDays) {
  struct Case {
    const char* text;
    bool ok;
    int64_t cents;
  } closes[] = {{"272.35", true, 27235},   {"272.3", true, 27230}, {"272", true, 27200}, {".5", true, 50},
                {"0.125", true, 13},       {"0.1249", true, 12},   {"", false, 0},       {"N/A", false, 0},
                {"-1.00", false, 0},       {"0.00", false, 0},     {"1e5", false, 0},    {"1.2.3", false, 0},
                {"100000000000", false, 0}};
  for (const Case& c : closes) {
    int64_t cents = -1;
    EXPECT_EQ(ParseCloseCents(c.text, &cents), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(cents, c.cents) << c.text;
    }
  }
  int64_t day = 0;
  EXPECT_TRUE(ParseDayText("6-Dec-2026", &day));
  EXPECT_EQ(day, Day(2026, 12, 6));
  EXPECT_TRUE(ParseDayText("29-Feb-2024", &day));
  EXPECT_EQ(day, Day(2024, 2, 29));
  for (const char* bad : {"29-Feb-2025", "6-Dex-2026", "2026-12-06", "6-Dec-2026x", ""}) {
    EXPECT_FALSE(ParseDayText(bad, &day)) << bad;
  }
}

TEST(PerformanceRun, AsksEachSymbolOnceFromBeforeTheSpanToItsEnd) {
  const int64_t jan6 = Day(2025, 1, 6), feb3 = Day(2025, 2, 3);
  TableCloseSource source({{"AAA", {{jan6, 10000}, {feb3, 11000}}}, {"BBB", {{jan6, 10000}, {feb3, 9000}}}});
  std::vector<std::string> progress;
  const PerformanceOutcome outcome =
      RunPerformance(LotsOf({{"BBB", jan6}, {"AAA", jan6}, {"AAA", feb3}}), {std::nullopt, feb3}, source,
                     [&](int done, int total, const std::string& symbol) {
                       progress.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + symbol);
                       return true;
                     });
  ASSERT_EQ(outcome.status, PerformanceStatus::Ok);
  ASSERT_EQ(source.asked.size(), 2u);
  EXPECT_EQ(source.asked[0].symbol, "AAA");
  EXPECT_EQ(source.asked[0].firstDay, jan6 - kCloseLookbackDays);
  EXPECT_EQ(source.asked[0].lastDay, feb3);
  EXPECT_EQ(progress, (std::vector<std::string>{"0/2 AAA", "1/2 BBB", "2/2 "}));
  EXPECT_EQ(outcome.figures.finalValueCents, 2 * 11000 + 9000);
}

TEST(PerformanceRun, StopsAtASymbolWithoutHistoryOrWhenCancelled) {
  const int64_t jan6 = Day(2025, 1, 6);
  TableCloseSource source({{"AAA", {{jan6, 10000}}}, {"CCC", {{jan6, 10000}}}});
  const PerformanceLots lots = LotsOf({{"AAA", jan6}, {"BBB", jan6}, {"CCC", jan6}});
  const PerformanceOutcome unknown = RunPerformance(lots, {std::nullopt, jan6}, source);
  EXPECT_EQ(unknown.status, PerformanceStatus::NoHistory);
  EXPECT_EQ(unknown.symbol, "BBB");
  EXPECT_EQ(source.asked.size(), 2u) << "nothing is asked after the symbol without history";

  source.asked.clear();
  const PerformanceOutcome cancelled = RunPerformance(
      lots, {std::nullopt, jan6}, source, [](int done, int, const std::string&) { return done < 1; });
  EXPECT_EQ(cancelled.status, PerformanceStatus::Cancelled);
  EXPECT_EQ(source.asked.size(), 1u);
}

TEST(PerformanceRun, ASymbolWithoutHistoryTakesItsPricesSetByHandAsCloses) {
  const int64_t jan6 = Day(2025, 1, 6), jan20 = Day(2025, 1, 20), feb3 = Day(2025, 2, 3);
  TableCloseSource source({{"AAA", {{jan6, 10000}, {feb3, 11000}}}});
  PerformanceLots lots = LotsOf({{"AAA", jan6}, {"fund1", jan6}});
  // Prices set by hand keep their decimals; the one of Jan 20 values Feb 3 too.
  lots.manualCloses["FUND1"] = {{jan6, PriceOf("100.004")}, {jan20, PriceOf("120.0051")}};
  lots.manualCloses["AAA"] = {{jan6, PriceOf("1")}};  // a symbol with a history keeps it
  const PerformanceOutcome outcome = RunPerformance(lots, {std::nullopt, feb3}, source);
  ASSERT_EQ(outcome.status, PerformanceStatus::Ok) << outcome.symbol;
  EXPECT_EQ(outcome.figures.finalValueCents, 11000 + 12001);

  // Held before its first price set by hand: no close for that day, as for a history that starts late.
  lots.manualCloses["FUND1"] = {{jan20, PriceOf("120")}};
  const PerformanceOutcome early = RunPerformance(lots, {std::nullopt, feb3}, source);
  EXPECT_EQ(early.status, PerformanceStatus::NoClose);
  EXPECT_EQ(early.symbol, "fund1");
}

TEST(CachedCloseSource, AsksAgainOnlyForDaysNotAskedYet) {
  const int64_t jan6 = Day(2025, 1, 6), feb3 = Day(2025, 2, 3), mar3 = Day(2025, 3, 3);
  auto table =
      std::make_unique<TableCloseSource>(CloseTable{{"AAA", {{jan6, 10000}, {feb3, 11000}, {mar3, 12000}}}});
  TableCloseSource& inner = *table;
  CachedCloseSource cache(std::move(table));
  std::vector<DailyClose> closes;
  ASSERT_EQ(cache.GetCloses("AAA", jan6, feb3, closes).status, CloseRequestStatus::Ok);
  EXPECT_EQ(closes.size(), 2u);
  ASSERT_EQ(cache.GetCloses("AAA", jan6 + 1, feb3, closes).status, CloseRequestStatus::Ok);
  EXPECT_EQ(inner.asked.size(), 1u) << "a span inside one asked before comes from the cache";
  ASSERT_EQ(cache.GetCloses("AAA", jan6, mar3, closes).status, CloseRequestStatus::Ok);
  ASSERT_EQ(inner.asked.size(), 2u);
  EXPECT_EQ(inner.asked[1].firstDay, jan6);
  EXPECT_EQ(closes.size(), 3u);
  // A failed request is not kept: the next one asks again.
  EXPECT_EQ(cache.GetCloses("ZZZ", jan6, feb3, closes).status, CloseRequestStatus::NoHistory);
  EXPECT_EQ(cache.GetCloses("ZZZ", jan6, feb3, closes).status, CloseRequestStatus::NoHistory);
  EXPECT_EQ(inner.asked.size(), 4u);
}
