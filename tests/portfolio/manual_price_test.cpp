// Prices set by hand: what the positions of a symbol the service does not know show, how long, and how the
// file keeps them.
#include <gtest/gtest.h>

#include "framework/archive.h"
#include "portfolio/checks/manual_price_checks.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/journal/record_image.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/manual_quote.h"
#include "tests/support/exact_values.h"
#include "tests/support/record_bytes.h"
#include "vl_database_fixture.h"

namespace {

class ManualPriceTest : public DatabaseTest {
 protected:
  // The fund's position as the database hands it out now.
  const VLStockHoldingItem& Fund() {
    position.reset();
    EXPECT_EQ(db->GetPosition(conn, fundId, position), VLResult::Ok);
    return static_cast<const VLStockHoldingItem&>(*position);
  }
  std::string Cell(int column) {
    std::string text;
    Fund().GetColumnText(column, text);
    return text;
  }
  uint32_t AddFund(uint32_t portfolioId) {
    VLStockHoldingItem fields;
    fields.name = "FUND1";
    fields.qty = SharesOf("1.6531");
    fields.buyPricePerShare = PriceOf("80.5");
    uint32_t id = 0;
    EXPECT_EQ(db->AddStockPosition(conn, portfolioId, fields, id), VLResult::Ok);
    return id;
  }

  uint32_t fundId = 0;
  std::unique_ptr<VLHoldingItem> position;
};

int64_t Day(int year, int month, int day) {
  return StoredDateOf({year, month, day});
}

}  // namespace

TEST_F(ManualPriceTest, ThePriceGivesEveryFigureOfASymbolTheServiceDoesNotKnowUntilItKnowsIt) {
  const uint32_t portfolio = AddPortfolio("Funds");
  fundId = AddFund(portfolio);
  quoteSource->unknown = {"FUND1"};
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  EXPECT_EQ(Cell(kColName), "No such symbol");
  EXPECT_EQ(Fund().GetCurrentValue().ToCents(), 0);

  log.entries.clear();
  ASSERT_EQ(db->SetManualPrice(conn, "fund1", Day(2023, 11, 10), PriceOf("84.2637")), VLResult::Ok);
  EXPECT_EQ(log.entries, (std::vector<std::string>{"cmd 32835", "event 6 0 0"}));
  // 1.6531 x 84.2637 = 139.29632247, rounded once to the cent.
  EXPECT_EQ(Fund().GetCurrentValue().ToCents(), 13930);
  EXPECT_EQ(Cell(kColName), kManualPriceName);
  EXPECT_EQ(Cell(kColExchange), kManualPriceExchange);
  EXPECT_EQ(Fund().quote->lastTrade, "84.2637");

  // An older day does not replace the newest; a newer one does.
  ASSERT_EQ(db->SetManualPrice(conn, "FUND1", Day(2023, 11, 1), PriceOf("70")), VLResult::Ok);
  EXPECT_EQ(Fund().quote->lastTrade, "84.2637");
  ASSERT_EQ(db->SetManualPrice(conn, "FUND1", Day(2023, 11, 13), PriceOf("85.5")), VLResult::Ok);
  EXPECT_EQ(Fund().GetCurrentValue().ToCents(), 14134);

  // It survives an update that still does not know the symbol, and a restart.
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  EXPECT_EQ(Fund().GetCurrentValue().ToCents(), 14134);
  Reopen();
  EXPECT_EQ(Fund().GetCurrentValue().ToCents(), 14134);
  EXPECT_EQ(Cell(kColName), kManualPriceName);
  VLPortfolioSummary summary;
  ASSERT_EQ(db->GetPortfolioSummary(conn, portfolio, true, nullptr, summary), VLResult::Ok);
  EXPECT_NE(summary.currentValue.find("141.34"), std::string::npos) << summary.currentValue;

  // Once the service knows the symbol, its quote wins; the prices stay for the day it forgets it again.
  quoteSource->unknown.clear();
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  EXPECT_EQ(Cell(kColName), "FUND1 Inc");
  EXPECT_EQ(Fund().quote->lastTrade, "15.25");
  EXPECT_EQ(db->GetManualPriceCount(), 3);
  quoteSource->unknown = {"FUND1"};
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  EXPECT_EQ(Fund().GetCurrentValue().ToCents(), 14134);

  // Removing them leaves the symbol without figures again.
  ASSERT_EQ(db->RemoveManualPrices(conn, "fund1", Day(2023, 11, 13)), VLResult::Ok);
  EXPECT_EQ(Fund().GetCurrentValue().ToCents(), 13930);
  ASSERT_EQ(db->RemoveManualPrices(conn, "FUND1", 0), VLResult::Ok);
  EXPECT_EQ(Cell(kColName), "No such symbol");
  EXPECT_EQ(db->RemoveManualPrices(conn, "FUND1", 0), VLResult::NotFound);
}

