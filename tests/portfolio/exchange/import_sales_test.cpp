// Sales of an import against many lots: the oldest purchase first (the store's lots before the file's on the
// same day, an undated lot as of day 0), the unsold rest of a split lot taken by a later sale, the shares
// held then in the problem of a sale of more; and prices set by hand by the hundred, replacing those stored.
#include <gtest/gtest.h>

#include <map>

#include "tests/portfolio/exchange/exchange_fixture.h"

namespace {

class ImportSales : public ExchangeTest {
 protected:
  uint32_t AddLot(uint32_t portfolio, const std::string& symbol, int64_t qty, int64_t purchaseDate) {
    VLStockHoldingItem fields;
    fields.name = symbol;
    fields.qty = Shares(qty);
    fields.buyPricePerShare = Cents(1000);
    fields.purchaseDate = purchaseDate;
    uint32_t id = 0;
    EXPECT_EQ(db->AddStockPosition(conn, portfolio, fields, id), VLResult::Ok);
    return id;
  }
  // Steps of a plan into the portfolio "P".
  void Buy(const std::string& symbol, int64_t qty, int64_t purchaseDate) {
    ImportStep& step = NewStep();
    auto stock = std::make_unique<VLStockHoldingItem>();
    stock->name = symbol;
    stock->qty = Shares(qty);
    stock->buyPricePerShare = Cents(2000);
    stock->buyCommission = 1000;
    stock->purchaseDate = purchaseDate;
    step.holding = std::move(stock);
  }
  void Sell(const std::string& symbol, int64_t qty, int64_t saleDate, uint32_t commission = 0) {
    ImportStep& step = NewStep();
    step.kind = ImportStepKind::Sell;
    step.symbol = symbol;
    step.qty = Shares(qty);
    step.salePrice = Cents(3000);
    step.saleCommission = commission;
    step.saleDate = saleDate;
  }
  VLResult Run() {
    problems.clear();
    const VLResult code = db->ImportPositions(conn, plan, outcome, problems);
    plan = ImportPlan();
    return code;
  }
  // The positions of "P" by id: shares, and the sale day (0 while held).
  std::map<uint32_t, std::pair<Quantity, int64_t>> Lots() {
    std::map<uint32_t, std::pair<Quantity, int64_t>> lots;
    for (const auto& position : Positions(PortfolioId("P"))) {
      const auto& stock = static_cast<const VLStockHoldingItem&>(*position);
      lots[stock.id] = {stock.qty, stock.saleDate};
    }
    return lots;
  }

  ImportPlan plan;

