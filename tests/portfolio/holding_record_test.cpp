// The database record of the three position kinds, every stock record version included.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/record_bytes.h"

namespace {
// Writes a stock record the way a program writing version `v` laid it out: key and version at the
// record, holding and item levels, then the fields that version had.
std::vector<uint8_t> OldStockRecord(int32_t v, const std::string& key = "SH") {
  MemoryStream stream;
  Archive ar(stream, Archive::Mode::Store);
  for (int level = 0; level < 3; ++level) {
    ar.WriteString(key);
    ar.WriteInt32(v);
  }
  ar.WriteUInt32(11);              // id
  ar.WriteUInt32(0);               // tag
  ar.WriteScrambledString("IBM");  // name
  ar.WriteUInt32(4);               // ownerPortfolioId
  ar.WriteUInt32(21);              // quoteId
  ar.WriteUInt32(100);             // qty
  ar.WriteUInt32(8150);            // buyPricePerShare
  if (v >= 6) {
    ar.WriteUInt32(995);       // buyCommission
    ar.WriteUInt32(9020);      // salePricePerShare
    ar.WriteUInt32(1095);      // saleCommission
    ar.WriteTime(1200000000);  // saleDate
  }
  ar.WriteUInt32(7500);  // perShareBuyTarget
  if (v >= 5) {
    ar.WriteUInt32(9500);  // perShareSellTarget
    ar.WriteUInt32(7000);  // perShareStopLossTarget
  }
  ar.WriteBool(true);                    // marginable
  ar.WriteInt32(50);                     // mgnEquity
  ar.WriteUInt32(500);                   // mgnThreshold
  if (v >= 2) ar.WriteTime(1100000000);  // purchaseDate
  if (v >= 4) ar.WriteString("core holding");
  ar.Flush();
  return stream.Bytes();
}

// The exact form (version 7), as this program lays it out: shares and prices as 64-bit counts of 1e-8 share
// and 1e-6 per share, then the currency after the comment.
struct ExactFields {
  int64_t qty = 165310000;      // 1.6531
  int64_t buyPrice = 84263700;  // 84.2637
  int64_t salePrice = 0;
  int64_t targets[3] = {1, 0, kMaxStoredPrice.Units()};
  std::string currency = "GBp";
};
std::vector<uint8_t> ExactStockRecord(const ExactFields& f) {
  MemoryStream stream;
  Archive ar(stream, Archive::Mode::Store);
  for (int level = 0; level < 3; ++level) {
    ar.WriteString("SH");
    ar.WriteInt32(7);
  }
  ar.WriteUInt32(11);
  ar.WriteUInt32(0);
  ar.WriteScrambledString("VWRL.L");
  ar.WriteUInt32(4);
  ar.WriteUInt32(21);  // quoteId
  ar.WriteInt64(f.qty);
  ar.WriteInt64(f.buyPrice);
  ar.WriteUInt32(995);
  ar.WriteInt64(f.salePrice);
  ar.WriteUInt32(0);
  ar.WriteTime(0);
  for (int64_t target : f.targets) ar.WriteInt64(target);
  ar.WriteBool(false);
  ar.WriteInt32(0);
  ar.WriteUInt32(0);
  ar.WriteTime(1100000000);
  ar.WriteString("savings plan");
  ar.WriteString(f.currency);
  ar.Flush();
  return stream.Bytes();
}

}  // namespace

class StockRecordVersion : public ::testing::TestWithParam<int> {};

TEST_P(StockRecordVersion, LoadsTheFieldsThatVersionHad) {
  const int v = GetParam();
  VLStockHoldingItem h;
  h.comment = "left over";  // loading must not keep what an old record lacks
  h.saleDate = 77;
  ASSERT_EQ(LoadRecord(h, OldStockRecord(v)), SerializeResult::Ok);
  EXPECT_EQ(h.id, 11u);
  EXPECT_EQ(h.name, "IBM");
  EXPECT_EQ(h.ownerPortfolioId, 4u);
  EXPECT_EQ(h.quoteId, 21u);
  EXPECT_EQ(h.qty, Shares(100));
  EXPECT_EQ(h.buyPricePerShare, Cents(8150));
  EXPECT_EQ(h.perShareBuyTarget, Cents(7500));
  EXPECT_TRUE(h.marginable);
  EXPECT_EQ(h.mgnEquity, 50);
  EXPECT_EQ(h.mgnThreshold, 500u);
  EXPECT_EQ(h.buyCommission, v >= 6 ? 995u : 0u);
  EXPECT_EQ(h.salePricePerShare, Cents(v >= 6 ? 9020 : 0));
  EXPECT_EQ(h.saleCommission, v >= 6 ? 1095u : 0u);
  EXPECT_EQ(h.saleDate, v >= 6 ? 1200000000 : 0);
  EXPECT_EQ(h.perShareSellTarget, Cents(v >= 5 ? 9500 : 0));
  EXPECT_EQ(h.perShareStopLossTarget, Cents(v >= 5 ? 7000 : 0));
  EXPECT_EQ(h.purchaseDate, v >= 2 ? 1100000000 : 0);
  EXPECT_EQ(h.comment, v >= 4 ? "core holding" : "");
}

