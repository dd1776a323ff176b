#include "portfolio/database/vl_database.h"

#include "framework/file_util.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "tests/support/exact_values.h"
#include "vl_database_fixture.h"

using Log = std::vector<std::string>;

TEST_F(DatabaseTest, PortfolioNamesClashWithoutRegardToCase) {
  const uint32_t growth = AddPortfolio("growth");
  VLPortfolioItem clash;
  clash.name = "Growth";
  EXPECT_EQ(db->AddPortfolio(conn, clash), VLResult::NameClash);

  VLPortfolioItem renamed;
  ASSERT_EQ(db->GetPortfolio(conn, growth, renamed), VLResult::Ok);
  renamed.name = "GROWTH";  // its own name in other letters
  EXPECT_EQ(db->ModifyPortfolio(conn, renamed), VLResult::Ok);

  AddPortfolio("Income");
  renamed.name = "income";
  EXPECT_EQ(db->ModifyPortfolio(conn, renamed), VLResult::NameClash);
  renamed.id = 99;
  renamed.name = "Other";
  EXPECT_EQ(db->ModifyPortfolio(conn, renamed), VLResult::NotFound);
  EXPECT_EQ(db->GetPortfolio(conn, 99, renamed), VLResult::NotFound);
}

TEST_F(DatabaseTest, PortfoliosComeBackOrderedByteByByte) {
  AddPortfolio("beta");
  AddPortfolio("Alpha");
  VLPortfolioItem second;
  second.name = "alpha";
  EXPECT_EQ(db->AddPortfolio(conn, second), VLResult::NameClash);
  AddPortfolio("Zeta");
  AddPortfolio("gamma");
  VLPortfolioItemList list;
  ASSERT_EQ(db->GetPortfolios(conn, list), VLResult::Ok);
  std::vector<std::string> names;
  for (const auto& p : list) names.push_back(p->name);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Zeta", "beta", "gamma"}));
}

TEST_F(DatabaseTest, AddedPortfolioGetsIdAndCreationTime) {
  VLPortfolioItem p;
  p.name = "Main";
  p.comment = "long term";
  ASSERT_EQ(db->AddPortfolio(conn, p), VLResult::Ok);
  EXPECT_EQ(p.id, 1u);
  VLPortfolioItem stored;
  ASSERT_EQ(db->GetPortfolio(conn, 1, stored), VLResult::Ok);
  EXPECT_EQ(stored.comment, "long term");
  EXPECT_EQ(stored.created, 1700000000);
  EXPECT_EQ(log.entries, (Log{"cmd 32825", "event 0 1 0"}));
}

TEST_F(DatabaseTest, IdsAreNeverReusedAndSurviveReopening) {
  const uint32_t p = AddPortfolio("P");
  uint32_t last = 0;
  for (int i = 0; i < 7; ++i) last = AddStock(p, "MSFT");
  EXPECT_EQ(last, 7u);
  ASSERT_EQ(db->DeletePosition(conn, 7), VLResult::Ok);
  Reopen();
  EXPECT_EQ(AddStock(p, "IBM"), 8u);
  const uint32_t p2 = AddPortfolio("Q");
  EXPECT_EQ(p2, 2u);
  ASSERT_EQ(db->DeletePortfolio(conn, p2), VLResult::Ok);
  Reopen();
  EXPECT_EQ(AddPortfolio("R"), 3u);
}

TEST_F(DatabaseTest, AStoreSurvivesReopeningWithSymbolsReboundToTheirQuotes) {
  const uint32_t p = AddPortfolio("P");
  const uint32_t stock = AddStock(p, "msft", 10, 2500);
  uint32_t cash = 0;
  ASSERT_EQ(db->AddCashPosition(conn, p, 12345, "broker", cash), VLResult::Ok);
  Reopen();
  EXPECT_EQ(db->GetQuoteCount(), 1);
  std::unique_ptr<VLHoldingItem> loaded;
  ASSERT_EQ(db->GetPosition(conn, stock, loaded), VLResult::Ok);
  auto* s = static_cast<VLStockHoldingItem*>(loaded.get());
  EXPECT_EQ(s->name, "MSFT");
  EXPECT_EQ(s->quote->symbol, "MSFT");
  EXPECT_EQ(s->qty, Shares(10));
  EXPECT_EQ(s->buyPricePerShare, Cents(2500));
  ASSERT_EQ(db->GetPosition(conn, cash, loaded), VLResult::Ok);
  EXPECT_EQ(static_cast<VLCashHoldingItem*>(loaded.get())->amount, 12345u);
  EXPECT_EQ(loaded->name, "broker");
  EXPECT_EQ(db->GetPosition(conn, 0, loaded), VLResult::NotFound);
}

