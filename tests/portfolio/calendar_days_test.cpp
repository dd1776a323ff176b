// Purchase and sale dates are calendar days: the cells, the checks and the exchange form read a date as
// the same day in every time zone, whether this version stored it or an older one did (as local midnight).
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <memory>

#include "portfolio/checks/holding_checks.h"
#include "portfolio/checks/sell_checks.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/noon_utc.h"
#include "tests/support/time_zone.h"

namespace {

std::string Cell(const VLStockHoldingItem& h, int column) {
  std::string text;
  h.GetColumnText(column, text);
  return text;
}

VLStockHoldingItem Held(int64_t purchaseDate) {
  VLStockHoldingItem h;
  h.name = h.quote.Edit().symbol = "IBM";
  h.quote.Edit().exchange = "NYSE";
  h.quote.Edit().lastTrade = "10.00";
  h.qty = Shares(10);
  h.buyPricePerShare = Cents(1000);
  h.purchaseDate = purchaseDate;
  return h;
}

const CalendarDate kMarch10{2024, 3, 10};

}  // namespace

TEST(CalendarDays, DatesOlderVersionsStoredAsLocalMidnightReadAsTheTypedDayInEveryZone) {
  // Writers from UTC+9 to UTC-10; readers from UTC+13 to UTC-7, ten days later at noon UTC.
  for (const char* writer : {"Asia/Tokyo", "Europe/London", "America/Los_Angeles", "Pacific/Honolulu"}) {
    int64_t stored = 0;
    {
      ScopedTimeZone zone(writer);
      stored = LocalMidnightHere(2024, 3, 10);
    }
    for (const char* reader : kTestZones) {
      ScopedTimeZone zone(reader);
      ScopedClock clock(std::make_shared<ZoneClock>(NoonUtc(2024, 3, 20)));
      const VLStockHoldingItem h = Held(stored);
      EXPECT_EQ(Cell(h, kColDateBought), "10-Mar-2024") << writer << " read in " << reader;
      EXPECT_EQ(h.GetColumnValue(kColDateBought),
                Held(StoredDateOf(kMarch10)).GetColumnValue(kColDateBought));
      // Today is the 20th (the 21st already in Auckland): ten or eleven whole days.
      const bool aheadOfUtc = std::string(reader) == "Pacific/Auckland";
      EXPECT_EQ(h.GetColumnValue(kColHeld), aheadOfUtc ? 11.0 : 10.0) << writer << " read in " << reader;
    }
  }
}

TEST(CalendarDays, DatesStoredNowReadAlikeInEveryZone) {
  const int64_t purchase = StoredDateOf(kMarch10);
  VLStockHoldingItem sold = Held(purchase);
  sold.salePricePerShare = Cents(1100);
  sold.saleDate = StoredDateOf({2024, 3, 15});
  for (const char* zone : kTestZones) {
    ScopedTimeZone here(zone);
    ScopedClock clock(std::make_shared<ZoneClock>(NoonUtc(2024, 3, 20)));
    EXPECT_EQ(Cell(sold, kColDateBought), "10-Mar-2024") << zone;
    EXPECT_EQ(Cell(sold, kColDateSold), "15-Mar-2024") << zone;
    EXPECT_EQ(Cell(sold, kColHeld), "5 days") << zone;
  }
}

