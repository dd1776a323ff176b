// Positions of fractions of a share and of a cent: the file version they need and only while they are there,
// their figures, a partial sale, and the limits a record keeps.
#include <gtest/gtest.h>

#include <fstream>

#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "tests/portfolio/vl_database_fixture.h"
#include "tests/support/exact_values.h"

namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The version the database header of the file at `path` says: the 32-bit number after "VLDB".
int HeaderVersion(const std::string& path) {
  const std::string bytes = FileBytes(path);
  return bytes.size() < 9 ? -1 : static_cast<unsigned char>(bytes[5]);
}

VLStockHoldingItem Fractional() {
  VLStockHoldingItem f;
  f.name = "VWRL";
  f.qty = SharesOf("1.6531");
  f.buyPricePerShare = PriceOf("84.2637");
  f.buyCommission = 995;
  f.perShareSellTarget = PriceOf("99.999999");
  f.comment = "savings plan";
  return f;
}

VLStockHoldingItem Whole() {
  VLStockHoldingItem f = Fractional();
  f.qty = Shares(2);
  f.buyPricePerShare = Cents(8426);
  f.perShareSellTarget = Cents(10000);
  return f;
}

class FractionalHoldings : public DatabaseTest {
 protected:
  std::unique_ptr<VLStockHoldingItem> Stored(uint32_t id) {
    std::unique_ptr<VLHoldingItem> position;
    EXPECT_EQ(db->GetPosition(conn, id, position), VLResult::Ok);
    return std::unique_ptr<VLStockHoldingItem>(static_cast<VLStockHoldingItem*>(position.release()));
  }
  std::string Cell(const VLHoldingItem& h, int column) {
    std::string text;
    h.GetColumnText(column, text);
    return text;
  }
  ScopedNumberFormat english{NumberFormat::English()};
};

}  // namespace

// A store of whole shares in cents keeps the first version; one fractional position makes the file the later
// version and reads back exactly; once no position needs it, the file is the first version again, byte for
// byte what a store that never held a fraction writes.
TEST_F(FractionalHoldings, TheFileIsOfTheLaterVersionOnlyWhileAPositionNeedsIt) {
  const uint32_t p = AddPortfolio("Plan");
  AddStock(p, "IBM", 10, 15000);
  EXPECT_EQ(HeaderVersion(path), 1);
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, p, Fractional(), id), VLResult::Ok);
  EXPECT_EQ(HeaderVersion(path), 2);
  Reopen();
  const auto back = Stored(id);
  EXPECT_EQ(back->qty, SharesOf("1.6531"));
  EXPECT_EQ(back->buyPricePerShare, PriceOf("84.2637"));
  EXPECT_EQ(back->perShareSellTarget, PriceOf("99.999999"));
  EXPECT_EQ(back->comment, "savings plan");

  ASSERT_EQ(db->ModifyStockPosition(conn, id, Whole()), VLResult::Ok);
  EXPECT_EQ(HeaderVersion(path), 1);
  const std::string afterChange = FileBytes(path);

  // The same changes with whole values from the start, in a second file.
  const std::string otherPath = folder.File("Other.db");
  {
    VLDatabase other(otherPath);
    ASSERT_EQ(other.Create(), DbResult::Ok);
    auto quiet = std::make_shared<RecordingWindow>(log);
    VLDatabaseConn* c = other.Connect(quiet, 1, 2, 3);
    ASSERT_NE(c, nullptr);
    VLPortfolioItem portfolio;
    portfolio.name = "Plan";
    ASSERT_EQ(other.AddPortfolio(c, portfolio), VLResult::Ok);
    VLStockHoldingItem ibm;
    ibm.name = "IBM";
    ibm.qty = Shares(10);
    ibm.buyPricePerShare = Cents(15000);
    uint32_t ignored = 0;
    ASSERT_EQ(other.AddStockPosition(c, portfolio.id, ibm, ignored), VLResult::Ok);
    ASSERT_EQ(other.AddStockPosition(c, portfolio.id, Whole(), ignored), VLResult::Ok);
  }
  EXPECT_EQ(FileBytes(otherPath), afterChange);

  ASSERT_EQ(db->ModifyStockPosition(conn, id, Fractional()), VLResult::Ok);
  EXPECT_EQ(HeaderVersion(path), 2);
  ASSERT_EQ(db->DeletePosition(conn, id), VLResult::Ok);
  EXPECT_EQ(HeaderVersion(path), 1);
  // An undo that puts the fraction back, in a program that has only seen whole shares, writes it so again.
  Reopen();
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(HeaderVersion(path), 2);
  EXPECT_EQ(Stored(id)->qty, SharesOf("1.6531"));
}

