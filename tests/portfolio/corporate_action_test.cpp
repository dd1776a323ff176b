// Splits and symbol changes: one change over every portfolio, what was paid kept to the cent, refused
// whole when a position cannot take it, undone byte for byte.
#include <gtest/gtest.h>

#include <tinyxml2.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "portfolio/checks/corporate_action_checks.h"
#include "portfolio/corporate_actions/split_plan.h"
#include "portfolio/database/split_check.h"
#include "portfolio/database/vl_database_reads.h"
#include "portfolio/performance/performance_lots.h"
#include "portfolio/records/calendar_date.h"
#include "tests/support/exact_values.h"
#include "tests/support/record_bytes.h"
#include "tests/support/table_split_source.h"
#include "vl_database_fixture.h"

namespace {

int64_t Day(int year, int month, int day) {
  return StoredDateOf({year, month, day});
}

SplitRequest Split(const std::string& symbol, uint32_t newShares, uint32_t oldShares, int64_t exDate,
                   UnitPrice cashInLieu = {}) {
  SplitRequest request;
  request.symbol = symbol;
  request.ratio = {newShares, oldShares};
  request.exDate = exDate;
  request.cashInLieu = cashInLieu;
  return request;
}

class CorporateActionTest : public DatabaseTest {
 protected:
  uint32_t Buy(uint32_t portfolioId, const std::string& symbol, const char* qty, const char* price,
               uint32_t commission, int64_t date) {
    VLStockHoldingItem fields;
    fields.name = symbol;
    fields.qty = SharesOf(qty);
    fields.buyPricePerShare = PriceOf(price);
    fields.buyCommission = commission;
    fields.purchaseDate = date;
    uint32_t id = 0;
    EXPECT_EQ(db->AddStockPosition(conn, portfolioId, fields, id), VLResult::Ok);
    return id;
  }
  uint32_t Sell(uint32_t id, const char* qty, const char* price, uint32_t commission, int64_t date) {
    uint32_t rest = 0;
    EXPECT_EQ(db->SellPosition(conn, id, SharesOf(qty), PriceOf(price), commission, date, rest),
              VLResult::Ok);
    return rest;
  }
  VLStockHoldingItem Stock(uint32_t id) {
    std::unique_ptr<VLHoldingItem> position;
    EXPECT_EQ(db->GetPosition(conn, id, position), VLResult::Ok);
    VLStockHoldingItem copy;
    if (position) (void)copy.CopyFrom(static_cast<const VLStockHoldingItem*>(position.get()));
    return copy;
  }
  int64_t TotalPaid(uint32_t id) { return Stock(id).GetTotalPaid().ToCents(); }
  int64_t RealizedGain(uint32_t id) {
    const VLStockHoldingItem s = Stock(id);
    return s.GetSaleValue().ToCents() - s.GetTotalPaid().ToCents();
  }
  std::vector<uint32_t> HeldIds(uint32_t portfolioId, bool held = true) {
    VLHoldingItemList list;
    EXPECT_EQ(db->GetPositions(conn, portfolioId, held, list), VLResult::Ok);
    std::vector<uint32_t> ids;
    for (const auto& item : list) ids.push_back(item->id);
    return ids;
  }
};

}  // namespace