TEST_F(ManualPriceTest, ASymbolNotAskedForYetShowsThePriceAndTheSameDayIsReplacedNotAdded) {
  fundId = AddFund(AddPortfolio("Funds"));
  ASSERT_EQ(db->SetManualPrice(conn, "FUND1", Day(2024, 2, 29), PriceOf("0.000001")), VLResult::Ok);
  EXPECT_EQ(Fund().quote->lastTrade, "0.000001");
  ASSERT_EQ(db->SetManualPrice(conn, "FUND1", Day(2024, 2, 29), kMaxStoredPrice), VLResult::Ok);
  EXPECT_EQ(db->GetManualPriceCount(), 1);
  std::vector<VLManualPriceItem> prices;
  ASSERT_EQ(db->GetManualPrices(conn, prices), VLResult::Ok);
  ASSERT_EQ(prices.size(), 1u);
  EXPECT_EQ(prices[0].price, kMaxStoredPrice);
  EXPECT_EQ(IsoDateText(DateOfStoredDate(prices[0].date)), "2024-02-29");
  // The same price again changes nothing: no journal entry, no notice.
  log.entries.clear();
  ASSERT_EQ(db->SetManualPrice(conn, "FUND1", Day(2024, 2, 29), kMaxStoredPrice), VLResult::Ok);
  EXPECT_TRUE(log.entries.empty());
  // What a record cannot hold is refused before anything changes.
  EXPECT_EQ(db->SetManualPrice(conn, "FUND1", Day(2024, 3, 1), UnitPrice()), VLResult::Failed);
  EXPECT_EQ(db->SetManualPrice(conn, "", Day(2024, 3, 1), PriceOf("1")), VLResult::Failed);
  EXPECT_EQ(db->SetManualPrice(conn, "FUND1", 0, PriceOf("1")), VLResult::Failed);
  EXPECT_EQ(db->GetManualPriceCount(), 1);
}

TEST_F(ManualPriceTest, TheFileTakesItsNewerFormOnlyWhileItHoldsPricesSetByHand) {
  AddStock(AddPortfolio("Retirement"), "MSFT");
  const std::string before = ReadText(path);
  ASSERT_EQ(db->GetVersion(), VLDatabase::kFirstVersion);
  ASSERT_EQ(db->SetManualPrice(conn, "FUND1", Day(2023, 11, 10), PriceOf("84.2637")), VLResult::Ok);
  EXPECT_EQ(db->GetVersion(), VLDatabase::kManualPriceVersion);
  EXPECT_NE(ReadText(path), before);
  Reopen();
  std::vector<VLManualPriceItem> prices;
  ASSERT_EQ(db->GetManualPrices(conn, prices), VLResult::Ok);
  ASSERT_EQ(prices.size(), 1u);
  EXPECT_EQ(prices[0].name, "FUND1");
  EXPECT_EQ(prices[0].price, PriceOf("84.2637"));
  ASSERT_EQ(db->RemoveManualPrices(conn, "FUND1", 0), VLResult::Ok);
  EXPECT_EQ(ReadText(path), before);  // byte for byte the first form again
}

TEST(ManualPriceRecord, ARecordThatNoPriceCouldBeIsRefusedWhenRead) {
  RecordImager imager;
  VLManualPriceItem price;
  price.id = 1;
  price.name = "FUND1";
  price.date = Day(2023, 11, 10);
  price.price = PriceOf("84.2637");
  ASSERT_NE(
      RestoreRecord(JournalRecordKind::ManualPrice, imager.Image(JournalRecordKind::ManualPrice, price)),
      nullptr);
  // A position's image is no price, nor the other way round.
  EXPECT_EQ(RestoreRecord(JournalRecordKind::Position, imager.Image(JournalRecordKind::ManualPrice, price)),
            nullptr);
  for (const auto& spoil : std::vector<std::function<void(VLManualPriceItem&)>>{
           [](VLManualPriceItem& p) { p.price = UnitPrice(); },
           [](VLManualPriceItem& p) { p.price = kMaxStoredPrice + UnitPrice::FromUnits(1); },
           [](VLManualPriceItem& p) { p.date = 0; },
           [](VLManualPriceItem& p) { p.name.clear(); },
           [](VLManualPriceItem& p) { p.name = std::string(17, 'A'); },
       }) {
    VLManualPriceItem spoilt = price;
    spoil(spoilt);
    EXPECT_EQ(
        RestoreRecord(JournalRecordKind::ManualPrice, imager.Image(JournalRecordKind::ManualPrice, spoilt)),
        nullptr);
  }
}

TEST(ManualPriceEntry, EachRefusalHasItsOwnReason) {
  const int64_t today = DayNumberOf({2026, 12, 8});
  const int64_t day = Day(2026, 12, 1);
  ManualPriceResult result;
  ASSERT_TRUE(CheckManualPrice({" ie00b4l5y983 ", "84.263700", day}, today, result).Ok());
  EXPECT_EQ(result.symbol, "ie00b4l5y983");
  EXPECT_EQ(result.price, PriceOf("84.2637"));
  EXPECT_EQ(result.date, day);

  struct Case {
    ManualPriceEntry entry;
    StringId message;
    EntryField field;
  };
  const Case cases[] = {
      {{"", "1", day}, StringId::SymbolMissing, EntryField::Symbol},
      {{"A B", "1", day}, StringId::SymbolCharactersInvalid, EntryField::Symbol},
      {{std::string(17, 'A'), "1", day}, StringId::TextTooLong, EntryField::Symbol},
      {{"FUND", "84.2637001", day}, StringId::TooManyDecimals, EntryField::ManualPrice},
      {{"FUND", "0", day}, StringId::ManualPriceInvalid, EntryField::ManualPrice},
      {{"FUND", "", day}, StringId::ManualPriceInvalid, EntryField::ManualPrice},
      {{"FUND", "-3", day}, StringId::AmountNegative, EntryField::ManualPrice},
      {{"FUND", "12,5", day}, StringId::AmountNotANumber, EntryField::ManualPrice},
      {{"FUND", "42949673", day}, StringId::AmountTooLarge, EntryField::ManualPrice},
      {{"FUND", "1", Day(2026, 12, 9)}, StringId::DateLaterThanToday, EntryField::BuyDate},
      {{"FUND", "1", Day(1899, 12, 31)}, StringId::DateOutOfRange, EntryField::BuyDate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry.symbol + " / " + c.entry.price);
    const EntryCheck check = CheckManualPrice(c.entry, today, result);
    EXPECT_EQ(check.message, c.message);
    EXPECT_EQ(check.field, c.field);
  }
}
