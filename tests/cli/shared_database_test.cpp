// Several vellumar-cli processes changing one database file at once, as a user's shell loops and a quote
// refresh in the background do: every command that reports success has its change in the file afterwards.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "marketdata/text_helpers.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/marketdata/test_server.h"
#include "tests/support/null_window.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace {

// Starts the tool with its output thrown away; -1 when it could not be started.
pid_t SpawnCli(const std::vector<std::string>& words) {
  std::vector<std::string> argv = {VL_CLI_PROGRAM};
  argv.insert(argv.end(), words.begin(), words.end());
  std::vector<char*> pointers;
  for (std::string& word : argv) pointers.push_back(word.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, VL_CLI_PROGRAM, &actions, nullptr, pointers.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// The exit code of a started tool; -1 when it did not start or did not exit by itself.
int WaitForExit(pid_t pid) {
  if (pid <= 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunTool(const std::vector<std::string>& words) {
  return WaitForExit(SpawnCli(words));
}

// The held positions (cash amounts in cents) of the first portfolio as the file has them now, read by a
// database object of its own.
struct FileContents {
  explicit FileContents(const std::string& path) : db(path) {
    conn = db.Connect(window, 1, 2, 3);
    if (conn) opened = db.GetPositions(conn, 1, true, held) == VLResult::Ok;
  }
  std::multiset<uint32_t> CashAmounts() const {
    std::multiset<uint32_t> amounts;
    for (const auto& item : held) {
      if (const auto* cash = dynamic_cast<const VLCashHoldingItem*>(item.get())) amounts.insert(cash->amount);
    }
    return amounts;
  }
  VLDatabase db;
  std::shared_ptr<NullWindow> window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = nullptr;
  VLHoldingItemList held;
  bool opened = false;
};

class SharedDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunTool({"init", "--db", db}), 0);
    ASSERT_EQ(RunTool({"add-portfolio", "P", "--db", db}), 0);
  }

  // `loops` shell-like loops at once, each running `perLoop` add-cash commands one after the other; the
  // amount tells which loop and which turn added it. Returns the exit codes that were not 0.
  std::vector<int> RunWriterLoops(int loops, int perLoop, int firstLoop = 1) {
    std::vector<std::vector<int>> failures(static_cast<size_t>(loops));
    std::vector<std::thread> threads;
    for (int loop = 0; loop < loops; ++loop) {
      threads.emplace_back([&, loop] {
        for (int turn = 1; turn <= perLoop; ++turn) {
          const std::string amount = std::to_string((firstLoop + loop) * 1000 + turn);
          const int code = RunTool({"add-cash", "P", amount, "--comment", "loop", "--db", db});
          if (code != 0) failures[static_cast<size_t>(loop)].push_back(code);
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    std::vector<int> all;
    for (const auto& codes : failures) all.insert(all.end(), codes.begin(), codes.end());
    return all;
  }

  static std::multiset<uint32_t> LoopAmounts(int firstLoop, int loops, int perLoop) {
    std::multiset<uint32_t> amounts;
    for (int loop = firstLoop; loop < firstLoop + loops; ++loop) {
      for (int turn = 1; turn <= perLoop; ++turn)
        amounts.insert(static_cast<uint32_t>((loop * 1000 + turn) * 100));
    }
    return amounts;
  }

  TempFolder folder{"vl_shared"};
  std::string db = folder.File("Vellumar.db");
};

}  // namespace

TEST_F(SharedDatabase, WriterLoopsAtOnceLoseNoChange) {
  // Two loops of 100, then four loops of 100 more against the same file.
  EXPECT_EQ(RunWriterLoops(2, 100), std::vector<int>{}) << "exit codes of add-cash commands that failed";
  std::multiset<uint32_t> expected = LoopAmounts(1, 2, 100);
  {
    const FileContents file(db);
    ASSERT_TRUE(file.opened);
    EXPECT_EQ(file.held.GetCount(), 200);
    EXPECT_EQ(file.CashAmounts(), expected);
  }

  EXPECT_EQ(RunWriterLoops(4, 100, 3), std::vector<int>{}) << "exit codes of add-cash commands that failed";
  const std::multiset<uint32_t> more = LoopAmounts(3, 4, 100);
  expected.insert(more.begin(), more.end());
  const FileContents file(db);
  ASSERT_TRUE(file.opened);
  EXPECT_EQ(file.held.GetCount(), 600);
  EXPECT_EQ(file.CashAmounts(), expected);
}

TEST_F(SharedDatabase, FourLoopsAtOnceThenEveryChangeUndoneInOrder) {
  EXPECT_EQ(RunWriterLoops(4, 100), std::vector<int>{}) << "exit codes of add-cash commands that failed";
  FileContents file(db);
  ASSERT_TRUE(file.opened);
  ASSERT_EQ(file.held.GetCount(), 400);

  // Each entry of the journal is the change of the save before it: the positions it names come in the
  // order their ids were given.
  std::vector<VLJournalListing> list;
  VLJournalState state;
  ASSERT_EQ(file.db.GetChanges(file.conn, 0, list, state), VLResult::Ok);
  ASSERT_EQ(list.size(), 401u);  // the portfolio, then the positions
  uint32_t previous = 0;
  for (auto it = list.rbegin() + 1; it != list.rend(); ++it) {
    const std::string prefix = "Add cash position ";
    ASSERT_EQ(it->text.compare(0, prefix.size(), prefix), 0) << it->text;
    const auto id = static_cast<uint32_t>(std::stoul(it->text.substr(prefix.size())));
    EXPECT_GT(id, previous) << "entry " << it->sequence << ": " << it->text;
    previous = id;
  }

  // Every change undone, newest first: each undo takes back the entry listed next.
  for (size_t i = 0; i < 400; ++i) {
    VLJournalStep step;
    ASSERT_EQ(file.db.Undo(file.conn, step), VLResult::Ok) << "undo " << i + 1 << " of 400: " << step.text;
    EXPECT_EQ(step.text, list[i].text);
  }
  const FileContents undone(db);
  ASSERT_TRUE(undone.opened);
  EXPECT_EQ(undone.held.GetCount(), 0);
}

TEST_F(SharedDatabase, UndosRacingChangesAreNeverRefusedAsAMismatch) {
  // One loop adds while another undoes; the 40 changes made first keep the undos off the portfolio.
  ASSERT_EQ(RunWriterLoops(1, 40), std::vector<int>{});
  std::vector<int> undoCodes;
  std::thread undoer([&] {
    for (int i = 0; i < 40; ++i) undoCodes.push_back(RunTool({"undo", "--db", db}));
  });
  const std::vector<int> addFailures = RunWriterLoops(1, 40, 2);
  undoer.join();
  EXPECT_EQ(addFailures, std::vector<int>{});
  EXPECT_EQ(undoCodes, std::vector<int>(40, 0)) << "an undo was refused";
  // What is left can be undone to the end, the portfolio last.
  int more = 0;
  while (RunTool({"undo", "--db", db}) == 0) ++more;
  EXPECT_EQ(more, 81 - 40);
  VLDatabase check(db);
  const auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = check.Connect(window, 1, 2, 3);
  ASSERT_NE(conn, nullptr);
  VLPortfolioItemList portfolios;
  ASSERT_EQ(check.GetPortfolios(conn, portfolios), VLResult::Ok);
  EXPECT_EQ(portfolios.GetCount(), 0);
}

TEST_F(SharedDatabase, ChangesMadeWhileAnUpdateWaitsForQuotesSurviveIt) {
  ASSERT_EQ(RunTool({"add-stock", "P", "MSFT", "--qty", "10", "--price", "20", "--db", db}), 0);

  // The quote service answers only when the test lets it, after the other commands ran.
  TestServer server;
  std::atomic<bool> asked{false}, release{false};
  server.Routes().Get("/d/quotes.csv", [&](const httplib::Request&, httplib::Response& res) {
    asked = true;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!release && !server.Stopping() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    res.set_content(ReadFixture("quotes.csv"), "text/csv");
  });
  server.Routes().Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(ReplaceAll(ReadFixture("market_clock.html"), "[REGION]", "[main]"), "text/html");
  });
  ASSERT_TRUE(server.Start());

  const pid_t update = SpawnCli({"update", "--db", db, "--service", server.Host()});
  ASSERT_GT(update, 0);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!asked && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(asked) << "the update never asked for its quotes";
  std::vector<int> codes;
  for (const char* amount : {"101", "102", "103"}) {
    codes.push_back(RunTool({"add-cash", "P", amount, "--comment", "meanwhile", "--db", db}));
  }
  release = true;
  EXPECT_EQ(WaitForExit(update), 0);
  EXPECT_EQ(codes, (std::vector<int>{0, 0, 0}));

  const FileContents file(db);
  ASSERT_TRUE(file.opened);
  ASSERT_EQ(file.held.GetCount(), 4);
  EXPECT_EQ(file.CashAmounts(), (std::multiset<uint32_t>{10100, 10200, 10300}));
  // The update's quote is stored as well: the fixture names the company.
  const auto* stock = dynamic_cast<const VLStockHoldingItem*>(file.held.GetAt(0));
  ASSERT_NE(stock, nullptr);
  EXPECT_EQ(stock->name, "MSFT");
  EXPECT_EQ(stock->quote->name, "Microsoft Corp");
}