TEST_F(DatabaseTest, ConnectingHandsBackTheSameConnectionAndRefusesNull) {
  EXPECT_EQ(db->Connect(window, 1, 2, 3), conn);
  EXPECT_EQ(db->Connect(nullptr, 1, 2, 3), nullptr);
  auto other = std::make_shared<RecordingWindow>(log);
  VLDatabaseConn* second = db->Connect(other, 1, 2, 3);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, conn);
  EXPECT_EQ(db->Disconnect(second), VLResult::Ok);
  EXPECT_EQ(db->Disconnect(second), VLResult::NotFound);
  VLPortfolioItem p;
  p.name = "x";
  EXPECT_EQ(db->AddPortfolio(second, p), VLResult::Failed);  // unknown connection
}

TEST_F(DatabaseTest, FirstConnectionFailsOnACorruptFile) {
  db.reset();
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("\x04VLDB\x01\x00\x00\x00garbage", f);
    std::fclose(f);
  }
  VLDatabase broken(path);
  EXPECT_EQ(broken.Connect(window, 1, 2, 3), nullptr);
  EXPECT_EQ(broken.GetLastOpenCode(), DbResult::Failed);
  VLDatabase missing(folder.File("none.db"));
  EXPECT_EQ(missing.Connect(window, 1, 2, 3), nullptr);
  EXPECT_EQ(missing.GetLastOpenCode(), DbResult::Missing);
}

TEST_F(DatabaseTest, ADestroyedWindowIsSkippedAndListenersHearAfterTheCommand) {
  auto doomed = std::make_shared<RecordingWindow>(log);
  ASSERT_NE(db->Connect(doomed, 11, 12, 13), nullptr);
  doomed.reset();  // gone without disconnecting
  RecordingListener second(log);
  db->AddListener(&second);
  db->AddListener(&second);  // no duplicates
  AddPortfolio("P");
  EXPECT_EQ(log.entries, (Log{"cmd 32825", "event 0 1 0", "event 0 1 0"}));
  db->RemoveListener(&second);
  log.entries.clear();
  AddPortfolio("Q");
  EXPECT_EQ(log.entries, (Log{"cmd 32825", "event 0 2 0"}));
}

TEST_F(DatabaseTest, AChangeToADeletedFileFailsAndChangesNothing) {
  const uint32_t p = AddPortfolio("P");
  log.entries.clear();
  std::filesystem::remove(path);  // someone deleted the file
  uint32_t id = 0;
  EXPECT_EQ(db->AddCashPosition(conn, p, 500, "cash", id), VLResult::Failed);
  EXPECT_TRUE(log.entries.empty());
  EXPECT_EQ(db->GetPositionCount(), 0);
  EXPECT_FALSE(std::filesystem::exists(path));  // nothing made up in its place
}

TEST_F(DatabaseTest, DeletingAPortfolioTakesItsPositionsAndUnusedQuotes) {
  const uint32_t a = AddPortfolio("A");
  const uint32_t b = AddPortfolio("B");
  AddStock(a, "MSFT");
  AddStock(a, "IBM");
  AddStock(b, "IBM");
  EXPECT_EQ(db->GetQuoteCount(), 2);
  log.entries.clear();
  ASSERT_EQ(db->DeletePortfolio(conn, a), VLResult::Ok);
  EXPECT_EQ(log.entries, (Log{"cmd 32825", "event 2 1 0"}));
  EXPECT_EQ(db->GetPositionCount(), 1);
  EXPECT_EQ(db->GetQuoteCount(), 1);
  VLHoldingItemList list;
  EXPECT_EQ(db->GetPositions(conn, a, true, list), VLResult::NotFound);
  EXPECT_EQ(db->DeletePortfolio(conn, a), VLResult::NotFound);
}

TEST_F(DatabaseTest, EveryChangeWaitsABoundedTimeForAnotherProgramsLockThenChangesNothing) {
  const uint32_t p = AddPortfolio("P");
  const uint32_t stock = AddStock(p, "MSFT");
  db->SetLockWait(50);
  log.entries.clear();
  {
    FileHandle holder;  // another program holds the file's lock
    ASSERT_EQ(OpenExistingFile(path, kOpenReadWriteExclusive, holder), FileOpenResult::Opened);
    uint32_t id = 0, newId = 0;
    VLPortfolioItem q;
    q.name = "Q";
    EXPECT_EQ(db->AddPortfolio(conn, q), VLResult::Busy);
    EXPECT_EQ(db->AddCashPosition(conn, p, 100, "c", id), VLResult::Busy);
    EXPECT_EQ(db->SellPosition(conn, stock, Shares(10), Cents(2000), 0, 0, newId), VLResult::Busy);
    EXPECT_EQ(db->UpdateQuotes(conn), VLResult::Busy);
    EXPECT_EQ(db->ReloadIfChanged(), VLResult::Ok);  // nothing changed: no lock needed
    EXPECT_FALSE(db->IsModified());
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(db->GetPortfolioCount(), 1);
    EXPECT_EQ(db->GetPositionCount(), 1);
  }
  // Once the lock is free, changes go through and reach the file.
  uint32_t id = 0;
  ASSERT_EQ(db->AddMarginPosition(conn, p, 5, "m", id), VLResult::Ok);
  Reopen();
  EXPECT_EQ(db->GetPortfolioCount(), 1);
  EXPECT_EQ(db->GetPositionCount(), 2);
}
