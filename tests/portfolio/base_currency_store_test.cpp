// A portfolio's base currency in the store: the file form it takes only with one, undone like every change,
// and the positions the database hands out carrying their figures in it.
#include <gtest/gtest.h>

#include "portfolio/fx/fx_rate.h"
#include "portfolio/records/calendar_date.h"
#include "tests/support/exact_values.h"
#include "vl_database_fixture.h"

namespace {

class BaseCurrencyStore : public DatabaseTest {};

FxRate Rate(const char* text) {
  FxRate rate;
  EXPECT_TRUE(ParseFxRate(text, rate)) << text;
  return rate;
}

}  // namespace

TEST_F(BaseCurrencyStore, TheFileTakesALaterFormOnlyWithABaseCurrencyOrAStoredRate) {
  const uint32_t p = AddPortfolio("Pension");
  const uint32_t id = AddStock(p, "HSBA.L");
  EXPECT_EQ(db->GetVersion(), VLDatabase::kFirstVersion);
  const uint64_t plain = db->GetFingerprint();

  VLPortfolioItem portfolio;
  ASSERT_EQ(db->GetPortfolio(conn, p, portfolio), VLResult::Ok);
  portfolio.baseCurrency = "EUR";
  ASSERT_EQ(db->ModifyPortfolio(conn, portfolio), VLResult::Ok);
  EXPECT_EQ(db->GetVersion(), VLDatabase::kExactVersion);
  // A position keeps the rate its broker charged, against the base.
  std::unique_ptr<VLHoldingItem> held;
  ASSERT_EQ(db->GetPosition(conn, id, held), VLResult::Ok);
  VLStockHoldingItem fields = *AsStock(held.get());
  fields.rateCurrency = "EUR";
  fields.buyRate = Rate("0.8650");
  ASSERT_EQ(db->ModifyStockPosition(conn, id, fields, ""), VLResult::Ok);
  const uint64_t withRates = db->GetFingerprint();

  Reopen();  // from the file alone
  EXPECT_EQ(db->GetFingerprint(), withRates);
  ASSERT_EQ(db->GetPortfolio(conn, p, portfolio), VLResult::Ok);
  EXPECT_EQ(portfolio.baseCurrency, "EUR");
  EXPECT_EQ(db->BaseCurrencyOf(p), "EUR");
  ASSERT_EQ(db->GetPosition(conn, id, held), VLResult::Ok);
  EXPECT_EQ(AsStock(held.get())->buyRate, Rate("0.865"));
  EXPECT_EQ(AsStock(held.get())->rateCurrency, "EUR");
  EXPECT_EQ(AsStock(held.get())->GetVersion(), VLStockHoldingItem::kRateVersion);

  // Not a base: a minor unit, lower case, a blank; nothing changes.
  for (const char* refused : {"GBp", "ILA", "eur", "EURO", " "}) {
    portfolio.baseCurrency = refused;
    EXPECT_EQ(db->ModifyPortfolio(conn, portfolio), VLResult::Failed) << refused;
  }
  EXPECT_EQ(db->GetFingerprint(), withRates);

  // Undone, the store and its form are as they were.
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->GetFingerprint(), plain);
  EXPECT_EQ(db->GetVersion(), VLDatabase::kFirstVersion);
}

TEST_F(BaseCurrencyStore, PositionsAreHandedOutWithTheirBaseFigures) {
  const uint32_t p = AddPortfolio("Pension");
  VLStockHoldingItem fields;
  fields.name = "BARC.L";
  fields.qty = Shares(100);
  fields.buyPricePerShare = Cents(100000);
  fields.currency = "GBp";
  fields.purchaseDate = StoredDateOf({2023, 11, 1});
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, p, fields, id), VLResult::Ok);
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);  // trades at 16.25

  // Without a base currency nothing is converted, and there is nothing to fetch.
  std::vector<FxRateRequest> needs;
  ASSERT_EQ(db->GetRateNeeds(conn, p, TodayDayNumber(), needs), VLResult::Ok);
  EXPECT_TRUE(needs.empty());
  VLHoldingItemList list;
  ASSERT_EQ(db->GetPositions(conn, p, true, list), VLResult::Ok);
  const auto* stock = AsStock(static_cast<VLHoldingItem*>(list.GetAt(0)));
  EXPECT_FALSE(stock->base.known);
  EXPECT_EQ(stock->base.error, "");

  // A look in euros, for this session: the pair and the days it needs, then the figures at those rates.
  db->LookInCurrency(p, "EUR");
  ASSERT_EQ(db->GetRateNeeds(conn, p, TodayDayNumber(), needs), VLResult::Ok);
  ASSERT_EQ(needs.size(), 1u);
  EXPECT_EQ(needs[0].quote, "GBP");
  EXPECT_EQ(needs[0].firstDay, DayNumberOf({2023, 11, 1}));
  ASSERT_EQ(db->GetPositions(conn, p, true, list), VLResult::Ok);
  EXPECT_EQ(AsStock(static_cast<VLHoldingItem*>(list.GetAt(0)))->base.error, "no EUR/GBP rates fetched yet");
  auto book = std::make_shared<FxRateBook>();
  book->Add("EUR", "GBP", {{DayNumberOf({2023, 11, 1}), Rate("0.8")}, {TodayDayNumber() - 1, Rate("0.85")}});
  db->SetFxRates(book);
  ASSERT_EQ(db->GetPositions(conn, p, true, list), VLResult::Ok);
  stock = AsStock(static_cast<VLHoldingItem*>(list.GetAt(0)));
  ASSERT_TRUE(stock->base.known) << stock->base.error;
  EXPECT_EQ(stock->base.totalPaid, 125000);  // 1,000.00 GBP / 0.8
  // 100 x 16.25 pence is 16.25 GBP: / 0.85 = 19.117...
  EXPECT_EQ(stock->base.value, 1912);
  VLPortfolioSummary summary;
  ASSERT_EQ(db->GetPortfolioSummary(conn, p, true, nullptr, summary), VLResult::Ok);
  EXPECT_EQ(summary.base.currency, "EUR");
  EXPECT_EQ(summary.base.value, "19.12");
  // The look ends; the file never held it.
  db->LookInCurrency(p, "");
  EXPECT_EQ(db->BaseCurrencyOf(p), "");
  EXPECT_EQ(db->GetVersion(), VLDatabase::kExactVersion);  // the position's own currency, not the look
}