TEST_F(CorporateActionTest, TheWorkedExampleKeepsWhatWasPaidThroughTheSplitAndALaterSale) {
  const uint32_t p = AddPortfolio("Retirement");
  const uint32_t bought = Buy(p, "MSFT", "100", "301", 995, Day(2024, 1, 10));
  const uint32_t held = Sell(bought, "40", "320", 495, Day(2024, 3, 1));
  EXPECT_EQ(Stock(bought).buyCommission, 398u);
  EXPECT_EQ(RealizedGain(bought), 75107);
  ASSERT_EQ(TotalPaid(held), 1806597);

  SplitPreview preview;
  ASSERT_EQ(db->RecordSplit(conn, Split("msft", 3, 1, Day(2024, 6, 10)), preview), VLResult::Ok);
  ASSERT_EQ(preview.rows.size(), 1u);  // the part sold before the day stays in old shares
  EXPECT_EQ(preview.rows[0].positionId, held);
  EXPECT_EQ(Stock(held).qty, Shares(180));
  EXPECT_EQ(Stock(held).buyPricePerShare, PriceOf("100.333333"));
  EXPECT_EQ(TotalPaid(held), 1806597);
  EXPECT_EQ(Stock(bought).qty, Shares(40));
  EXPECT_EQ(RealizedGain(bought), 75107);

  const uint32_t rest = Sell(held, "100", "140", 495, Day(2024, 9, 3));
  EXPECT_EQ(TotalPaid(held), 1003665);
  EXPECT_EQ(RealizedGain(held), 395840);
  EXPECT_EQ(Stock(rest).qty, Shares(80));
  EXPECT_EQ(TotalPaid(rest), 802932);

  // The returns count the split on the days before it: the held part's 180 shares were 60 then.
  PerformanceLots lots;
  ASSERT_EQ(ReadPortfolioLots(*db, conn, p, &lots), VLResult::Ok);
  ASSERT_EQ(lots.lots.size(), 3u);
  for (const PerformanceLot& lot : lots.lots) {
    if (lot.qty == Shares(100)) {
      EXPECT_EQ(lot.QtyOn(DayNumberOf({2024, 6, 9})), SharesOf("33.33333333"));
    } else if (lot.qty == Shares(40)) {
      EXPECT_TRUE(lot.splits.empty());  // sold before the day
    }
  }

  std::vector<VLCorporateActionItem> actions;
  ASSERT_EQ(db->GetCorporateActions(conn, actions), VLResult::Ok);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0].name, "MSFT");
  EXPECT_EQ(actions[0].newShares, 3u);
  EXPECT_EQ(actions[0].oldShares, 1u);
}

TEST_F(CorporateActionTest, ASplitChangesOnlyWhatWasHeldOnItsDayInEveryPortfolio) {
  const uint32_t a = AddPortfolio("A");
  const uint32_t b = AddPortfolio("B");
  const int64_t ex = Day(2024, 6, 10);
  const uint32_t inA = Buy(a, "NVDA", "10", "1200", 500, Day(2024, 1, 2));
  const uint32_t inB = Buy(b, "NVDA", "2.5", "1000", 0, Day(2023, 5, 2));
  const uint32_t onTheDay = Buy(b, "NVDA", "50", "120", 0, ex);  // already in new shares
  const uint32_t soldBefore = Buy(b, "NVDA", "4", "900", 0, Day(2023, 1, 3));
  Sell(soldBefore, "4", "1100", 0, Day(2024, 6, 7));
  const uint32_t soldOnTheDay = Buy(a, "NVDA", "1", "1000", 0, Day(2023, 1, 3));
  Sell(soldOnTheDay, "1", "121.5", 0, ex);  // the sale price is in new shares
  const uint32_t other = Buy(a, "AAPL", "10", "150", 0, Day(2020, 1, 2));

  SplitPreview preview;
  ASSERT_EQ(db->RecordSplit(conn, Split("NVDA", 10, 1, ex), preview), VLResult::Ok);
  EXPECT_EQ(preview.rows.size(), 3u);
  EXPECT_EQ(Stock(inA).qty, Shares(100));
  EXPECT_EQ(Stock(inA).buyPricePerShare, PriceOf("120"));
  EXPECT_EQ(Stock(inB).qty, SharesOf("25"));
  EXPECT_EQ(TotalPaid(inB), 250000);
  EXPECT_EQ(Stock(onTheDay).qty, Shares(50));
  EXPECT_EQ(Stock(soldBefore).qty, Shares(4));
  EXPECT_EQ(Stock(soldOnTheDay).qty, Shares(10));
  EXPECT_EQ(Stock(soldOnTheDay).salePricePerShare, PriceOf("121.5"));
  EXPECT_EQ(RealizedGain(soldOnTheDay), 21500);
  EXPECT_EQ(Stock(other).qty, Shares(10));

  // Two splits in a row: the second applies to the shares the first made.
  ASSERT_EQ(db->RecordSplit(conn, Split("NVDA", 3, 2, Day(2024, 9, 2)), preview), VLResult::Ok);
  EXPECT_EQ(Stock(inA).qty, Shares(150));
  EXPECT_EQ(Stock(inA).buyPricePerShare, PriceOf("80"));
  EXPECT_EQ(Stock(onTheDay).qty, Shares(75));
  EXPECT_EQ(TotalPaid(inA), 1200500);
}

