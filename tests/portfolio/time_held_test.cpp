// Time held, its years and the growth annualised over it, at the day boundaries where the duration text
// changes unit, for held and sold positions on a fixed clock.
#include <gtest/gtest.h>

#include <ctime>
#include <memory>

#include "portfolio/columns/clock.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/noon_utc.h"

namespace {
constexpr int64_t kSecondsPerDay = 86400;

// 2007-03-05 12:00 UTC: no leap day lies within two years before it.
const int64_t kNow = NoonUtc(2007, 3, 5);

// 100 shares bought at 10.00 without commission and trading at 20.00: paid 1,000.00, worth 2,000.00.
VLStockHoldingItem Doubled(int64_t purchaseDate) {
  VLStockHoldingItem h;
  h.name = "DBL";
  h.qty = Shares(100);
  h.buyPricePerShare = Cents(1000);
  h.purchaseDate = purchaseDate;
  h.quote.Edit().symbol = "DBL";
  h.quote.Edit().exchange = "NYSE";
  h.quote.Edit().lastTrade = "20.00";
  return h;
}

// Sold at 20.00 without commission, so sale value and current value agree whichever the growth uses.
VLStockHoldingItem SoldDoubled(int64_t purchaseDate, int64_t saleDate) {
  VLStockHoldingItem h = Doubled(purchaseDate);
  h.salePricePerShare = Cents(2000);
  h.saleDate = saleDate;
  return h;
}

std::string Text(const VLStockHoldingItem& h, int column) {
  std::string text = "unset";
  h.GetColumnText(column, text);
  return text;
}

class TimeHeld : public ::testing::Test {
 protected:
  std::shared_ptr<FixedClock> clock = std::make_shared<FixedClock>(kNow);
  ScopedClock useClock{clock};
  ScopedNumberFormat format{NumberFormat::English()};

  void Install(int64_t now) { clock->SetNow(now); }
};

// Duration texts: a month is 31 days, a year 365; weeks show only below a month.
// CAGR of a doubling: below a year it is not annualised (100.00%); over 366 days it is
// (2^(365/366) - 1) * 100 = 99.62%; over 396 days 89.44%; over 730 days (2^(1/2) - 1) * 100 = 41.42%;
// over 731 days 41.35%.
struct Boundary {
  int days;
  const char* heldText;
  const char* yearsText;  // days / 365 with two decimals
  const char* cagrText;
};
const Boundary kBoundaries[] = {
    {1, "1 day", "0.00", "100.00%"},    {6, "6 days", "0.02", "100.00%"},
    {7, "1 wk", "0.02", "100.00%"},     {30, "4 wks", "0.08", "100.00%"},
    {31, "1 mon", "0.08", "100.00%"},   {62, "2 mos", "0.17", "100.00%"},
    {364, "11 mos", "1.00", "100.00%"}, {365, "1 yr", "1.00", "100.00%"},
    {366, "1 yr", "1.00", "99.62%"},    {396, "1 yr, 1 mon", "1.08", "89.44%"},
    {730, "2 yrs", "2.00", "41.42%"},   {731, "2 yrs", "2.00", "41.35%"},
};
}  // namespace

// Held positions count to now, sold ones to their sale (500 days ago, so that counting to now instead would
// cross the next boundary in every case), in the text as in the sort value.
TEST_F(TimeHeld, HeldToNowAndSoldToTheSaleAtDayBoundaries) {
  Install(kNow);
  const int64_t saleDay = kNow - 500 * kSecondsPerDay;
  for (const bool sold : {false, true}) {
    for (const Boundary& b : kBoundaries) {
      SCOPED_TRACE(std::to_string(b.days) + (sold ? " days, sold" : " days, held"));
      const VLStockHoldingItem h = sold ? SoldDoubled(saleDay - b.days * kSecondsPerDay, saleDay)
                                        : Doubled(kNow - b.days * kSecondsPerDay);
      EXPECT_EQ(Text(h, kColHeld), b.heldText);
      EXPECT_DOUBLE_EQ(h.GetColumnValue(kColHeld), b.days);
      EXPECT_EQ(Text(h, kColHeldYears), b.yearsText);
      EXPECT_DOUBLE_EQ(h.GetColumnValue(kColHeldYears), b.days / 365.0);
      EXPECT_EQ(Text(h, kColCagr), b.cagrText);
    }
  }
  // A sale dated on or before the purchase counts as nothing held.
  const VLStockHoldingItem backwards = SoldDoubled(saleDay, saleDay - 10 * kSecondsPerDay);
  EXPECT_DOUBLE_EQ(backwards.GetColumnValue(kColHeld), 0.0);
  EXPECT_EQ(Text(backwards, kColHeld), "");
  EXPECT_DOUBLE_EQ(SoldDoubled(saleDay, saleDay).GetColumnValue(kColHeld), 0.0);
}

