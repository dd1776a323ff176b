// Amounts at the limits of what the file stores: a u32 count of cents per share (42,949,672.95) times up to
// a million shares. Cells, sort keys, summaries and the report must show the true figures.
#include <gtest/gtest.h>

#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/views/portfolio_report.h"
#include "portfolio/views/portfolio_summary.h"
#include "portfolio/views/portfolio_view.h"
#include "tests/portfolio/holding_fixtures.h"
#include "tests/support/exact_values.h"

namespace {

constexpr uint32_t kMaxCents = 4294967295u;

std::unique_ptr<VLStockHoldingItem> Position(uint32_t id, uint32_t qty, uint32_t buyCents,
                                             uint32_t commission, const std::string& trade,
                                             const std::string& change = "+0.00") {
  auto h = std::make_unique<VLStockHoldingItem>();
  h->id = id;
  h->name = h->quote.Edit().symbol = "P" + std::to_string(id);
  h->quote.Edit().exchange = "NYSE";
  h->qty = Shares(qty);
  h->buyPricePerShare = Cents(buyCents);
  h->buyCommission = commission;
  h->quote.Edit().lastTrade = trade;
  h->quote.Edit().change = change;
  return h;
}

std::string Cell(const VLStockHoldingItem& h, int column) {
  std::string text;
  h.GetColumnText(column, text);
  return text;
}

}  // namespace

TEST(MoneyLimits, CellsAndSortValuesShowTheTrueFigures) {
  FixedEnvironment env;
  struct Case {
    uint32_t qty, buy, commission;
    const char* trade;
    const char* currentValue;
    const char* totalPaid;
    const char* gain;
    double totalPaidValue;
  };
  const Case cases[] = {
      // The probe's purchase: 10,000 shares at 700,000.00 wrapped to 2,705,032,704.00 and a loss.
      {10000, 70000000, 0, "700500.00", "7,005,000,000.00", "7,000,000,000.00", "5,000,000.00", 7e9},
      // Every field at its limit.
      {1000000, kMaxCents, kMaxCents, "42949672.95", "42,949,672,950,000.00", "42,949,715,899,672.95",
       "-42,949,672.95", 42949715899672.95},
  };
  for (const Case& c : cases) {
    const auto h = Position(1, c.qty, c.buy, c.commission, c.trade);
    EXPECT_EQ(Cell(*h, kColCurrValue), c.currentValue) << c.qty;
    EXPECT_EQ(Cell(*h, kColTotalPaid), c.totalPaid) << c.qty;
    EXPECT_EQ(Cell(*h, kColGain), c.gain) << c.qty;
    EXPECT_DOUBLE_EQ(h->GetColumnValue(kColTotalPaid), c.totalPaidValue) << c.qty;
  }
}

TEST(MoneyLimits, TradePricesAboveTwentyOneMillionKeepTheirCents) {
  FixedEnvironment env;
  auto h = Position(1, 10, kMaxCents, 0, "42949672.95");
  h->perShareBuyTarget = Cents(kMaxCents - 95);
  EXPECT_EQ(h->GetLastTradeCents(), int64_t{kMaxCents});
  EXPECT_EQ(Cell(*h, kColPctBuyDist), "+0.95  (+0.00%)");
  EXPECT_EQ(Cell(*h, kColBuyDist), "+0.95");
}

TEST(MoneyLimits, SummaryAddsAndChangesInSixtyFourBits) {
  const auto a = Position(1, 1000000, kMaxCents, 0, "42949672.95", "+100.00");
  const auto b = Position(2, 1000000, kMaxCents, 0, "42949672.95", "+100.00");
  const VLPortfolioSummary s =
      ComputePortfolioSummary({a.get(), b.get()}, true, nullptr, NumberFormat::English());
  EXPECT_EQ(s.currentValue, "85,899,345,900,000.00");
  EXPECT_EQ(s.change, "200,000,000.00  (0.00%)");
  EXPECT_EQ(s.gain, "0.00");
}

TEST(MoneyLimits, TheReportAndTheSortOrderFollowTheTrueTotals) {
  FixedEnvironment env;
  VLHoldingItemList positions;
  positions.Add(Position(1, 10000, 70000000, 0, "700000.00"));  // 7,000,000,000.00 paid
  positions.Add(Position(2, 5000, 70000000, 0, "700000.00"));   // 3,500,000,000.00 paid
  const PortfolioView view = BuildPortfolioView(positions, {kColSymbol, kColTotalPaid}, kColTotalPaid, true);
  ASSERT_EQ(view.rows.size(), 2u);
  EXPECT_EQ(view.rows[0].id, 2u);
  EXPECT_EQ(view.rows[1].cells[1], "7,000,000,000.00");

  PortfolioReportInput input;
  input.columns = {{kColSymbol, "Symbol", 0}, {kColTotalPaid, "Total Paid", 1}};
  for (const PortfolioView::Row& row : view.rows) input.rows.push_back(row.cells);
  std::vector<const VLHoldingItem*> held;
  for (const auto& item : positions) held.push_back(static_cast<const VLHoldingItem*>(item.get()));
  input.summary = ComputePortfolioSummary(held, true, nullptr, NumberFormat::English());
  const std::string html = BuildPortfolioReport(input);
  EXPECT_NE(html.find(">7,000,000,000.00&nbsp;<"), std::string::npos);
  EXPECT_NE(html.find("Current Value:</td><td>&nbsp;10,500,000,000.00"), std::string::npos);
}

// A figure from the network that no price has ("9e99") makes a large amount, never a wrapped or negative one.
TEST(MoneyLimits, NonsenseQuoteFiguresSaturateInsteadOfWrapping) {
  const auto a = Position(1, 1000000, 100, 0, "9e99", "9e99");
  const auto b = Position(2, 1000000, 100, 0, "9e99", "9e99");
  const VLPortfolioSummary s =
      ComputePortfolioSummary({a.get(), b.get()}, true, nullptr, NumberFormat::English());
  EXPECT_EQ(s.currentValue, "92,233,720,368,547.75");
  EXPECT_EQ(s.change.substr(0, 21), "92,233,720,368,547.75");
}
