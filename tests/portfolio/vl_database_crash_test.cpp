// A process killed at any moment of a change leaves a database that loads, holding the old or the new store,
// and a journal that opens, with an undo that is either exact or refused.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <iostream>
#include <random>

#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "tests/support/null_window.h"
#include "tests/support/temp_folder.h"

namespace {

// A new store at `path` with the one portfolio the children add to.
void CreateStore(const std::string& path) {
  VLDatabase db(path);
  ASSERT_EQ(db.Create(), DbResult::Ok);
  auto window = std::make_shared<NullWindow>();  // the connection holds it weakly
  VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
  ASSERT_NE(conn, nullptr);
  VLPortfolioItem p;
  p.name = "P";
  ASSERT_EQ(db.AddPortfolio(conn, p), VLResult::Ok);
}

// Adds cash positions one after the other, each with a comment of `padding` bytes so that its save and its
// journal entry take a while to write, and reports each finished change with one byte on `done`.
[[noreturn]] void ChangeForever(const std::string& path, size_t padding, int done) {
  VLDatabase db(path);
  auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
  if (!conn) ::_exit(3);
  const std::string comment(padding, 'x');
  for (;;) {
    uint32_t id = 0;
    if (db.AddCashPosition(conn, 1, 100, comment, id) != VLResult::Ok) ::_exit(4);
    const char changed = 1;
    if (::write(done, &changed, 1) != 1) ::_exit(5);
  }
}

// Lets a child changing the store finish at least one change, then kills it at a random moment of the ones
// that follow, however slow the machine.
void KillAChangingChild(const std::string& path, size_t padding, std::mt19937& random) {
  int done[2];
  ASSERT_EQ(::pipe(done), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(done[0]);
    ChangeForever(path, padding, done[1]);
  }
  ::close(done[1]);
  char changed = 0;
  const bool oneFinished = ::read(done[0], &changed, 1) == 1;
  ::usleep(random() % 20000);
  ::kill(child, SIGKILL);
  ::close(done[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(oneFinished);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself with " << WEXITSTATUS(status);
}

std::vector<uint32_t> PositionIds(VLDatabase& db) {
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  db.CopyAll(quotes, portfolios, positions);
  std::vector<uint32_t> ids;
  for (const auto& p : positions) ids.push_back(p->id);
  return ids;
}

}  // namespace

TEST(DatabaseCrash, KilledSavesLeaveALoadableOldOrNewStore) {
  const TempFolder folder("vl_crash");
  const std::string path = folder.File("Vellumar.db");
  ASSERT_NO_FATAL_FAILURE(CreateStore(path));
  std::mt19937 random(12345);
  size_t lastCount = 0;
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE(round);
    ASSERT_NO_FATAL_FAILURE(KillAChangingChild(path, 2000, random));
    VLDatabase db(path);
    auto window = std::make_shared<NullWindow>();
    VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
    ASSERT_NE(conn, nullptr) << "load code " << db.GetLastOpenCode();
    // Every completed save added exactly one position, with the next id: the store is whole.
    const std::vector<uint32_t> ids = PositionIds(db);
    EXPECT_GT(ids.size(), lastCount);  // the save reported in this round is in the file
    for (size_t i = 0; i < ids.size(); ++i) ASSERT_EQ(ids[i], static_cast<uint32_t>(i + 1));
    lastCount = ids.size();
  }
  EXPECT_GT(lastCount, 0u);
}

TEST(JournalCrash, AKilledChangeLeavesFilesThatOpenAndAnUndoThatIsExactOrRefused) {
  const TempFolder folder("vl_journal_crash");
  const std::string path = folder.File("Vellumar.db");
  ASSERT_NO_FATAL_FAILURE(CreateStore(path));
  std::mt19937 random(2468);
  int exact = 0;
  int refused = 0;
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE(round);
    ASSERT_NO_FATAL_FAILURE(KillAChangingChild(path, 20000, random));
    VLDatabase db(path);
    auto window = std::make_shared<NullWindow>();
    VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
    ASSERT_NE(conn, nullptr) << "load code " << db.GetLastOpenCode();
    std::vector<VLJournalListing> list;
    VLJournalState state;
    ASSERT_EQ(db.GetChanges(conn, 0, list, state), VLResult::Ok);
    std::vector<uint32_t> ids = PositionIds(db);
    const std::string store = ReadText(path);
    VLJournalStep step;
    const VLResult code = db.Undo(conn, step);
    if (code == VLResult::Ok) {
      // Exactly the newest position went, nothing else changed.
      ids.pop_back();
      EXPECT_EQ(PositionIds(db), ids);
      ++exact;
    } else {
      EXPECT_EQ(code, VLResult::JournalMismatch);
      EXPECT_EQ(ReadText(path), store);
      ++refused;
    }
  }
  std::cout << "undo exact " << exact << " times, refused " << refused << " times\n";
}