TEST_F(CorporateActionTest, AReverseSplitNeedsACashPriceForTheFractionAndThenSellsIt) {
  const uint32_t p = AddPortfolio("Trading");
  const uint32_t id = Buy(p, "GE", "100", "10", 300, Day(2020, 3, 2));
  const std::string before = ReadText(path);
  const int64_t ex = Day(2021, 8, 2);

  SplitPreview preview;
  EXPECT_EQ(db->RecordSplit(conn, Split("GE", 1, 3, ex), preview), VLResult::ActionRefused);
  EXPECT_EQ(preview.fault, SplitFault::Fraction);
  EXPECT_EQ(preview.faultPositionId, id);
  EXPECT_NE(SplitFaultText(preview).find("position " + std::to_string(id) + " in Trading"),
            std::string::npos);
  EXPECT_EQ(ReadText(path), before);  // nothing changed

  ASSERT_EQ(db->RecordSplit(conn, Split("GE", 1, 3, ex, PriceOf("36")), preview), VLResult::Ok);
  ASSERT_EQ(preview.rows.size(), 1u);
  EXPECT_EQ(preview.rows[0].qtyAfter, Shares(33));
  EXPECT_EQ(preview.rows[0].fractionPaid, SharesOf("0.33333333"));
  EXPECT_EQ(Stock(id).qty, Shares(33));
  const std::vector<uint32_t> sold = HeldIds(p, false);
  ASSERT_EQ(sold.size(), 1u);
  const VLStockHoldingItem fraction = Stock(sold[0]);
  EXPECT_EQ(fraction.qty, SharesOf("0.33333333"));
  EXPECT_EQ(fraction.salePricePerShare, PriceOf("36"));
  EXPECT_EQ(fraction.saleDate, ex);
  EXPECT_EQ(fraction.GetSaleValue().ToCents(), 1200);
  // The two parts share the purchase commission and what was paid, as a partial sale shares them.
  EXPECT_EQ(Stock(id).buyCommission + fraction.buyCommission, 300u);
  EXPECT_EQ(TotalPaid(id) + TotalPaid(sold[0]), 100300);

  // A position with no whole share left is the fraction itself.
  const uint32_t small = Buy(p, "XYZ", "2", "5", 0, Day(2020, 3, 2));
  ASSERT_EQ(db->RecordSplit(conn, Split("XYZ", 1, 10, ex, PriceOf("40")), preview), VLResult::Ok);
  EXPECT_EQ(Stock(small).qty, SharesOf("0.2"));
  EXPECT_EQ(Stock(small).salePricePerShare, PriceOf("40"));
  EXPECT_EQ(HeldIds(p, false).size(), 2u);
}

