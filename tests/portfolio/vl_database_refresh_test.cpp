#include "portfolio/database/vl_database.h"

#include <thread>

#include "portfolio/records/vl_stock_info_item.h"
#include "tests/support/exact_values.h"
#include "vl_database_fixture.h"

using Log = std::vector<std::string>;

namespace {

std::string Symbol(int i) {
  return "S" + std::to_string(i);
}

}  // namespace

TEST_F(DatabaseTest, ARefreshOf450QuotesMakesThreeRequests) {
  const uint32_t p = AddPortfolio("P");
  for (int i = 0; i < 450; ++i) AddStock(p, Symbol(i));
  ASSERT_EQ(db->SetMarket(conn, 3), VLResult::Ok);
  log.entries.clear();
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  EXPECT_EQ(quoteSource->batchSizes, (std::vector<size_t>{200, 200, 50}));
  EXPECT_EQ(log.entries, (Log{"cmd 32836", "event 6 0 0"}));

  std::string text;
  ASSERT_EQ(db->GetMarketTime(conn, text), VLResult::Ok);
  EXPECT_EQ(text, "4:00PM ET m3");
  ASSERT_EQ(db->GetMarketStatus(conn, text), VLResult::Ok);
  EXPECT_EQ(text, "closed");

  Reopen();  // the refreshed quotes were saved
  VLHoldingItemList held;
  ASSERT_EQ(db->GetPositions(conn, p, true, held), VLResult::Ok);
  auto* last = static_cast<VLStockHoldingItem*>(held.GetAt(449));
  EXPECT_EQ(last->quote->name, "S449 Inc");
  EXPECT_EQ(last->quote->lastTrade, "14.25");
}

TEST_F(DatabaseTest, PositionsShareTheirQuoteAndKeepTheFiguresTheyWereGiven) {
  const uint32_t p = AddPortfolio("P");
  AddStock(p, "MSFT");
  AddStock(p, "MSFT");
  AddStock(p, "IBM");
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  const auto stock = [](const ItemList& list, int i) {
    return static_cast<VLStockHoldingItem*>(list.GetAt(i));
  };
  VLHoldingItemList before;
  ASSERT_EQ(db->GetPositions(conn, p, true, before), VLResult::Ok);
  // One record for the two MSFT positions, its own for IBM; a clone shares it too.
  EXPECT_TRUE(stock(before, 0)->quote.SharesWith(stock(before, 1)->quote));
  EXPECT_FALSE(stock(before, 0)->quote.SharesWith(stock(before, 2)->quote));
  const std::unique_ptr<Item> clone = stock(before, 0)->Clone();
  EXPECT_TRUE(static_cast<VLStockHoldingItem&>(*clone).quote.SharesWith(stock(before, 0)->quote));

  // Changing a position's quote changes only that position's.
  stock(before, 1)->quote.Edit().lastTrade = "99.00";
  EXPECT_EQ(stock(before, 0)->quote->lastTrade, "14.25");

  // A refresh gives what is handed out next the new figures; what a window holds keeps its own.
  quoteSource->cents = "75";
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  VLHoldingItemList after;
  ASSERT_EQ(db->GetPositions(conn, p, true, after), VLResult::Ok);
  EXPECT_EQ(stock(after, 0)->quote->lastTrade, "14.75");
  EXPECT_TRUE(stock(after, 0)->quote.SharesWith(stock(after, 1)->quote));
  EXPECT_EQ(stock(before, 0)->quote->lastTrade, "14.25");
  EXPECT_EQ(static_cast<VLStockHoldingItem&>(*clone).quote->lastTrade, "14.25");
}

