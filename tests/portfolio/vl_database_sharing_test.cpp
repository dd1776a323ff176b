// Several processes sharing one database file: no change is lost, a long-lived reader sees the others'
// changes, symbolic links and leftovers of interrupted saves are handled.
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>

#include "framework/file_util.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "tests/support/null_window.h"
#include "vl_database_fixture.h"

using Log = std::vector<std::string>;

namespace {

// Another program with the same file open: its own database object and connection.
struct OtherProcess {
  explicit OtherProcess(const std::string& path) : db(path) {
    db.SetQuoteSource(std::make_unique<ScriptedQuoteSource>());
    conn = db.Connect(window, 1, 2, 3);
  }
  uint32_t AddCash(uint32_t portfolioId, uint32_t amount) {
    uint32_t id = 0;
    return db.AddCashPosition(conn, portfolioId, amount, "other", id) == VLResult::Ok ? id : 0;
  }
  VLDatabase db;
  std::shared_ptr<NullWindow> window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = nullptr;
};

}  // namespace

TEST_F(DatabaseTest, AChangeMadeWhileAnotherProcessHoldsTheStoreInMemoryIsKept) {
  const uint32_t p = AddPortfolio("P");
  OtherProcess other(path);
  ASSERT_NE(other.conn, nullptr);
  ASSERT_NE(other.AddCash(p, 100), 0u);
  ASSERT_NE(other.AddCash(p, 200), 0u);

  // This process still has the store without them; its own change reads the file first.
  const uint32_t mine = AddStock(p, "MSFT");
  EXPECT_EQ(mine, 3u);  // the id counter came from the file too
  EXPECT_EQ(db->GetPositionCount(), 3);
  Reopen();
  EXPECT_EQ(db->GetPositionCount(), 3);
}

TEST_F(DatabaseTest, ChangesMadeDuringASlowRefreshSurviveIt) {
  const uint32_t p = AddPortfolio("P");
  AddStock(p, "IBM");
  OtherProcess other(path);
  ASSERT_NE(other.conn, nullptr);
  int added = 0;
  quoteSource->duringRequest = [&] {
    // While the quotes are on their way, another program adds three positions.
    for (int i = 0; i < 3; ++i) added += other.AddCash(p, 100 + i) != 0 ? 1 : 0;
  };
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  EXPECT_EQ(added, 3);

  Reopen();
  EXPECT_EQ(db->GetPositionCount(), 4);
  VLHoldingItemList held;
  ASSERT_EQ(db->GetPositions(conn, p, true, held), VLResult::Ok);
  ASSERT_EQ(held.GetCount(), 4);
  const auto* stock = static_cast<const VLStockHoldingItem*>(held.GetAt(0));
  EXPECT_EQ(stock->quote->lastTrade, "13.25");  // and the refresh's quote was stored as well
}

TEST_F(DatabaseTest, ALongLivedReaderReloadsAndTellsItsWindowsWhatChanged) {
  const uint32_t kept = AddPortfolio("Kept");
  const uint32_t gone = AddPortfolio("Gone");
  EXPECT_EQ(db->ReloadIfChanged(), VLResult::Ok);
  log.entries.clear();
  EXPECT_EQ(db->ReloadIfChanged(), VLResult::Ok);
  EXPECT_TRUE(log.entries.empty());  // nothing changed, nothing said

  OtherProcess other(path);
  ASSERT_NE(other.conn, nullptr);
  VLPortfolioItem added;
  added.name = "New";
  ASSERT_EQ(other.db.AddPortfolio(other.conn, added), VLResult::Ok);
  ASSERT_EQ(other.db.DeletePortfolio(other.conn, gone), VLResult::Ok);
  ASSERT_NE(other.AddCash(kept, 100), 0u);

  EXPECT_EQ(db->ReloadIfChanged(), VLResult::Ok);
  EXPECT_EQ(log.entries, (Log{"cmd 32825", "event 2 2 0", "event 0 3 0", "event 1 1 0", "event 6 0 0"}));
  EXPECT_EQ(db->GetPortfolioCount(), 2);
  EXPECT_EQ(db->GetPositionCount(), 1);
  log.entries.clear();
  EXPECT_EQ(db->ReloadIfChanged(), VLResult::Ok);
  EXPECT_TRUE(log.entries.empty());

  // A file that cannot be read leaves the store in memory as it was.
  { std::ofstream(path, std::ios::binary | std::ios::trunc) << "not a database"; }
  EXPECT_EQ(db->ReloadIfChanged(), VLResult::Failed);
  EXPECT_TRUE(log.entries.empty());
  EXPECT_EQ(db->GetPortfolioCount(), 2);
  EXPECT_EQ(db->GetPositionCount(), 1);
}