TEST_F(CorporateActionTest, TheSameSplitTwiceIsRefusedAndADryRunChangesNothing) {
  const uint32_t p = AddPortfolio("A");
  const uint32_t id = Buy(p, "AAPL", "10", "400", 0, Day(2020, 1, 2));
  const std::string before = ReadText(path);
  SplitPreview preview;
  ASSERT_EQ(db->PreviewSplit(conn, Split("AAPL", 4, 1, Day(2020, 8, 31)), preview), VLResult::Ok);
  ASSERT_EQ(preview.rows.size(), 1u);
  EXPECT_EQ(preview.rows[0].qtyAfter, Shares(40));
  EXPECT_EQ(preview.rows[0].priceAfter, PriceOf("100"));
  EXPECT_EQ(ReadText(path), before);
  EXPECT_EQ(db->GetVersion(), VLDatabase::kFirstVersion);

  ASSERT_EQ(db->RecordSplit(conn, Split("AAPL", 4, 1, Day(2020, 8, 31)), preview), VLResult::Ok);
  EXPECT_EQ(db->GetVersion(), VLDatabase::kCorporateActionVersion);
  const std::string after = ReadText(path);
  EXPECT_EQ(db->RecordSplit(conn, Split("aapl", 2, 1, Day(2020, 8, 31)), preview), VLResult::AlreadyRecorded);
  EXPECT_EQ(db->PreviewSplit(conn, Split("AAPL", 4, 1, Day(2020, 8, 31)), preview),
            VLResult::AlreadyRecorded);
  EXPECT_EQ(ReadText(path), after);
  EXPECT_EQ(Stock(id).qty, Shares(40));

  // The split and its record survive a restart; undone, every record is as it was (the fingerprint sums
  // their images) and the file takes its first form again.
  Reopen();
  EXPECT_EQ(db->GetCorporateActionCount(), 1);
  EXPECT_EQ(Stock(id).qty, Shares(40));
  const uint64_t split = db->GetFingerprint();
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->GetVersion(), VLDatabase::kFirstVersion);
  EXPECT_EQ(db->GetCorporateActionCount(), 0);
  EXPECT_EQ(Stock(id).qty, Shares(10));
  ASSERT_EQ(db->Redo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->GetFingerprint(), split);
}

TEST_F(CorporateActionTest, UndoAndRedoOfEachActionRestoreEveryByte) {
  const uint32_t a = AddPortfolio("A");
  const uint32_t b = AddPortfolio("B");
  Buy(a, "GE", "100", "10", 300, Day(2020, 3, 2));
  Buy(b, "GE", "7", "11.5", 100, Day(2019, 3, 2));
  Buy(b, "FB", "12", "180", 0, Day(2019, 3, 2));
  struct Step {
    const char* what;
    std::function<VLResult()> run;
  };
  SplitPreview preview;
  int renamed = 0;
  const std::vector<Step> steps = {
      {"split", [&] { return db->RecordSplit(conn, Split("GE", 2, 1, Day(2020, 6, 1)), preview); }},
      {"reverse split with cash",
       [&] { return db->RecordSplit(conn, Split("GE", 1, 8, Day(2021, 8, 2), PriceOf("90")), preview); }},
      {"symbol change",
       [&] { return db->RecordSymbolChange(conn, "FB", "META", Day(2022, 6, 9), "", renamed); }},
  };
  // Every journaled record's image is in the fingerprint; the cached quotes are not records of the user's
  // (their binding counts grow with every binding, an undo's included).
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    const uint64_t before = db->GetFingerprint();
    const int actions = db->GetCorporateActionCount();
    ASSERT_EQ(s.run(), VLResult::Ok);
    const uint64_t after = db->GetFingerprint();
    ASSERT_NE(after, before);
    VLJournalStep step;
    ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
    EXPECT_EQ(db->GetFingerprint(), before);
    EXPECT_EQ(db->GetCorporateActionCount(), actions);
    Reopen();  // from the file alone
    EXPECT_EQ(db->GetFingerprint(), before);
    ASSERT_EQ(db->Redo(conn, step), VLResult::Ok);
    EXPECT_EQ(db->GetFingerprint(), after);
    Reopen();
    EXPECT_EQ(db->GetFingerprint(), after);
  }
  EXPECT_EQ(db->GetCorporateActionCount(), 3);
}