// A position just added asks for its own quote only, and leaves the market time alone.
TEST_F(DatabaseTest, ARefreshOfSomeSymbolsAsksForThoseAlone) {
  const uint32_t p = AddPortfolio("P");
  for (int i = 0; i < 3; ++i) AddStock(p, Symbol(i));
  log.entries.clear();
  ASSERT_EQ(db->UpdateQuotesOf(conn, {"S1", "NOTHELD"}), VLResult::Ok);
  EXPECT_EQ(quoteSource->batchSizes, (std::vector<size_t>{1}));
  EXPECT_EQ(log.entries, (Log{"cmd 32836", "event 6 0 0"}));
  std::string time;
  ASSERT_EQ(db->GetMarketTime(conn, time), VLResult::Ok);
  EXPECT_EQ(time, "");
  VLHoldingItemList held;
  ASSERT_EQ(db->GetPositions(conn, p, true, held), VLResult::Ok);
  EXPECT_EQ(static_cast<VLStockHoldingItem*>(held.GetAt(0))->quote->name, "");
  EXPECT_EQ(static_cast<VLStockHoldingItem*>(held.GetAt(1))->quote->name, "S1 Inc");

  // No cached quote among them: nothing is asked and nothing is announced.
  log.entries.clear();
  ASSERT_EQ(db->UpdateQuotesOf(conn, {"NOTHELD"}), VLResult::Ok);
  EXPECT_EQ(quoteSource->batchSizes.size(), 1u);
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(DatabaseTest, AFailingBatchStopsTheRefreshAndSavesNothing) {
  const uint32_t p = AddPortfolio("P");
  for (int i = 0; i < 250; ++i) AddStock(p, Symbol(i));
  quoteSource->failRequest = 1;
  quoteSource->marketOk = false;
  log.entries.clear();
  EXPECT_EQ(db->UpdateQuotes(conn), VLResult::Failed);
  EXPECT_EQ(quoteSource->batchSizes, (std::vector<size_t>{200, 50}));
  EXPECT_TRUE(log.entries.empty());

  // Not even the first batch's figures were taken, in memory or in the file.
  VLHoldingItemList held;
  ASSERT_EQ(db->GetPositions(conn, p, true, held), VLResult::Ok);
  EXPECT_EQ(static_cast<VLStockHoldingItem*>(held.GetAt(0))->quote->name, "");
  Reopen();
  ASSERT_EQ(db->GetPositions(conn, p, true, held), VLResult::Ok);
  EXPECT_EQ(static_cast<VLStockHoldingItem*>(held.GetAt(0))->quote->name, "");
}

TEST_F(DatabaseTest, ARefreshPastItsDeadlineFailsAndSavesNothing) {
  const uint32_t p = AddPortfolio("P");
  for (int i = 0; i < 201; ++i) AddStock(p, Symbol(i));
  db->SetRefreshDeadline(50);
  quoteSource->duringRequest = [] { std::this_thread::sleep_for(std::chrono::milliseconds(60)); };
  log.entries.clear();
  EXPECT_EQ(db->UpdateQuotes(conn), VLResult::Failed);
  EXPECT_EQ(quoteSource->batchSizes, std::vector<size_t>{200});  // the second batch was never asked for
  EXPECT_EQ(db->GetLastRefreshError(), "The quote refresh did not finish within 1 s");
  EXPECT_TRUE(log.entries.empty());
  Reopen();
  VLHoldingItemList held;
  ASSERT_EQ(db->GetPositions(conn, p, true, held), VLResult::Ok);
  EXPECT_EQ(static_cast<VLStockHoldingItem*>(held.GetAt(0))->quote->lastTrade, "");
}

TEST_F(DatabaseTest, NothingChangesWhileARefreshRuns) {
  const uint32_t p = AddPortfolio("P");
  const uint32_t id = AddStock(p, "MSFT");
  std::vector<VLResult> codes;
  bool listed = false;  // reading still works
  quoteSource->duringRequest = [&] {
    // What a window could try while the refresh pumps messages.
    VLPortfolioItem q;
    q.name = "Q";
    uint32_t newId = 0, cash = 0;
    codes.push_back(db->AddPortfolio(conn, q));
    codes.push_back(db->DeletePosition(conn, id));
    codes.push_back(db->DeletePortfolio(conn, p));
    codes.push_back(db->SellPosition(conn, id, Shares(1), Cents(100), 0, 0, newId));
    codes.push_back(db->AddCashPosition(conn, p, 1, "c", cash));
    codes.push_back(db->SetMarket(conn, 2));
    codes.push_back(db->UpdateQuotes(conn));
    VLHoldingItemList list;
    listed = db->GetPositions(conn, p, true, list) == VLResult::Ok && list.GetCount() == 1;
  };
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  EXPECT_EQ(codes, std::vector<VLResult>(7, VLResult::Failed));
  EXPECT_TRUE(listed);
  EXPECT_EQ(db->GetPositionCount(), 1);
  EXPECT_EQ(db->GetPortfolioCount(), 1);
  EXPECT_EQ(quoteSource->batchSizes.size(), 1u);  // the nested refresh asked nothing

  // Afterwards changes work again.
  quoteSource->duringRequest = nullptr;
  EXPECT_EQ(db->DeletePosition(conn, id), VLResult::Ok);
}

TEST_F(DatabaseTest, SetMarketKeepsOnlyKnownMarkets) {
  int32_t market = -1;
  ASSERT_EQ(db->SetMarket(conn, 12), VLResult::Ok);
  ASSERT_EQ(db->GetMarket(conn, market), VLResult::Ok);
  EXPECT_EQ(market, 12);
  ASSERT_EQ(db->SetMarket(conn, 13), VLResult::Ok);
  ASSERT_EQ(db->GetMarket(conn, market), VLResult::Ok);
  EXPECT_EQ(market, 0);
}