TEST_F(TimeHeld, PartDaysAreCutOff) {
  Install(kNow);
  // One second short of 31 days is 30 whole days: still weeks, not a month.
  const VLStockHoldingItem h = Doubled(kNow - 31 * kSecondsPerDay + 1);
  EXPECT_EQ(Text(h, kColHeld), "4 wks");
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColHeld), 30.0);
  // Bought this very second, or later than now: nothing held yet.
  EXPECT_EQ(Text(Doubled(kNow), kColHeld), "");
  EXPECT_DOUBLE_EQ(Doubled(kNow).GetColumnValue(kColHeld), 0.0);
  EXPECT_EQ(Text(Doubled(kNow - kSecondsPerDay + 1), kColHeld), "");
}

TEST_F(TimeHeld, LeapDaysCountAsDays) {
  // 2023-03-01 to 2024-02-29 spans the leap day's year but is 365 days: a year.
  Install(NoonUtc(2024, 2, 29));
  VLStockHoldingItem h = Doubled(NoonUtc(2023, 3, 1));
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColHeld), 365.0);
  EXPECT_EQ(Text(h, kColHeld), "1 yr");
  EXPECT_EQ(Text(h, kColCagr), "100.00%");
  // 2024-03-01 to 2025-02-28 is a calendar year short by one day: 364 days, 11 months.
  Install(NoonUtc(2025, 2, 28));
  h = Doubled(NoonUtc(2024, 3, 1));
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColHeld), 364.0);
  EXPECT_EQ(Text(h, kColHeld), "11 mos");
  // 2024-02-28 to 2025-02-28 crosses the leap day: 366 days, annualised.
  h = Doubled(NoonUtc(2024, 2, 28));
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColHeld), 366.0);
  EXPECT_EQ(Text(h, kColHeld), "1 yr");
  EXPECT_EQ(Text(h, kColCagr), "99.62%");
}

TEST_F(TimeHeld, SoldPositionsCountTheirSaleAgeToNow) {
  Install(kNow);
  // Sale ages: 30 days 4 wks (0.08 years), 31 days 1 mon, 365 days 1 yr (1.00).
  const struct {
    int days;
    const char* ageText;
    const char* ageYearsText;
  } ages[] = {{1, "1 day", "0.00"},    {30, "4 wks", "0.08"}, {31, "1 mon", "0.08"},
              {364, "11 mos", "1.00"}, {365, "1 yr", "1.00"}, {366, "1 yr", "1.00"}};
  for (const auto& a : ages) {
    const int64_t sold = kNow - a.days * kSecondsPerDay;
    const VLStockHoldingItem h = SoldDoubled(sold - 1000 * kSecondsPerDay, sold);
    EXPECT_EQ(Text(h, kColSaleAge), a.ageText) << a.days << " days";
    EXPECT_DOUBLE_EQ(h.GetColumnValue(kColSaleAge), a.days) << a.days << " days";
    EXPECT_EQ(Text(h, kColSaleAgeYears), a.ageYearsText) << a.days << " days";
    EXPECT_DOUBLE_EQ(h.GetColumnValue(kColSaleAgeYears), a.days / 365.0) << a.days << " days";
  }
}