 private:
  ImportStep& NewStep() {
    ImportStep& step = plan.steps.emplace_back();
    step.line = static_cast<int>(plan.steps.size()) + 1;
    step.portfolio = plan.PortfolioIndex("P");
    return step;
  }
};

TEST_F(ImportSales, TheOldestLotGoesFirstTheStoresBeforeTheFilesOfTheSameDayAndLaterOnesAreLeft) {
  const uint32_t p = AddPortfolio("P");
  const uint32_t march = AddLot(p, "XYZ", 10, Day(2023, 3, 1));
  const uint32_t undated = AddLot(p, "XYZ", 10, 0);
  const uint32_t other = AddLot(p, "ABC", 5, Day(2023, 1, 1));
  Buy("XYZ", 10, Day(2023, 3, 1));  // the same day as the stored lot: after it
  Buy("xyz", 10, Day(2023, 2, 1));  // earlier than the stored lot, though later in the file
  // Before March only the undated lot and February's: all of the first, half of the second.
  Sell("XYZ", 15, Day(2023, 2, 15), 1500);
  // Then February's rest, and 7 of the stored March lot before any of the file's.
  Sell("XYZ", 12, Day(2023, 4, 1), 1200);
  ASSERT_EQ(Run(), VLResult::Ok) << testing::PrintToString(Described(problems));
  EXPECT_EQ(outcome.added, 2);
  EXPECT_EQ(outcome.sold, 2);
  const uint32_t marchFromFile = other + 1;
  const uint32_t february = other + 2;
  const uint32_t februaryRest = other + 3;  // split by the first sale
  const uint32_t marchRest = other + 4;     // split by the second
  using Lot = std::pair<Quantity, int64_t>;
  const std::map<uint32_t, Lot> expected = {
      {march, {Shares(7), Day(2023, 4, 1)}},
      {undated, {Shares(10), Day(2023, 2, 15)}},
      {other, {Shares(5), 0}},
      {marchFromFile, {Shares(10), 0}},
      {february, {Shares(5), Day(2023, 2, 15)}},
      {februaryRest, {Shares(5), Day(2023, 4, 1)}},
      {marchRest, {Shares(3), 0}},
  };
  EXPECT_EQ(Lots(), expected);
  // Each part of a sale carries its share of the sale's commission.
  for (const auto& position : Positions(p)) {
    const auto& stock = static_cast<const VLStockHoldingItem&>(*position);
    if (stock.IsSold()) {
      EXPECT_EQ(stock.saleCommission, stock.qty.WholePart() * 100) << stock.id;
    }
  }

  // A sale of more than is held then names what is: March's two lots, 3 + 10 shares.
  Sell("XYZ", 20, Day(2023, 4, 1));
  EXPECT_EQ(Run(), VLResult::ImportRefused);
  EXPECT_EQ(Described(problems),
            std::vector<std::string>{"line 2: the sale of 20 shares of XYZ on 2023-04-01 is "
                                     "more than the 13 shares the portfolio holds then"});
}

TEST_F(ImportSales, ASaleBefore1970TakesTheLotsOfItsDaysAndThenTheUndatedOnes) {
  const uint32_t p = AddPortfolio("P");
  const uint32_t undated = AddLot(p, "OLD", 4, 0);
  const uint32_t june = AddLot(p, "OLD", 4, Day(1969, 6, 1));
  Buy("OLD", 4, Day(1965, 5, 5));
  Sell("OLD", 6, Day(1969, 1, 1));  // 1965's lot, then 2 of the undated one; June's is later
  ASSERT_EQ(Run(), VLResult::Ok) << testing::PrintToString(Described(problems));
  const uint32_t of1965 = june + 1;
  using Lot = std::pair<Quantity, int64_t>;
  const std::map<uint32_t, Lot> expected = {{undated, {Shares(2), Day(1969, 1, 1)}},
                                            {june, {Shares(4), 0}},
                                            {of1965, {Shares(4), Day(1969, 1, 1)}},
                                            {june + 2, {Shares(2), 0}}};
  EXPECT_EQ(Lots(), expected);

  Sell("OLD", 3, Day(1969, 2, 1));  // another day: no duplicate of the sale above
  EXPECT_EQ(Run(), VLResult::ImportRefused);
  EXPECT_EQ(Described(problems),
            std::vector<std::string>{"line 2: the sale of 3 shares of OLD on 1969-02-01 is "
                                     "more than the 2 shares the portfolio holds then"});
}

// A sale's commission shared among the lots it takes: each part its share of the shares, rounded down, and
// the last part what is left, so that the parts add up to the sale's commission to the cent; a lot the sale
// splits shares its purchase commission between the sold part and the rest the same way, whole.
TEST_F(ImportSales, CommissionsAreSharedAmongTheLotsASaleTakesAndAddUp) {
  const uint32_t p = AddPortfolio("P");
  AddLot(p, "XYZ", 1, Day(2023, 1, 2));
  AddLot(p, "XYZ", 1, Day(2023, 1, 3));
  Buy("XYZ", 3, Day(2023, 1, 4));
  Sell("XYZ", 3, Day(2023, 2, 1), 101);  // one share of each lot
  ASSERT_EQ(Run(), VLResult::Ok) << testing::PrintToString(Described(problems));
  std::vector<uint32_t> saleCommissions;
  uint64_t splitLotCommission = 0;
  for (const auto& position : Positions(p)) {
    const auto& stock = static_cast<const VLStockHoldingItem&>(*position);
    if (stock.IsSold()) saleCommissions.push_back(stock.saleCommission);
    if (DayNumberOfStoredDate(stock.purchaseDate) == DayNumberOf(CalendarDate{2023, 1, 4})) {
      splitLotCommission += stock.buyCommission;
      if (stock.IsSold()) {
        EXPECT_EQ(stock.buyCommission, 333u);  // a third of the purchase's 10.00
      }
    }
  }
  std::sort(saleCommissions.begin(), saleCommissions.end());
  EXPECT_EQ(saleCommissions, (std::vector<uint32_t>{33, 33, 35}));
  EXPECT_EQ(splitLotCommission, 1000u);
}

// A statement of years of trades: each purchase of 10 shares followed by a sale of 7, so every sale splits a
// lot or takes the rest of one; what stays held is the newest purchases, whole.
TEST_F(ImportSales, HundredsOfSalesTakeTheOldestSharesAndLeaveTheNewestLots) {
  AddPortfolio("P");
  constexpr int kRounds = 300;
  const int64_t first = DayNumberOf(CalendarDate{2010, 1, 4});
  for (int i = 0; i < kRounds; ++i) {
    Buy("SYM", 10, StoredDateOfDay(first + i));
    Sell("SYM", 7, StoredDateOfDay(first + i), 70);
  }
  ASSERT_EQ(Run(), VLResult::Ok) << testing::PrintToString(Described(problems));
  EXPECT_EQ(outcome.sold, kRounds);
  int64_t heldUnits = 0, soldUnits = 0;
  uint64_t commissions = 0;
  std::vector<int64_t> heldDays;
  for (const auto& position : Positions(PortfolioId("P"))) {
    const auto& stock = static_cast<const VLStockHoldingItem&>(*position);
    if (!stock.IsSold()) {
      heldUnits += stock.qty.Units();
      heldDays.push_back(DayNumberOfStoredDate(stock.purchaseDate));
      EXPECT_EQ(stock.qty, Shares(10)) << stock.id;
      continue;
    }
    soldUnits += stock.qty.Units();
    commissions += stock.saleCommission;
    EXPECT_LE(DayNumberOfStoredDate(stock.purchaseDate), DayNumberOfStoredDate(stock.saleDate)) << stock.id;
  }
  EXPECT_EQ(soldUnits, Shares(7 * kRounds).Units());
  EXPECT_EQ(heldUnits, Shares(3 * kRounds).Units());
  EXPECT_EQ(commissions, 70u * kRounds);
  // 2,100 shares sold are the first 210 purchases: the 90 left are the last 90 days.
  std::sort(heldDays.begin(), heldDays.end());
  std::vector<int64_t> last90;
  for (int i = kRounds - 90; i < kRounds; ++i) last90.push_back(first + i);
  EXPECT_EQ(heldDays, last90);
}

TEST_F(ImportSales, PricesByTheHundredReplaceOnlyThoseThatDiffer) {
  AddPortfolio("P");
  std::string file =
      "Portfolio,Portfolio Comment,Kind,Symbol,Quantity,Price,Date,Commission,Sale Price,Sale Date,"
      "Sale Commission,Buy Target,Sell Target,Stop Loss,Marginable,Margin Equity,Margin "
      "Threshold,Amount,Comment,Tag\n";
  const auto priceRow = [](int i, int cents) {
    return ",,price,F" + std::to_string(i % 10) + ",," + std::to_string(cents / 100) + "." +
           std::to_string(cents % 100 / 10) + std::to_string(cents % 10) + ",2023-01-" +
           (i / 10 < 9 ? "0" : "") + std::to_string(i / 10 + 1) + ",,,,,,,,,,,,,\n";
  };
  std::string first = file, second = file;
  for (int i = 0; i < 300; ++i) first += priceRow(i, 1000 + i);
  ASSERT_EQ(Import(first), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(outcome.prices, 300);
  // Again, every third price changed, and the first row's day twice: its later price wins.
  for (int i = 0; i < 300; ++i) second += priceRow(i, i % 3 ? 1000 + i : 5000 + i);
  second += priceRow(0, 7777);
  ASSERT_EQ(Import(second), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(outcome.prices, 100);
  std::vector<VLManualPriceItem> prices;
  ASSERT_EQ(db->GetManualPrices(conn, prices), VLResult::Ok);
  ASSERT_EQ(prices.size(), 300u);
  std::map<std::pair<std::string, int64_t>, UnitPrice> stored;
  for (const VLManualPriceItem& price : prices)
    stored[{price.name, DayNumberOfStoredDate(price.date)}] = price.price;
  for (int i = 0; i < 300; ++i) {
    const int64_t day = DayNumberOf(CalendarDate{2023, 1, i / 10 + 1});
    const int cents = i == 0 ? 7777 : (i % 3 ? 1000 + i : 5000 + i);
    const std::pair<std::string, int64_t> key{"F" + std::to_string(i % 10), day};
    EXPECT_EQ(stored[key], Cents(cents)) << i;
  }
}

}  // namespace