TEST(CalendarDays, ChecksKeepEveryDayFrom1900ToTodayAndCompareDays) {
  ScopedNumberFormat english(NumberFormat::English());
  ScopedClock clock(std::make_shared<FixedClock>(NoonUtc(2024, 3, 20)));
  StockHoldingEntry entry;
  entry.symbol = "IBM";
  entry.quantity = "10";
  entry.buyPrice = "1";
  const struct {
    CalendarDate date;
    StringId message;
  } cases[] = {
      {{1970, 1, 1}, StringId::None},  // the day whose midnight is 0, "no date"
      {{1969, 7, 20}, StringId::None},
      {{1900, 1, 1}, StringId::None},
      {{2024, 3, 20}, StringId::None},
      {{1899, 12, 31}, StringId::DateOutOfRange},
      {{2024, 3, 21}, StringId::DateLaterThanToday},
  };
  for (const auto& c : cases) {
    entry.buyDate = StoredDateOf(c.date);
    VLStockHoldingItem holding;
    const EntryCheck check = CheckStockHolding(entry, nullptr, holding);
    EXPECT_EQ(check.message, c.message) << c.date.year;
    if (check.Ok()) {
      EXPECT_EQ(DateOfStoredDate(holding.purchaseDate), c.date);
      EXPECT_NE(holding.purchaseDate, 0);
    } else {
      EXPECT_EQ(check.field, EntryField::BuyDate);
    }
  }
  entry.buyDate = StoredDateOf({1899, 12, 31});
  VLStockHoldingItem holding;
  EXPECT_EQ(CheckStockHolding(entry, nullptr, holding).arguments, std::vector<std::string>{"1900-01-01"});

  // A purchase stored now and a sale on the same day stored by an older version in Los Angeles (08:00 UTC).
  entry.symbolFixed = true;
  entry.sold = true;
  entry.salePrice = "2";
  entry.buyDate = StoredDateOf(kMarch10);
  {
    ScopedTimeZone zone("America/Los_Angeles");
    entry.saleDate = LocalMidnightHere(2024, 3, 10);
  }
  EXPECT_TRUE(CheckStockHolding(entry, nullptr, holding).Ok());
  entry.saleDate = StoredDateOf({2024, 3, 9});
  EXPECT_EQ(CheckStockHolding(entry, nullptr, holding).message, StringId::SaleDateBeforePurchase);

  SellResult sale;
  EXPECT_EQ(CheckSell({"1", "1", StoredDateOf({2024, 3, 21}), ""}, Shares(10), sale).message,
            StringId::DateLaterThanToday);
  EXPECT_EQ(CheckSell({"1", "1", StoredDateOf({1800, 1, 1}), ""}, Shares(10), sale).message,
            StringId::DateOutOfRange);
  ASSERT_TRUE(CheckSell({"1", "1", StoredDateOf({1970, 1, 1}), ""}, Shares(10), sale).Ok());
  EXPECT_NE(sale.saleDate, 0);
}

TEST(CalendarDays, TheExchangeFormCarriesDaysBefore1970AndReadsOlderLocalMidnights) {
  VLStockHoldingItem h = Held(StoredDateOf({1969, 7, 20}));
  h.saleDate = StoredDateOf({2065, 1, 24});  // beyond 31 bits, as the form always allowed
  tinyxml2::XMLDocument doc;
  doc.InsertEndChild(h.ToXml(doc));
  VLStockHoldingItem back;
  std::string message;
  ASSERT_TRUE(back.FromXml(*doc.FirstChildElement(), message)) << message;
  EXPECT_EQ(DateOfStoredDate(back.purchaseDate), (CalendarDate{1969, 7, 20}));
  EXPECT_EQ(back.saleDate, h.saleDate);

  // An older file's local midnight from Tokyo comes in as the stored form of its day.
  int64_t tokyoMidnight = 0;
  {
    ScopedTimeZone zone("Asia/Tokyo");
    tokyoMidnight = LocalMidnightHere(2024, 3, 10);
  }
  doc.FirstChildElement()->SetAttribute("purchaseDate", static_cast<uint32_t>(tokyoMidnight));
  ASSERT_TRUE(back.FromXml(*doc.FirstChildElement(), message)) << message;
  EXPECT_EQ(back.purchaseDate, StoredDateOf(kMarch10));
  doc.FirstChildElement()->SetAttribute("purchaseDate", StoredDateOf({1899, 12, 31}));
  EXPECT_FALSE(back.FromXml(*doc.FirstChildElement(), message));
}

// A damaged file can hold any 64-bit number as a date: the cells show some far year, never undefined
// arithmetic (the sanitized suite runs this too).
TEST(CalendarDays, ExtremeStoredValuesStayDefined) {
  ScopedClock clock(std::make_shared<FixedClock>(NoonUtc(2024, 3, 20)));
  for (const int64_t stored : {INT64_MAX, INT64_MIN, INT64_MIN + 1}) {
    VLStockHoldingItem h = Held(stored);
    h.saleDate = stored;
    h.salePricePerShare = Cents(1);
    EXPECT_FALSE(Cell(h, kColDateBought).empty());
    EXPECT_EQ(h.GetColumnValue(kColHeld), 0.0);
    (void)Cell(h, kColSaleAge);
  }
}