TEST_F(CorporateActionTest, ASymbolChangeMovesEveryPositionOfTheOldSymbolOnce) {
  const uint32_t a = AddPortfolio("A");
  const uint32_t b = AddPortfolio("B");
  const uint32_t first = Buy(a, "FB", "10", "180", 0, Day(2019, 3, 2));
  const uint32_t second = Buy(b, "fb", "5", "200", 0, Day(2020, 3, 2));
  const uint32_t other = Buy(b, "AAPL", "5", "200", 0, Day(2020, 3, 2));
  int renamed = 0;
  ASSERT_EQ(db->RecordSymbolChange(conn, "fb", "meta", Day(2022, 6, 9), "renamed", renamed), VLResult::Ok);
  EXPECT_EQ(renamed, 2);
  EXPECT_EQ(Stock(first).name, "META");
  EXPECT_EQ(Stock(second).name, "META");
  EXPECT_EQ(Stock(other).name, "AAPL");
  EXPECT_EQ(Stock(first).qty, Shares(10));
  EXPECT_EQ(db->RecordSymbolChange(conn, "FB", "META", Day(2022, 6, 9), "", renamed),
            VLResult::AlreadyRecorded);
  std::vector<VLCorporateActionItem> actions;
  ASSERT_EQ(db->GetCorporateActions(conn, actions), VLResult::Ok);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0].kind, CorporateActionKind::SymbolChange);
  EXPECT_EQ(actions[0].name, "FB");
  EXPECT_EQ(actions[0].newSymbol, "META");
  EXPECT_EQ(actions[0].comment, "renamed");
  // A later split of the new symbol finds the renamed positions.
  SplitPreview preview;
  ASSERT_EQ(db->RecordSplit(conn, Split("META", 2, 1, Day(2023, 1, 3)), preview), VLResult::Ok);
  EXPECT_EQ(Stock(second).qty, Shares(10));
}

TEST(SplitPlan, RatiosAreReadInLowestTermsAndNothingElseIsTaken) {
  SplitRatio ratio;
  ASSERT_TRUE(ParseSplitRatio("6:2", ratio));
  EXPECT_EQ(ratio.newShares, 3u);
  EXPECT_EQ(ratio.oldShares, 1u);
  ASSERT_TRUE(ParseSplitRatio("1:10", ratio));
  EXPECT_EQ(SplitRatioText(ratio), "1:10");
  for (const char* bad : {"1:1", "4:4", "0:1", "3:0", "3:", ":1", "3-1", "3:1:1", "a:b", "-3:1", "3.5:1",
                          "4294967296:1", " 3:1"}) {
    EXPECT_FALSE(ParseSplitRatio(bad, ratio)) << bad;
  }
}

