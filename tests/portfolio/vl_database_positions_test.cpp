#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "tests/support/exact_values.h"
#include "vl_database_fixture.h"

using Log = std::vector<std::string>;

namespace {

VLStockHoldingItem* Stock(std::unique_ptr<VLHoldingItem>& h) {
  return static_cast<VLStockHoldingItem*>(h.get());
}

}  // namespace

TEST_F(DatabaseTest, AddStockValidatesItsFields) {
  const uint32_t p = AddPortfolio("P");
  VLStockHoldingItem fields;
  uint32_t id = 0;
  fields.name = "";
  EXPECT_EQ(db->AddStockPosition(conn, p, fields, id), VLResult::Failed);
  fields.name = "MSFT";
  EXPECT_EQ(db->AddStockPosition(conn, 0, fields, id), VLResult::Failed);
  EXPECT_EQ(db->AddStockPosition(conn, 42, fields, id), VLResult::NotFound);
  fields.mgnEquity = 101;
  EXPECT_EQ(db->AddStockPosition(conn, p, fields, id), VLResult::Failed);
  fields.mgnEquity = 50;
  fields.purchaseDate = 1600000000;
  fields.saleDate = 1500000000;  // sold before it was bought
  EXPECT_EQ(db->AddStockPosition(conn, p, fields, id), VLResult::Failed);
  fields.saleDate = 0;
  EXPECT_EQ(db->AddStockPosition(conn, p, fields, id), VLResult::Ok);
  EXPECT_EQ(db->GetPositionCount(), 1);
}

TEST_F(DatabaseTest, PositionsShareOneQuotePerSymbolInAnyLetterCase) {
  const uint32_t p = AddPortfolio("P");
  const uint32_t a = AddStock(p, "ibm");
  const uint32_t b = AddStock(p, "IBM");
  EXPECT_EQ(db->GetQuoteCount(), 1);
  ASSERT_EQ(db->CopyPosition(conn, a, p), VLResult::Ok);
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  db->CopyAll(quotes, portfolios, positions);
  ASSERT_EQ(quotes.GetCount(), 1);
  auto* quote = static_cast<VLStockInfoItem*>(quotes.GetAt(0));
  EXPECT_EQ(quote->name, "IBM");
  EXPECT_EQ(quote->refCount, 3u);  // two adds and a copy

  ASSERT_EQ(db->DeletePosition(conn, a), VLResult::Ok);
  EXPECT_EQ(db->GetQuoteCount(), 1);  // still used by b and the copy
  ASSERT_EQ(db->DeletePosition(conn, b), VLResult::Ok);
  ASSERT_EQ(db->DeletePosition(conn, 3), VLResult::Ok);
  EXPECT_EQ(db->GetQuoteCount(), 0);
  Reopen();
  EXPECT_EQ(db->GetQuoteCount(), 0);  // gone from the file too
}

TEST_F(DatabaseTest, HeldAndSoldViewsSplitStockPositions) {
  const uint32_t p = AddPortfolio("P");
  const uint32_t held = AddStock(p, "MSFT");
  const uint32_t sold = AddStock(p, "IBM");
  uint32_t cash = 0, margin = 0, newId = 0;
  ASSERT_EQ(db->AddCashPosition(conn, p, 100, "c", cash), VLResult::Ok);
  ASSERT_EQ(db->AddMarginPosition(conn, p, 200, "m", margin), VLResult::Ok);
  ASSERT_EQ(db->SellPosition(conn, sold, Shares(100), Cents(1500), 0, 0, newId), VLResult::Ok);
  EXPECT_EQ(newId, 0u);

  VLHoldingItemList list;
  ASSERT_EQ(db->GetPositions(conn, p, true, list), VLResult::Ok);
  std::vector<uint32_t> ids;
  for (const auto& h : list) ids.push_back(h->id);
  EXPECT_EQ(ids, (std::vector<uint32_t>{held, cash, margin}));
  ASSERT_EQ(db->GetPositions(conn, p, false, list), VLResult::Ok);
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetAt(0)->id, sold);
}

TEST_F(DatabaseTest, SellingPartOfAPositionSplitsIt) {
  const uint32_t p = AddPortfolio("P");
  VLStockHoldingItem fields;
  fields.name = "MSFT";
  fields.qty = Shares(100);
  fields.buyPricePerShare = Cents(1000);
  fields.buyCommission = 999;
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, p, fields, id), VLResult::Ok);
  log.entries.clear();
  uint32_t newId = 0;
  EXPECT_EQ(db->SellPosition(conn, id, Shares(101), Cents(1200), 0, 0, newId), VLResult::Failed);
  ASSERT_EQ(db->SellPosition(conn, id, Shares(40), Cents(1200), 995, 1700000000, newId), VLResult::Ok);
  EXPECT_EQ(newId, 2u);
  EXPECT_EQ(log.entries, (Log{"cmd 32835", "event 4 1 1", "event 3 1 2"}));

  std::unique_ptr<VLHoldingItem> h;
  ASSERT_EQ(db->GetPosition(conn, id, h), VLResult::Ok);
  EXPECT_TRUE(Stock(h)->IsSold());
  EXPECT_EQ(Stock(h)->qty, Shares(40));
  EXPECT_EQ(Stock(h)->saleCommission, 995u);
  ASSERT_EQ(db->GetPosition(conn, newId, h), VLResult::Ok);
  EXPECT_FALSE(Stock(h)->IsSold());
  EXPECT_EQ(Stock(h)->qty, Shares(60));
  EXPECT_EQ(Stock(h)->buyPricePerShare, Cents(1000));
  EXPECT_EQ(Stock(h)->buyCommission, 599u);  // 999 split 40:60, so nothing is counted twice
  std::unique_ptr<VLHoldingItem> soldPart;
  ASSERT_EQ(db->GetPosition(conn, id, soldPart), VLResult::Ok);
  EXPECT_EQ(Stock(soldPart)->buyCommission, 400u);

  const uint32_t remainder = newId;
  EXPECT_EQ(db->SellPosition(conn, id, Shares(10), Cents(1200), 0, 0, newId), VLResult::AlreadySold);
  EXPECT_EQ(db->UnsellPosition(conn, remainder), VLResult::NotSold);
  ASSERT_EQ(db->UnsellPosition(conn, id), VLResult::Ok);
  ASSERT_EQ(db->GetPosition(conn, id, h), VLResult::Ok);
  EXPECT_FALSE(Stock(h)->IsSold());
  EXPECT_EQ(Stock(h)->saleDate, 0);
}

