// A process killed at any moment of a save leaves a database that loads, holding the old or the new store.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "tests/support/temp_folder.h"

namespace {

class NullWindow : public IVLCommandWindow {
 public:
  void PostCommand(uint32_t) override {}
};

// Adds cash positions one by one, each with a comment long enough to make every save take a while, and
// reports each finished save with one byte on `done`.
[[noreturn]] void SaveForever(const std::string& path, int done) {
  VLDatabase db(path);
  auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
  if (!conn) ::_exit(3);
  VLPortfolioItemList portfolios;
  if (db.GetPortfolios(conn, portfolios) != kVLOk) ::_exit(3);
  const uint32_t portfolioId = portfolios.GetAt(0)->id;
  const std::string padding(2000, 'x');
  for (;;) {
    uint32_t id = 0;
    if (db.AddCashPosition(conn, portfolioId, 100, padding, id) != kVLOk) ::_exit(4);
    const char saved = 1;
    if (::write(done, &saved, 1) != 1) ::_exit(5);
  }
}

}  // namespace

TEST(DatabaseCrash, KilledSavesLeaveALoadableOldOrNewStore) {
  const TempFolder folder("vl_crash");
  const std::string path = folder.File("Vellumar.db");
  {
    VLDatabase db(path);
    ASSERT_EQ(db.Create(), kDbOk);
    auto window = std::make_shared<NullWindow>();
    VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
    ASSERT_NE(conn, nullptr);
    VLPortfolioItem p;
    p.name = "P";
    ASSERT_EQ(db.AddPortfolio(conn, p), kVLOk);
  }

  std::mt19937 random(12345);
  int lastCount = 0;
  for (int round = 0; round < 25; ++round) {
    int done[2];
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(done[0]);
      SaveForever(path, done[1]);
    }
    ::close(done[1]);
    // Each round lets at least one save finish, then kills at a random moment of the ones that follow,
    // however slow the machine.
    char saved = 0;
    const bool oneFinished = ::read(done[0], &saved, 1) == 1;
    ::usleep(random() % 20000);
    ::kill(child, SIGKILL);
    ::close(done[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(oneFinished);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself with " << WEXITSTATUS(status);

    VLDatabase db(path);
    auto window = std::make_shared<NullWindow>();
    VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
    ASSERT_NE(conn, nullptr) << "round " << round << " load code " << db.GetLastOpenCode();
    // Every completed save added exactly one position, with the next id: the store is whole.
    const int count = db.GetPositionCount();
    EXPECT_GT(count, lastCount);  // the save reported in this round is in the file
    VLStockInfoItemList quotes;
    VLPortfolioItemList portfolios;
    VLHoldingItemList positions;
    db.CopyAll(quotes, portfolios, positions);
    for (int i = 0; i < count; ++i) ASSERT_EQ(positions.GetAt(i)->id, static_cast<uint32_t>(i + 1));
    lastCount = count;
  }
  EXPECT_GT(lastCount, 0);
}