TEST_F(DatabaseTest, ASymbolicLinkKeepsPointingAtTheSavedStore) {
  const std::filesystem::path real = std::filesystem::path(folder.Path()) / "real";
  std::filesystem::create_directory(real);
  const std::filesystem::path target = real / "Store.db";
  ASSERT_EQ(VLDatabase(target.string()).Create(), DbResult::Ok);
  const std::filesystem::path link = std::filesystem::path(folder.File("Linked.db"));
  std::filesystem::create_symlink(target, link);

  path = link.string();
  Reopen();
  AddPortfolio("Through the link");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_regular_file(target));

  path = target.string();
  Reopen();
  EXPECT_EQ(db->GetPortfolioCount(), 1);
}

TEST_F(DatabaseTest, OpeningRemovesOnlyTheLeftoversOfInterruptedSaves) {
  const std::vector<std::string> leftovers = {"Vellumar.db.a1B2c3", "Vellumar.db.ZZZZZZ"};
  const std::vector<std::string> others = {"Vellumar.db.a1B2c", "Vellumar.db.a1B2c34", "Vellumar.db.a1-2c3",
                                           "Other.db.a1B2c3",   "Vellumar.db",         "Vellumar.dbXa1B2c3"};
  for (const std::string& name : leftovers) std::ofstream(folder.File(name)) << "half a store";
  for (const std::string& name : others) {
    if (!std::filesystem::exists(folder.File(name))) std::ofstream(folder.File(name)) << "keep";
  }
  Reopen();
  for (const std::string& name : leftovers) EXPECT_FALSE(std::filesystem::exists(folder.File(name))) << name;
  for (const std::string& name : others) EXPECT_TRUE(std::filesystem::exists(folder.File(name))) << name;
}

// Writers in separate processes, each opening the file for every change as the command-line tool does,
// and one that keeps it open as the application does.
TEST_F(DatabaseTest, ConcurrentWritersInSeveralProcessesLoseNothing) {
  const uint32_t p = AddPortfolio("P");
  constexpr int kWriters = 4;
  constexpr int kChanges = 50;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int failed = 0;
      if (w == 0) {
        OtherProcess app(path);
        for (int i = 0; i < kChanges; ++i)
          failed += app.AddCash(p, static_cast<uint32_t>(w * 1000 + i)) ? 0 : 1;
      } else {
        for (int i = 0; i < kChanges; ++i) {
          OtherProcess cli(path);
          failed += cli.conn && cli.AddCash(p, static_cast<uint32_t>(w * 1000 + i)) ? 0 : 1;
        }
      }
      ::_exit(failed > 100 ? 100 : failed);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "changes that failed";
  }
  Reopen();
  VLHoldingItemList held;
  ASSERT_EQ(db->GetPositions(conn, p, true, held), VLResult::Ok);
  ASSERT_EQ(held.GetCount(), kWriters * kChanges);
  std::set<uint32_t> ids, amounts;
  for (const auto& item : held) {
    ids.insert(item->id);
    amounts.insert(static_cast<const VLCashHoldingItem*>(item.get())->amount);
  }
  EXPECT_EQ(ids.size(), static_cast<size_t>(kWriters * kChanges));
  EXPECT_EQ(*ids.rbegin(), static_cast<uint32_t>(kWriters * kChanges));
  std::set<uint32_t> expected;
  for (int w = 0; w < kWriters; ++w) {
    for (int i = 0; i < kChanges; ++i) expected.insert(static_cast<uint32_t>(w * 1000 + i));
  }
  EXPECT_EQ(amounts, expected);
}
