// The returns over time of positions through recorded splits: each day's holdings in that day's shares, so
// that prices as traded with the splits recorded give the figures that split-adjusted prices give.
#include <gtest/gtest.h>

#include <map>

#include "portfolio/performance/performance_calculator.h"
#include "portfolio/performance/performance_run.h"
#include "portfolio/performance/split_warnings.h"
#include "portfolio/records/calendar_date.h"
#include "tests/support/exact_values.h"
#include "tests/support/table_split_source.h"

namespace {

int64_t Day(int year, int month, int day) {
  return DayNumberOf({year, month, day});
}

const int64_t d1 = Day(2024, 1, 2), d2 = Day(2024, 2, 1), d3 = Day(2024, 3, 1), d4 = Day(2024, 4, 1),
              d5 = Day(2024, 5, 1), d6 = Day(2024, 6, 3);

PerformanceLot Lot(int64_t qty, const char* price, int64_t day,
                   std::vector<PerformanceLot::Split> splits = {}) {
  PerformanceLot lot;
  lot.symbol = "AAA";
  lot.qty = Shares(qty);
  lot.buyPrice = PriceOf(price);
  lot.buyCommissionCents = 500;
  lot.purchaseDay = day;
  lot.splits = std::move(splits);
  return lot;
}

PerformanceLot SoldOn(PerformanceLot lot, const char* price, int64_t day) {
  lot.sold = true;
  lot.salePrice = PriceOf(price);
  lot.saleCommissionCents = 300;
  lot.saleDay = day;
  return lot;
}

std::vector<DailyClose> Closes(const std::vector<std::pair<int64_t, const char*>>& rows) {
  std::vector<DailyClose> closes;
  for (const auto& [day, price] : rows) closes.push_back({day, PriceOf(price)});
  return closes;
}

VLCorporateActionItem SplitAction(const char* symbol, int64_t day, uint32_t newShares, uint32_t oldShares) {
  VLCorporateActionItem action;
  action.name = symbol;
  action.exDate = StoredDateOfDay(day);
  action.newShares = newShares;
  action.oldShares = oldShares;
  return action;
}

}  // namespace

TEST(PerformanceSplits, AsTradedClosesWithTheSplitsRecordedGiveTheFiguresOfAdjustedCloses) {
  const PerformanceLot::Split two{d3, 2, 1}, three{d5, 3, 1};
  // 100 bought before both splits (600 now), 40 bought before the first and sold between them (80 then),
  // 30 bought between them (90 now). Prices as traded: old shares before each split.
  const std::vector<PerformanceLot> asTraded = {
      Lot(600, "10", d1, {two, three}),
      SoldOn(Lot(80, "33", d2, {two}), "36", d4),
      Lot(90, "12", d4, {three}),
  };
  const CloseTable tradedCloses = {
      {"AAA", Closes({{d1, "60"}, {d2, "66"}, {d3, "33"}, {d4, "36"}, {d5, "12.5"}, {d6, "13"}})}};
  // The same in the shares of today, with every earlier price divided by the splits after it.
  const std::vector<PerformanceLot> adjusted = {
      Lot(600, "10", d1),
      SoldOn(Lot(240, "11", d2), "12", d4),
      Lot(90, "12", d4),
  };
  const CloseTable adjustedCloses = {
      {"AAA", Closes({{d1, "10"}, {d2, "11"}, {d3, "11"}, {d4, "12"}, {d5, "12.5"}, {d6, "13"}})}};

  const PerformanceSpan span{std::nullopt, d6};
  const PerformanceOutcome a = ComputePerformance(asTraded, span, tradedCloses);
  const PerformanceOutcome b = ComputePerformance(adjusted, span, adjustedCloses);
  ASSERT_EQ(a.status, PerformanceStatus::Ok);
  ASSERT_EQ(b.status, PerformanceStatus::Ok);
  ASSERT_EQ(a.figures.series.size(), 6u);
  ASSERT_EQ(a.figures.series.size(), b.figures.series.size());
  for (size_t i = 0; i < a.figures.series.size(); ++i) {
    EXPECT_EQ(a.figures.series[i].valueCents, b.figures.series[i].valueCents) << "day " << i;
    EXPECT_EQ(a.figures.series[i].investedCents, b.figures.series[i].investedCents) << "day " << i;
  }
  // By hand: on d2, 100 x 66 + 40 x 66; on d5 (after both), 600 x 12.5 + 90 x 12.5.
  EXPECT_EQ(a.figures.series[1].valueCents, 924000);
  EXPECT_EQ(a.figures.series[4].valueCents, 862500);
  ASSERT_TRUE(a.figures.ttwror && b.figures.ttwror && a.figures.irr && b.figures.irr);
  EXPECT_DOUBLE_EQ(*a.figures.ttwror, *b.figures.ttwror);
  EXPECT_NEAR(*a.figures.irr, *b.figures.irr, 1e-12);
  ASSERT_EQ(a.figures.realizedGains.size(), 1u);
  EXPECT_EQ(a.figures.realizedGains[0].gainCents, b.figures.realizedGains[0].gainCents);

  // Without the splits, the old prices would value the new shares: six times the money on d2.
  std::vector<PerformanceLot> unrecorded = asTraded;
  for (PerformanceLot& lot : unrecorded) lot.splits.clear();
  const PerformanceOutcome c = ComputePerformance(unrecorded, span, tradedCloses);
  ASSERT_EQ(c.status, PerformanceStatus::Ok);
  EXPECT_EQ(c.figures.series[1].valueCents, (600 + 80) * 6600);
}