TEST_F(DatabaseTest, SaleRefusals) {
  const uint32_t p = AddPortfolio("P");
  VLStockHoldingItem fields;
  fields.name = "MSFT";
  fields.qty = Shares(10);
  fields.purchaseDate = 1600000000;
  uint32_t id = 0, newId = 0, cash = 0;
  ASSERT_EQ(db->AddStockPosition(conn, p, fields, id), VLResult::Ok);
  ASSERT_EQ(db->AddCashPosition(conn, p, 1, "c", cash), VLResult::Ok);
  EXPECT_EQ(db->SellPosition(conn, 77, Shares(1), Cents(100), 0, 0, newId), VLResult::NotFound);
  EXPECT_EQ(db->SellPosition(conn, cash, Shares(1), Cents(100), 0, 0, newId), VLResult::Failed);
  EXPECT_EQ(db->SellPosition(conn, id, Shares(5), Cents(100), 0, 1500000000, newId),
            VLResult::Failed);  // before the purchase
  EXPECT_EQ(db->SellPosition(conn, id, Shares(0), Cents(100), 0, 0, newId), VLResult::Failed);  // no shares
  EXPECT_EQ(db->SellPosition(conn, id, Shares(5), Cents(0), 0, 0, newId), VLResult::Failed);    // no price
  EXPECT_EQ(db->UnsellPosition(conn, cash), VLResult::Failed);
  EXPECT_EQ(db->GetPositionCount(), 2);
}

TEST_F(DatabaseTest, CopyAndMoveTellBothPortfolios) {
  const uint32_t a = AddPortfolio("A");
  const uint32_t b = AddPortfolio("B");
  const uint32_t id = AddStock(a, "MSFT");
  log.entries.clear();
  ASSERT_EQ(db->CopyPosition(conn, id, b), VLResult::Ok);
  EXPECT_EQ(log.entries, (Log{"cmd 32835", "event 3 2 1"}));  // names the source position
  log.entries.clear();
  ASSERT_EQ(db->MovePosition(conn, id, b), VLResult::Ok);
  EXPECT_EQ(log.entries, (Log{"cmd 32835", "event 5 1 1", "event 3 2 1"}));
  log.entries.clear();
  EXPECT_EQ(db->MovePosition(conn, id, b), VLResult::Ok);
  EXPECT_TRUE(log.entries.empty());
  EXPECT_EQ(db->MovePosition(conn, id, 9), VLResult::NotFound);
  EXPECT_EQ(db->CopyPosition(conn, 99, a), VLResult::NotFound);

  VLPortfolioItem target;
  ASSERT_EQ(db->GetPortfolio(conn, b, target), VLResult::Ok);
  EXPECT_EQ(target.modified, 1700000000);
}

TEST_F(DatabaseTest, ModifyingPositionsChecksTheirKind) {
  const uint32_t a = AddPortfolio("A");
  const uint32_t b = AddPortfolio("B");
  const uint32_t stock = AddStock(a, "MSFT");
  uint32_t cash = 0, margin = 0;
  ASSERT_EQ(db->AddCashPosition(conn, a, 100, "c", cash), VLResult::Ok);
  ASSERT_EQ(db->AddMarginPosition(conn, a, 200, "m", margin), VLResult::Ok);

  EXPECT_EQ(db->ModifyCashPosition(conn, stock, a, 5, "x"), VLResult::Failed);
  EXPECT_EQ(db->ModifyCashPosition(conn, cash, 77, 5, "x"), VLResult::NotFound);
  log.entries.clear();
  ASSERT_EQ(db->ModifyCashPosition(conn, cash, b, 555, "moved cash"), VLResult::Ok);
  EXPECT_EQ(log.entries, (Log{"cmd 32835", "event 4 2 2"}));
  EXPECT_EQ(db->ModifyMarginPosition(conn, cash, a, 5, "x"), VLResult::Failed);
  log.entries.clear();
  ASSERT_EQ(db->ModifyMarginPosition(conn, margin, a, 999, "loan"), VLResult::Ok);
  EXPECT_EQ(log.entries, (Log{"cmd 32835", "event 3 1 3"}));

  VLStockHoldingItem fields;
  fields.qty = Shares(5);
  EXPECT_EQ(db->ModifyStockPosition(conn, cash, fields), VLResult::Failed);
  EXPECT_EQ(db->ModifyStockPosition(conn, 99, fields), VLResult::NotFound);
  ASSERT_EQ(db->ModifyStockPosition(conn, stock, fields, "aapl"), VLResult::Ok);
  std::unique_ptr<VLHoldingItem> h;
  ASSERT_EQ(db->GetPosition(conn, stock, h), VLResult::Ok);
  EXPECT_EQ(h->name, "AAPL");
  EXPECT_EQ(Stock(h)->qty, Shares(5));
  EXPECT_EQ(db->GetQuoteCount(), 1);  // MSFT no longer used by anything
}
