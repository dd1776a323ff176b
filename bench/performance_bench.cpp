// The performance figures of 200 positions over ten years of daily closes, once the histories are cached:
// the run as the window and the command line make it (the closes copied out of the session cache, then the
// figures) and the computation alone.
#include <benchmark/benchmark.h>

#include <memory>

#include "portfolio/performance/history_close_source.h"
#include "portfolio/performance/performance_run.h"
#include "portfolio/records/calendar_date.h"

namespace {

constexpr int kPositions = 200;
constexpr int kYears = 10;

const int64_t kFirstDay = DayNumberOf({2016, 12, 1});
const int64_t kLastDay = DayNumberOf({2016 + kYears, 12, 1});

// Weekday closes of every symbol, each on its own path.
CloseTable TenYearsOfCloses() {
  CloseTable table;
  for (int s = 0; s < kPositions; ++s) {
    std::vector<DailyClose>& closes = table["S" + std::to_string(s)];
    int64_t cents = 2000 + s * 37;
    for (int64_t day = kFirstDay - 40; day <= kLastDay; ++day) {
      if ((day + 4) % 7 >= 5) continue;  // 1970-01-01 was a Thursday
      cents += ((day * 7919 + s * 104729) % 61) - 30;
      if (cents < 100) cents = 100;
      closes.push_back({day, cents});
    }
  }
  return table;
}

// One lot per symbol bought over the years, every third one sold two years later.
PerformanceLots TwoHundredLots() {
  PerformanceLots lots;
  for (int s = 0; s < kPositions; ++s) {
    PerformanceLot lot;
    lot.symbol = "S" + std::to_string(s);
    lot.qty = Quantity::FromWhole(10 + s % 90);
    lot.buyPrice = PriceOfCents(2000 + s * 37);
    lot.buyCommissionCents = 995;
    lot.purchaseDay = kFirstDay + (s * kYears * 365) / (kPositions * 2);  // over the first five years
    if (s % 3 == 0) {
      lot.sold = true;
      lot.saleDay = lot.purchaseDay + 730;
      lot.salePrice = lot.buyPrice + PriceOfCents(500);
      lot.saleCommissionCents = 995;
    }
    lots.lots.push_back(lot);
  }
  return lots;
}

class TableSource : public IDailyCloseSource {
 public:
  explicit TableSource(CloseTable table) : table(std::move(table)) {}
  CloseRequestResult GetCloses(const std::string& symbol, int64_t, int64_t,
                               std::vector<DailyClose>& closes) override {
    closes = table.at(symbol);
    return {};
  }

 private:
  CloseTable table;
};

void BM_PerformanceFromCachedHistory(benchmark::State& state) {
  const PerformanceLots lots = TwoHundredLots();
  CachedCloseSource cache(std::make_unique<TableSource>(TenYearsOfCloses()));
  const PerformanceSpan span{std::nullopt, kLastDay};
  if (RunPerformance(lots, span, cache).status != PerformanceStatus::Ok) state.SkipWithError("no figures");
  for (auto _ : state) {
    const PerformanceOutcome outcome = RunPerformance(lots, span, cache);
    benchmark::DoNotOptimize(outcome.figures.irr);
  }
  state.counters["valuationDays"] =
      static_cast<double>(RunPerformance(lots, span, cache).figures.series.size());
}
BENCHMARK(BM_PerformanceFromCachedHistory)->Unit(benchmark::kMillisecond);

void BM_PerformanceComputationAlone(benchmark::State& state) {
  const PerformanceLots lots = TwoHundredLots();
  const CloseTable closes = TenYearsOfCloses();
  const PerformanceSpan span{std::nullopt, kLastDay};
  for (auto _ : state) {
    const PerformanceOutcome outcome = ComputePerformance(lots.lots, span, closes);
    benchmark::DoNotOptimize(outcome.figures.ttwror);
  }
}
BENCHMARK(BM_PerformanceComputationAlone)->Unit(benchmark::kMillisecond);

}  // namespace
