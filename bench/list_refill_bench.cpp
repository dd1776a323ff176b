// A list refill as the window does it: 2,000 positions sorted by one column, then the cell texts of nine
// columns read for every row.
#include <benchmark/benchmark.h>

#include "marketdata/stock_info.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/views/portfolio_view.h"
#include "tests/support/sample_store.h"

namespace {

void FillPositions(VLHoldingItemList& list, int count) {
  list.RemoveAll();
  for (int i = 0; i < count; ++i) {
    auto s = std::make_unique<VLStockHoldingItem>();
    s->id = static_cast<uint32_t>(i + 1);
    FillSampleQuote(s->quote.Edit(), (i * 7919) % 1000);  // shuffled, with repeats, as real lists have
    s->quote.Edit().lastTrade = std::to_string(5 + (i * 31) % 400) + "." + std::to_string(10 + i % 90);
    s->quote.Edit().change = (i % 3 ? "+" : "-") + std::to_string(i % 7) + ".25";
    s->name = s->quote->symbol;
    s->qty = Quantity::FromWhole(10 + i % 300);
    s->buyPricePerShare = PriceOfCents(500 + (i * 13) % 40000);
    s->purchaseDate = 1500000000 + i * 86400;
    list.InsertAt(list.GetCount(), std::move(s));
  }
}

void Refill(benchmark::State& state, int sortColumn) {
  ScopedNumberFormat english(NumberFormat::English());
  const std::vector<int> columns = {kColSymbol,    kColName,      kColTrade, kColChange, kColQty,
                                    kColCurrValue, kColTotalPaid, kColGain,  kColPctGain};
  VLHoldingItemList list;
  for (auto _ : state) {
    state.PauseTiming();
    FillPositions(list, static_cast<int>(state.range(0)));
    state.ResumeTiming();
    PortfolioView view = BuildPortfolioView(list, columns, sortColumn, true);
    benchmark::DoNotOptimize(view.rows.data());
  }
}

void BM_RefillSortedByGain(benchmark::State& state) {
  Refill(state, kColGain);
}
void BM_RefillSortedByName(benchmark::State& state) {
  Refill(state, kColName);
}
BENCHMARK(BM_RefillSortedByGain)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefillSortedByName)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