// Selling part of a fractional position: the two parts hold the shares exactly, and the purchase commission
// is shared in cents, the parts adding up to what was paid.
TEST_F(FractionalHoldings, APartialSaleSplitsTheSharesAndTheCommissionExactly) {
  const uint32_t p = AddPortfolio("Plan");
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, p, Fractional(), id), VLResult::Ok);
  uint32_t rest = 0;
  ASSERT_EQ(db->SellPosition(conn, id, SharesOf("0.65310001"), PriceOf("90.000001"), 150, 0, rest),
            VLResult::Ok);
  ASSERT_NE(rest, 0u);
  const auto sold = Stored(id);
  const auto kept = Stored(rest);
  EXPECT_EQ(sold->qty, SharesOf("0.65310001"));
  EXPECT_EQ(kept->qty, SharesOf("0.99999999"));
  EXPECT_EQ(sold->qty + kept->qty, SharesOf("1.6531"));
  // 995 x 0.65310001 / 1.6531 = 393.09...: the sold part 393 cents, the rest 602.
  EXPECT_EQ(sold->buyCommission, 393u);
  EXPECT_EQ(kept->buyCommission, 602u);
  EXPECT_EQ(sold->salePricePerShare, PriceOf("90.000001"));
  // Sale value: 0.65310001 x 90.000001 = 58.779001... - 1.50 = 57.28
  EXPECT_EQ(sold->GetSaleValue().ToCents(), 5728);
  // The last unit of a share sells too, and nothing is left of it.
  ASSERT_EQ(db->SellPosition(conn, rest, SharesOf("0.99999999"), Cents(100), 0, 0, id), VLResult::Ok);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(db->SellPosition(conn, rest, Quantity::FromUnits(1), Cents(100), 0, 0, id),
            VLResult::AlreadySold);
}

// Cells show shares with the decimals they have and prices with 2 to 6; every figure is the exact product
// rounded once to the cent; whole shares look as they always did.
TEST_F(FractionalHoldings, FiguresAndCellsCarryTheFullPrecision) {
  const uint32_t p = AddPortfolio("Plan");
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, p, Fractional(), id), VLResult::Ok);
  AddStock(p, "IBMX", 1234, 8426);
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);  // VWRL trades at 14.25, IBMX at 14.25
  VLHoldingItemList held;
  ASSERT_EQ(db->GetPositions(conn, p, true, held), VLResult::Ok);
  ASSERT_EQ(held.GetCount(), 2);
  const auto& f = static_cast<const VLHoldingItem&>(*held.GetAt(0));
  EXPECT_EQ(Cell(f, kColQty), "1.6531");
  EXPECT_EQ(Cell(f, kColBuyPrice), "84.2637");
  EXPECT_EQ(Cell(f, kColSellTgt), "99.999999");
  EXPECT_EQ(Cell(f, kColCurrValue), "23.56");   // 1.6531 x 14.25 = 23.556675
  EXPECT_EQ(Cell(f, kColTotalPaid), "149.25");  // 1.6531 x 84.2637 = 139.29632... + 9.95
  EXPECT_EQ(Cell(f, kColGain), "-125.69");
  EXPECT_EQ(Cell(f, kColPriceChg), "-70.0137");  // the trade to the price's own places
  EXPECT_EQ(Cell(f, kColSellDist), "-85.749999");
  const auto& w = static_cast<const VLHoldingItem&>(*held.GetAt(1));
  EXPECT_EQ(Cell(w, kColQty), "1,234");
  EXPECT_EQ(Cell(w, kColBuyPrice), "84.26");
  EXPECT_EQ(Cell(w, kColPriceChg), "-70.01");
  EXPECT_EQ(Cell(w, kColCurrValue), "17,584.50");
  EXPECT_LT(f.GetColumnValue(kColQty), w.GetColumnValue(kColQty));
}

// The limits: the smallest share and price a record keeps, the largest entered position, and nothing beyond
// what a record holds gets into the store.
TEST_F(FractionalHoldings, TheLimitsOfARecordAreKeptExactly) {
  const uint32_t p = AddPortfolio("Plan");
  VLStockHoldingItem tiny;
  tiny.name = "DUST";
  tiny.qty = Quantity::FromUnits(1);
  tiny.buyPricePerShare = UnitPrice::FromUnits(1);
  tiny.buyCommission = 1;
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, p, tiny, id), VLResult::Ok);
  Reopen();
  EXPECT_EQ(Stored(id)->qty.Units(), 1);
  EXPECT_EQ(Stored(id)->buyPricePerShare.Units(), 1);
  EXPECT_EQ(Stored(id)->GetTotalPaid().ToCents(), 1);  // 1e-14 rounds to nothing; the commission stays

  VLStockHoldingItem large;
  large.name = "BIG";
  large.qty = SharesOf("999999.99999999");
  large.buyPricePerShare = kMaxStoredPrice;
  ASSERT_EQ(db->AddStockPosition(conn, p, large, id), VLResult::Ok);
  // 999,999.99999999 x 42,949,672.95 = 42,949,672,949,999.5705... -> to the cent, half away from zero.
  EXPECT_EQ(Stored(id)->GetTotalPaid().ToCents(), 4294967294999957);

  for (auto beyond : std::vector<void (*)(VLStockHoldingItem&)>{
           [](VLStockHoldingItem& s) { s.qty = kMaxStoredQuantity + Quantity::FromUnits(1); },
           [](VLStockHoldingItem& s) { s.buyPricePerShare = kMaxStoredPrice + UnitPrice::FromUnits(1); },
           [](VLStockHoldingItem& s) { s.perShareStopLossTarget = UnitPrice::FromUnits(-1); },
           [](VLStockHoldingItem& s) { s.currency = "EURO"; }}) {
    VLStockHoldingItem fields = Whole();
    beyond(fields);
    const std::string before = FileBytes(path);
    EXPECT_EQ(db->AddStockPosition(conn, p, fields, id), VLResult::Failed);
    EXPECT_EQ(db->ModifyStockPosition(conn, id, fields), VLResult::Failed);
    EXPECT_EQ(FileBytes(path), before);
  }
}
