// The database record of the three position kinds, every stock record version included.
#include <gtest/gtest.h>

#include <vector>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
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
  EXPECT_EQ(h.qty, 100u);
  EXPECT_EQ(h.buyPricePerShare, 8150u);
  EXPECT_EQ(h.perShareBuyTarget, 7500u);
  EXPECT_TRUE(h.marginable);
  EXPECT_EQ(h.mgnEquity, 50);
  EXPECT_EQ(h.mgnThreshold, 500u);
  EXPECT_EQ(h.buyCommission, v >= 6 ? 995u : 0u);
  EXPECT_EQ(h.salePricePerShare, v >= 6 ? 9020u : 0u);
  EXPECT_EQ(h.saleCommission, v >= 6 ? 1095u : 0u);
  EXPECT_EQ(h.saleDate, v >= 6 ? 1200000000 : 0);
  EXPECT_EQ(h.perShareSellTarget, v >= 5 ? 9500u : 0u);
  EXPECT_EQ(h.perShareStopLossTarget, v >= 5 ? 7000u : 0u);
  EXPECT_EQ(h.purchaseDate, v >= 2 ? 1100000000 : 0);
  EXPECT_EQ(h.comment, v >= 4 ? "core holding" : "");
}

INSTANTIATE_TEST_SUITE_P(Versions1To6, StockRecordVersion, ::testing::Range(1, 7));

TEST(StockRecord, StoresVersion6InTheLayoutOldProgramsRead) {
  VLStockHoldingItem h;
  ASSERT_EQ(LoadRecord(h, OldStockRecord(6)), SerializeResult::Ok);
  EXPECT_EQ(StoreRecord(h), OldStockRecord(6));
}

TEST(StockRecord, RefusesNewerVersionsAndOtherKeys) {
  VLStockHoldingItem h;
  EXPECT_EQ(LoadRecord(h, OldStockRecord(7)), SerializeResult::VersionTooNew);
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
  h.qty = 5;
  h.ownerPortfolioId = 3;
  VLStockHoldingItem loaded;
  ASSERT_EQ(LoadRecord(loaded, StoreRecord(h)), SerializeResult::Ok);
  EXPECT_EQ(loaded.quote->lastTrade, "");

  auto clone = h.Clone();
  auto* c = dynamic_cast<VLStockHoldingItem*>(clone.get());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->quote->lastTrade, "97.10");
  EXPECT_EQ(c->qty, 5u);
  EXPECT_EQ(c->ownerPortfolioId, 3u);

  // The holding-level copy takes the owner but not the stock fields.
  VLStockHoldingItem partial;
  ASSERT_TRUE(partial.CopyFrom(static_cast<const VLHoldingItem*>(&h)));
  EXPECT_EQ(partial.ownerPortfolioId, 3u);
  EXPECT_EQ(partial.qty, 0u);
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