TEST(PerformanceSplits, EachLotCountsTheSplitsAfterItsPurchaseUpToItsSale) {
  PerformanceLots lots;
  lots.lots = {Lot(600, "10", d1), SoldOn(Lot(80, "33", d2), "36", d4), Lot(90, "12", d4),
               SoldOn(Lot(5, "60", d1), "61", d2), SoldOn(Lot(10, "33", d2), "34", d3)};
  lots.lots.push_back(Lot(7, "1", d1));
  lots.lots.back().symbol = "BBB";
  VLCorporateActionItem change = SplitAction("aaa", d4, 0, 0);
  change.kind = CorporateActionKind::SymbolChange;
  change.newSymbol = "CCC";
  AddCorporateActions({SplitAction("aaa", d5, 3, 1), SplitAction("AAA", d3, 2, 1), change}, &lots);
  const auto days = [](const PerformanceLot& lot) {
    std::vector<int64_t> out;
    for (const auto& s : lot.splits) out.push_back(s.day);
    return out;
  };
  EXPECT_EQ(days(lots.lots[0]), (std::vector<int64_t>{d3, d5}));
  EXPECT_EQ(days(lots.lots[1]), (std::vector<int64_t>{d3}));
  EXPECT_EQ(days(lots.lots[2]), (std::vector<int64_t>{d5}));
  EXPECT_TRUE(lots.lots[3].splits.empty());                   // sold before both
  EXPECT_EQ(days(lots.lots[4]), (std::vector<int64_t>{d3}));  // sold on the ex-date: in new shares
  EXPECT_TRUE(lots.lots[5].splits.empty());                   // another symbol

  EXPECT_EQ(lots.lots[0].QtyOn(d1), Shares(100));
  EXPECT_EQ(lots.lots[0].QtyOn(d3), Shares(200));
  EXPECT_EQ(lots.lots[0].QtyOn(d5), Shares(600));
  PerformanceLot reverse = Lot(33, "30", d1, {{d3, 1, 3}});
  EXPECT_EQ(reverse.QtyOn(d2), Shares(99));
  reverse.qty = SharesOf("33.33333333");  // a fraction paid in cash is rounded: 99.99999999 shares before
  EXPECT_EQ(reverse.QtyOn(d2), SharesOf("99.99999999"));
}

TEST(PerformanceSplits, ASplitTheServiceKnowsThatALotHeldAcrossWithoutCountingItIsSaid) {
  PerformanceLots lots;
  lots.lots = {Lot(600, "10", d1, {{d3, 2, 1}}),                    // counts d3, not d5
               SoldOn(Lot(80, "33", d2, {{d3, 2, 1}}), "36", d4)};  // sold before d5
  lots.lots.push_back(Lot(5, "1", d1));
  lots.lots.back().symbol = "DOWN";
  lots.lots.push_back(Lot(5, "1", d4));
  lots.lots.back().symbol = "LATE";  // bought after its split
  TableSplitSource source;
  source.failing = {"DOWN"};
  source.table["AAA"] = {{d3, {2, 1}}, {d5, {3, 1}}};
  source.table["LATE"] = {{d2, {4, 1}}};
  const std::vector<UnrecordedSplit> found = FindUnrecordedSplits(lots, d6, source);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(UnrecordedSplitText(found[0]), "AAA 3:1 on 2024-05-01");
  // Up to a day before the split, nothing is said.
  EXPECT_TRUE(FindUnrecordedSplits(lots, d4, source).empty());
}

namespace {

// Closes from a table by symbol; a symbol without an entry has no history.
class TableCloses : public IDailyCloseSource {
 public:
  CloseRequestResult GetCloses(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                               std::vector<DailyClose>& closes) override {
    asked.push_back(symbol);
    closes.clear();
    const auto found = table.find(symbol);
    if (found == table.end()) return {CloseRequestStatus::NoHistory, "no history", {}};
    for (const DailyClose& c : found->second) {
      if (c.day >= firstDay && c.day <= lastDay) closes.push_back(c);
    }
    return {};
  }
  CloseTable table;
  std::vector<std::string> asked;
};

}  // namespace

TEST(PerformanceSplits, TheDaysBeforeASymbolChangeAreAskedUnderTheFormerSymbols) {
  // AAA became BBB on d3 and BBB became CCC on d5; the source knows each name only while it was in use.
  PerformanceLots lots;
  lots.lots = {Lot(10, "60", d1)};
  lots.lots[0].symbol = "CCC";
  VLCorporateActionItem first = SplitAction("AAA", d3, 0, 0);
  first.kind = CorporateActionKind::SymbolChange;
  first.newSymbol = "BBB";
  VLCorporateActionItem second = SplitAction("bbb", d5, 0, 0);
  second.kind = CorporateActionKind::SymbolChange;
  second.newSymbol = "ccc";
  AddCorporateActions({first, second}, &lots);
  TableCloses source;
  source.table["AAA"] = Closes({{d1, "60"}, {d2, "66"}});
  source.table["BBB"] = Closes({{d3, "33"}, {d4, "36"}});
  source.table["CCC"] = Closes({{d5, "12.5"}, {d6, "13"}});
  const PerformanceOutcome outcome = RunPerformance(lots, {std::nullopt, d6}, source);
  ASSERT_EQ(outcome.status, PerformanceStatus::Ok) << outcome.symbol;
  std::vector<int64_t> values;
  for (const PerformancePoint& point : outcome.figures.series) values.push_back(point.valueCents);
  EXPECT_EQ(values, (std::vector<int64_t>{60000, 66000, 33000, 36000, 12500, 13000}));

  // Without the record of the changes, the days before d5 have no close under CCC and go unvalued.
  PerformanceLots plain;
  plain.lots = lots.lots;
  const PerformanceOutcome without = RunPerformance(plain, {std::nullopt, d6}, source);
  ASSERT_EQ(without.status, PerformanceStatus::Ok);
  EXPECT_EQ(without.figures.series.size(), 2u);
}