TEST(SplitPlan, EverySplitPositionCostsWhatItDidToTheCent) {
  std::mt19937_64 random(20240610);
  const SplitRatio ratios[] = {{3, 1}, {10, 1}, {3, 2}, {1, 10}, {7, 3}, {20, 1}, {1, 3}};
  int withRemainder = 0;
  for (int i = 0; i < 20000; ++i) {
    VLStockHoldingItem before;
    before.qty = Quantity::FromUnits(static_cast<int64_t>(random() % 5'000'000'000'000ULL) + 1);
    before.buyPricePerShare = UnitPrice::FromUnits(static_cast<int64_t>(random() % 2'000'000'000ULL) + 1);
    before.buyCommission = static_cast<uint32_t>(random() % 2000);
    const SplitRatio ratio = ratios[random() % std::size(ratios)];
    const bool cash = random() % 2 == 0;
    SplitOfPosition split;
    const SplitFault fault = SplitPosition(before, ratio, cash ? PriceOf("1") : UnitPrice(), split);
    if (!cash && fault == SplitFault::Fraction) continue;
    ASSERT_EQ(fault, SplitFault::None) << DecimalText(before.qty) << " " << SplitRatioText(ratio);
    const int64_t paid = ProductCents(before.qty, before.buyPricePerShare);
    withRemainder += split.after.paidRemainder != 0 || split.fractionRemainder != 0;
    if (split.fraction.IsZero()) {
      ASSERT_EQ(ProductCents(split.after.qty, split.after.buyPricePerShare) + split.after.paidRemainder, paid)
          << DecimalText(before.qty) << " at " << PriceText(before.buyPricePerShare);
      ASSERT_EQ(split.after.buyCommission, before.buyCommission);
    } else {
      ASSERT_EQ(split.after.buyCommission + split.fractionCommission, before.buyCommission);
      ASSERT_TRUE(split.after.qty.IsWhole() || split.after.qty == split.fraction);
    }
    // A position that keeps a remainder has the exact price, rounded to 0.000001.
    UnitPrice exact;
    ASSERT_TRUE(before.buyPricePerShare.ScaledRounded(ratio.oldShares, ratio.newShares, exact));
    if (split.after.paidRemainder != 0) {
      ASSERT_EQ(split.after.buyPricePerShare, exact);
    }
  }
  EXPECT_GT(withRemainder, 0);  // positions of many shares need one
  UnitPrice price;
  EXPECT_FALSE(PriceKeepingCost(Shares(1'000'000'000), PriceOf("0.000003"), 300001, price));
  ASSERT_TRUE(PriceKeepingCost(Shares(180), PriceOf("100.333333"), 1806000, price));
  EXPECT_EQ(price, PriceOf("100.333333"));
  ASSERT_TRUE(
      PriceKeepingCost(Shares(100), PriceOf("1.234567"), 12347, price));  // the nearest that gives 123.47
  EXPECT_EQ(price, PriceOf("1.23465"));
}

TEST_F(CorporateActionTest, ARemainderKeepsWhatManySharesCostThroughSalesSavesAndExports) {
  const uint32_t p = AddPortfolio("Big");
  // 25,000 shares at 12.345677 cost 308,641.925 -> 308,641.93; after 7:1, no price of 0.000001 gives that for
  // 175,000 shares (each step is 0.175).
  const uint32_t id = Buy(p, "BIG", "25000", "12.345677", 995, Day(2020, 1, 6));
  const int64_t paid = TotalPaid(id);
  SplitPreview preview;
  ASSERT_EQ(db->RecordSplit(conn, Split("BIG", 7, 1, Day(2021, 1, 4)), preview), VLResult::Ok);
  const VLStockHoldingItem split = Stock(id);
  EXPECT_EQ(split.qty, Shares(175000));
  EXPECT_NE(split.paidRemainder, 0);
  EXPECT_EQ(TotalPaid(id), paid);
  EXPECT_EQ(split.GetVersion(), VLStockHoldingItem::kPaidRemainderVersion);

  Reopen();
  EXPECT_EQ(TotalPaid(id), paid);
  const uint32_t rest = Sell(id, "70000", "2", 0, Day(2021, 2, 1));
  EXPECT_EQ(TotalPaid(id) + TotalPaid(rest), paid);
  EXPECT_EQ(Stock(id).paidRemainder + Stock(rest).paidRemainder, split.paidRemainder);

  // The XML form carries it; an element without one reads as none.
  tinyxml2::XMLDocument doc;
  const VLStockHoldingItem held = Stock(rest);
  tinyxml2::XMLElement* element = held.ToXml(doc);
  VLStockHoldingItem back;
  std::string message;
  ASSERT_TRUE(back.FromXml(*element, message)) << message;
  EXPECT_EQ(back.paidRemainder, held.paidRemainder);
  element->SetAttribute("paidRemainder", "x");
  EXPECT_FALSE(back.FromXml(*element, message));
}

TEST(SplitChecks, WhatWasTypedIsCheckedBeforeTheDatabaseIsAsked) {
  const int64_t today = DayNumberOf({2026, 12, 8});
  SplitRequest request;
  struct Case {
    SplitEntry entry;
    StringId message;
    EntryField field;
  };
  const std::vector<Case> cases = {
      {{"MSFT", "3:1", "", "", Day(2024, 6, 10)}, StringId::None, EntryField::None},
      {{"MSFT", "3 for 1", "", "", Day(2024, 6, 10)}, StringId::SplitRatioInvalid, EntryField::SplitRatio},
      {{"MSFT", "1:1", "", "", Day(2024, 6, 10)}, StringId::SplitRatioInvalid, EntryField::SplitRatio},
      {{"MSFT", "1:3", "0", "", Day(2024, 6, 10)}, StringId::CashInLieuInvalid, EntryField::CashInLieu},
      {{"MSFT", "1:3", "1.0000001", "", Day(2024, 6, 10)}, StringId::TooManyDecimals, EntryField::CashInLieu},
      {{"MSFT", "3:1", "", "", 0}, StringId::DateOutOfRange, EntryField::BuyDate},
      {{"MSFT", "3:1", "", "", Day(2026, 12, 9)}, StringId::DateLaterThanToday, EntryField::BuyDate},
      {{"MS FT", "3:1", "", "", Day(2024, 6, 10)}, StringId::SymbolCharactersInvalid, EntryField::Symbol},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry.symbol + " " + c.entry.ratio + " " + c.entry.cashInLieu);
    const EntryCheck check = CheckSplit(c.entry, today, request);
    EXPECT_EQ(check.message, c.message);
    EXPECT_EQ(check.field, c.field);
  }
  ASSERT_TRUE(CheckSplit({" msft ", "6:2", "12.5", "note", Day(2024, 6, 10)}, today, request).Ok());
  EXPECT_EQ(request.symbol, "MSFT");
  EXPECT_EQ(request.ratio.newShares, 3u);
  EXPECT_EQ(request.cashInLieu, PriceOf("12.5"));

  SymbolChangeEntry change;
  EXPECT_EQ(CheckSymbolChange({"FB", "fb", "", Day(2022, 6, 9)}, today, change).message,
            StringId::NewSymbolSame);
  ASSERT_TRUE(CheckSymbolChange({"fb", "meta", "", Day(2022, 6, 9)}, today, change).Ok());
  EXPECT_EQ(change.newSymbol, "META");
}

TEST(CorporateActionRecord, StoredRecordsRoundTripAndDamagedOnesAreRefused) {
  VLCorporateActionItem split;
  split.id = 4;
  split.name = "GE";
  split.exDate = Day(2021, 8, 2);
  split.newShares = 1;
  split.oldShares = 8;
  split.cashInLieu = PriceOf("90.25");
  split.comment = "reverse";
  const std::vector<uint8_t> bytes = StoreRecord(split);
  VLCorporateActionItem loaded;
  ASSERT_EQ(LoadRecord(loaded, bytes), SerializeResult::Ok);
  EXPECT_EQ(loaded.name, "GE");
  EXPECT_EQ(loaded.oldShares, 8u);
  EXPECT_EQ(loaded.cashInLieu, PriceOf("90.25"));
  EXPECT_EQ(loaded.comment, "reverse");
  EXPECT_EQ(StoreRecord(loaded), bytes);

  const auto spoilt = [&](const std::function<void(VLCorporateActionItem&)>& spoil) {
    VLCorporateActionItem bad;
    (void)bad.CopyFrom(&split);
    spoil(bad);
    const std::vector<uint8_t> badBytes = StoreRecord(bad);
    VLCorporateActionItem back;
    return LoadRecord(back, badBytes);
  };
  EXPECT_EQ(spoilt([](auto& r) { r.oldShares = 2, r.newShares = 4; }),
            SerializeResult::Failed);  // not lowest
  EXPECT_EQ(spoilt([](auto& r) { r.newShares = r.oldShares; }), SerializeResult::Failed);
  EXPECT_EQ(spoilt([](auto& r) { r.kind = static_cast<CorporateActionKind>(9); }), SerializeResult::Failed);
  EXPECT_EQ(spoilt([](auto& r) { r.exDate = 0; }), SerializeResult::Failed);
  EXPECT_EQ(spoilt([](auto& r) { r.newSymbol = "X"; }), SerializeResult::Failed);  // a split has none
  EXPECT_EQ(spoilt([](auto& r) {
              r.kind = CorporateActionKind::SymbolChange;
              r.newShares = r.oldShares = 0;
              r.cashInLieu = {};
              r.newSymbol = "GE";
            }),
            SerializeResult::Failed);  // a change to itself
}

TEST_F(CorporateActionTest, ACheckProposesKnownSplitsAfterThePurchasesOfHeldSymbolsOnlyOnce) {
  const uint32_t a = AddPortfolio("A");
  const uint32_t b = AddPortfolio("B");
  Buy(a, "NVDA", "10", "480", 0, Day(2024, 1, 2));
  Buy(b, "NVDA", "2", "300", 0, Day(2023, 3, 1));
  Buy(a, "AVGO", "1", "1200", 0, Day(2024, 8, 1));  // bought after its split
  Sell(Buy(a, "WMT", "3", "150", 0, Day(2023, 1, 3)), "3", "160", 0, Day(2023, 6, 1));  // sold: not held
  Buy(a, "IBM", "5", "140", 0, Day(2020, 1, 2));
  TableSplitSource source;
  source.table["NVDA"] = {{DayNumberOf({2021, 7, 20}), {4, 1}}, {DayNumberOf({2024, 6, 10}), {10, 1}}};
  source.table["AVGO"] = {{DayNumberOf({2024, 7, 15}), {10, 1}}};
  source.table["WMT"] = {{DayNumberOf({2024, 2, 26}), {3, 1}}};
  source.failing = {"IBM"};
  const int64_t today = DayNumberOf({2024, 12, 2});

  SplitCheck check;
  ASSERT_EQ(CheckForSplits(*db, conn, source, today, check), VLResult::Ok);
  EXPECT_EQ(source.asked, (std::vector<std::string>{"AVGO " + std::to_string(DayNumberOf({2024, 8, 1})),
                                                    "IBM " + std::to_string(DayNumberOf({2020, 1, 2})),
                                                    "NVDA " + std::to_string(DayNumberOf({2023, 3, 1}))}));
  ASSERT_EQ(check.proposals.size(), 1u);
  EXPECT_EQ(check.proposals[0].symbol, "NVDA");
  EXPECT_EQ(check.proposals[0].positions, 2);
  EXPECT_EQ(check.unasked, (std::vector<std::string>{"IBM: no answer"}));

  SplitPreview preview;
  ASSERT_EQ(
      db->RecordSplit(conn, Split("NVDA", 10, 1, StoredDateOfDay(check.proposals[0].split.day)), preview),
      VLResult::Ok);
  ASSERT_EQ(CheckForSplits(*db, conn, source, today, check), VLResult::Ok);
  EXPECT_TRUE(check.proposals.empty());  // never twice
}

TEST(CorporateActionRecord, TheFuzzerSeedOfTheNewestFormLoadsWithEveryKindOfRecordAndSavesAsItWas) {
  TempFolder folder;
  const std::string path = folder.File("Vellumar.db");
  std::filesystem::copy_file(std::string(VL_FIXTURES_DIR) + "/fuzz/database/store_newest.vldb", path);
  const std::string bytes = ReadText(path);
  VLDatabase db(path);
  ASSERT_EQ(db.Open(), DbResult::Ok);
  EXPECT_EQ(db.GetManualPriceCount(), 1);
  EXPECT_EQ(db.GetCorporateActionCount(), 2);
  EXPECT_EQ(db.GetIncomeCount(), 1);
  EXPECT_EQ(db.GetVersion(), VLDatabase::kIncomeVersion);
  db.SetModified();
  ASSERT_EQ(db.Save(), DbResult::Ok);
  EXPECT_EQ(ReadText(path), bytes);
}