INSTANTIATE_TEST_SUITE_P(Versions1To6, StockRecordVersion, ::testing::Range(1, 7));

TEST(StockRecord, StoresVersion6InTheLayoutOldProgramsRead) {
  VLStockHoldingItem h;
  ASSERT_EQ(LoadRecord(h, OldStockRecord(6)), SerializeResult::Ok);
  EXPECT_EQ(StoreRecord(h), OldStockRecord(6));
}

// A position of fractions, or with a currency of its own, is stored in the exact form and reads back
// exactly; one of whole shares and cents keeps the old form, byte for byte, whatever it was read from.
TEST(StockRecord, TheExactFormHoldsFractionsAndTheCurrencyAndIsWrittenOnlyWhenNeeded) {
  VLStockHoldingItem h;
  ASSERT_EQ(LoadRecord(h, ExactStockRecord({})), SerializeResult::Ok);
  EXPECT_EQ(h.qty, SharesOf("1.6531"));
  EXPECT_EQ(h.buyPricePerShare, PriceOf("84.2637"));
  EXPECT_EQ(h.perShareBuyTarget, PriceOf("0.000001"));
  EXPECT_EQ(h.perShareStopLossTarget, kMaxStoredPrice);
  EXPECT_EQ(h.currency, "GBp");
  EXPECT_EQ(h.comment, "savings plan");
  EXPECT_EQ(h.GetVersion(), 7);
  EXPECT_EQ(StoreRecord(h), ExactStockRecord({}));

  // Each thing the old form cannot hold needs the new one on its own.
  VLStockHoldingItem whole;
  ASSERT_EQ(LoadRecord(whole, OldStockRecord(6)), SerializeResult::Ok);
  EXPECT_EQ(whole.GetVersion(), 6);
  for (auto change : std::vector<void (*)(VLStockHoldingItem&)>{
           [](VLStockHoldingItem& s) { s.qty += Quantity::FromUnits(1); },
           [](VLStockHoldingItem& s) { s.salePricePerShare += UnitPrice::FromUnits(1); },
           [](VLStockHoldingItem& s) { s.perShareSellTarget += UnitPrice::FromUnits(100); },
           [](VLStockHoldingItem& s) { s.currency = "USD"; }}) {
    VLStockHoldingItem changed = whole;
    change(changed);
    EXPECT_EQ(changed.GetVersion(), 7);
    VLStockHoldingItem back;
    ASSERT_EQ(LoadRecord(back, StoreRecord(changed)), SerializeResult::Ok);
    EXPECT_EQ(StoreRecord(back), StoreRecord(changed));
  }
  // Read from the exact form, a position that fits the old one is written in it again.
  ExactFields fits;
  fits.qty = Quantity::FromWhole(100).Units();
  fits.buyPrice = PriceOfCents(8150).Units();
  fits.targets[0] = PriceOfCents(7500).Units();
  fits.targets[2] = 0;
  fits.currency.clear();
  ASSERT_EQ(LoadRecord(h, ExactStockRecord(fits)), SerializeResult::Ok);
  EXPECT_EQ(h.GetVersion(), 6);
  EXPECT_EQ(LoadRecord(whole, StoreRecord(h)), SerializeResult::Ok);
  EXPECT_EQ(whole.qty, Shares(100));
}

// Values no record can hold are refused as a damaged record, never taken in.
TEST(StockRecord, TheExactFormRefusesValuesBeyondWhatARecordHolds) {
  const auto refused = [](void (*change)(ExactFields&)) {
    ExactFields f;
    change(f);
    VLStockHoldingItem h;
    return LoadRecord(h, ExactStockRecord(f));
  };
  EXPECT_EQ(refused([](ExactFields& f) { f.qty = kMaxStoredQuantity.Units() + 1; }), SerializeResult::Failed);
  EXPECT_EQ(refused([](ExactFields& f) { f.qty = -1; }), SerializeResult::Failed);
  EXPECT_EQ(refused([](ExactFields& f) { f.buyPrice = kMaxStoredPrice.Units() + 1; }),
            SerializeResult::Failed);
  EXPECT_EQ(refused([](ExactFields& f) { f.salePrice = -5; }), SerializeResult::Failed);
  EXPECT_EQ(refused([](ExactFields& f) { f.targets[1] = INT64_MIN; }), SerializeResult::Failed);
  EXPECT_EQ(refused([](ExactFields& f) { f.currency = "US$"; }), SerializeResult::Failed);
  EXPECT_EQ(refused([](ExactFields& f) { f.currency = "EURO"; }), SerializeResult::Failed);
  EXPECT_EQ(refused([](ExactFields& f) { f.qty = kMaxStoredQuantity.Units(); }), SerializeResult::Ok);
  EXPECT_EQ(refused([](ExactFields& f) { f.qty = 1; }), SerializeResult::Ok);
}

TEST(StockRecord, RefusesNewerVersionsAndOtherKeys) {
  VLStockHoldingItem h;
  EXPECT_EQ(LoadRecord(h, OldStockRecord(10)), SerializeResult::VersionTooNew);
  EXPECT_EQ(LoadRecord(h, OldStockRecord(6, "CH")), SerializeResult::TypeMismatch);
  // A record cut short is a stream error, which the database load turns into a failure.
  std::vector<uint8_t> cut = OldStockRecord(6);
  cut.resize(cut.size() - 5);
  EXPECT_THROW((void)LoadRecord(h, cut), ArchiveError);
}

TEST(StockRecord, QuoteIsNotPartOfTheRecordButCopiesCarryIt) {
  VLStockHoldingItem h;
  h.name = "IBM";
  h.quote.Edit().lastTrade = "97.10";
  h.qty = Shares(5);
  h.ownerPortfolioId = 3;
  VLStockHoldingItem loaded;
  ASSERT_EQ(LoadRecord(loaded, StoreRecord(h)), SerializeResult::Ok);
  EXPECT_EQ(loaded.quote->lastTrade, "");

  auto clone = h.Clone();
  auto* c = dynamic_cast<VLStockHoldingItem*>(clone.get());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->quote->lastTrade, "97.10");
  EXPECT_EQ(c->qty, Shares(5));
  EXPECT_EQ(c->ownerPortfolioId, 3u);

  // The holding-level copy takes the owner but not the stock fields.
  VLStockHoldingItem partial;
  ASSERT_TRUE(partial.CopyFrom(static_cast<const VLHoldingItem*>(&h)));
  EXPECT_EQ(partial.ownerPortfolioId, 3u);
  EXPECT_EQ(partial.qty, Shares(0));
  EXPECT_FALSE(h.CopyTo(static_cast<VLStockHoldingItem*>(nullptr)));
}

TEST(CashAndMarginRecords, RoundTripAndCheckTheirKeys) {
  VLCashHoldingItem cash;
  cash.id = 5;
  cash.name = "savings";
  cash.amount = 4294967295u;
  VLCashHoldingItem cashBack;
  ASSERT_EQ(LoadRecord(cashBack, StoreRecord(cash)), SerializeResult::Ok);
  EXPECT_EQ(cashBack.amount, 4294967295u);
  EXPECT_EQ(cashBack.name, "savings");

  VLMarginHoldingItem margin;
  margin.amountOwed = 250000;
  VLMarginHoldingItem marginBack;
  ASSERT_EQ(LoadRecord(marginBack, StoreRecord(margin)), SerializeResult::Ok);
  EXPECT_EQ(marginBack.amountOwed, 250000u);

  VLMarginHoldingItem wrong;
  EXPECT_EQ(LoadRecord(wrong, StoreRecord(cash)), SerializeResult::TypeMismatch);

  auto clone = margin.Clone();
  ASSERT_NE(dynamic_cast<VLMarginHoldingItem*>(clone.get()), nullptr);
  EXPECT_EQ(dynamic_cast<VLMarginHoldingItem*>(clone.get())->amountOwed, 250000u);
}

// A balance a statement set carries the statement's day in version 2; one without it keeps version 1, byte
// for byte, and a loaded day no position could carry is a damaged record.
TEST(CashAndMarginRecords, TheStatementDayNeedsVersion2AndOnlyThen) {
  VLCashHoldingItem cash;
  cash.id = 7;
  cash.name = "Cash, account 1";
  cash.amount = 9900;
  const std::vector<uint8_t> first = StoreRecord(cash);
  EXPECT_EQ(cash.GetVersion(), 1);
  EXPECT_FALSE(cash.NeedsLaterForm());

  cash.balanceDate = StoredDateOf(CalendarDate{2024, 3, 31});
  EXPECT_EQ(cash.GetVersion(), 2);
  EXPECT_TRUE(cash.NeedsLaterForm());
  const std::vector<uint8_t> dated = StoreRecord(cash);
  VLCashHoldingItem back;
  ASSERT_EQ(LoadRecord(back, dated), SerializeResult::Ok);
  EXPECT_EQ(std::make_tuple(back.amount, back.balanceDate), std::make_tuple(9900u, cash.balanceDate));
  auto clone = back.Clone();
  EXPECT_EQ(static_cast<VLCashHoldingItem&>(*clone).balanceDate, cash.balanceDate);

  // Loading the first form over a dated record clears the day it does not have.
  ASSERT_EQ(LoadRecord(back, first), SerializeResult::Ok);
  EXPECT_EQ(back.balanceDate, 0);
  EXPECT_EQ(StoreRecord(back), first);

  for (int64_t bad : {int64_t{-86400}, StoredDateOf(kLatestDate) + 86400, int64_t{0}}) {
    VLCashHoldingItem probe = cash;
    probe.balanceDate = bad;
    std::vector<uint8_t> bytes = StoreRecord(probe);
    if (bad == 0) {
      // Version 2 with a day of 0: the day is the record's last 8 bytes.
      bytes = dated;
      std::fill(bytes.end() - 8, bytes.end(), uint8_t{0});
    }
    VLCashHoldingItem loaded;
    EXPECT_EQ(LoadRecord(loaded, bytes), SerializeResult::Failed) << bad;
  }
}
