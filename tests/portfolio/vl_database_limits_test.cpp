// Stores the database cannot take: one whose file has no id left for a new record, one too large for the
// memory available (refused before reading, and when memory really runs out while reading), and a file
// with repeated ids, whose copies keep the first record of each id.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>

#include "framework/memory_budget.h"
#include "portfolio/exchange/import_plan.h"
#include "portfolio/exchange/import_problem.h"
#include "portfolio/records/vl_stock_info_item_list.h"
#include "tests/support/exact_values.h"
#include "tests/support/hand_bytes.h"
#include "tests/support/sample_store.h"
#include "vl_database_fixture.h"

namespace {

constexpr uint32_t kMax = std::numeric_limits<uint32_t>::max();

// The three id counters sit after "VLDB", the version, the market and two empty texts.
constexpr std::streamoff kCountersAt = 5 + 4 + 4 + 1 + 1;

class DatabaseLimitsTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    portfolio = AddPortfolio("P");
    stock = AddStock(portfolio, "IBM");
  }
  // Sets the last ids of the file (quotes, portfolios, positions) and reads it again.
  void SetLastIds(uint32_t quote, uint32_t portfolioId, uint32_t position) {
    db.reset();
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekg(kCountersAt);
    uint32_t now[3] = {};
    file.read(reinterpret_cast<char*>(now), sizeof now);
    ASSERT_EQ(now[0], 1u);  // the layout is what this test expects: one quote, one portfolio, one position
    ASSERT_EQ(now[1], 1u);
    ASSERT_EQ(now[2], 1u);
    const uint32_t last[3] = {quote, portfolioId, position};
    file.seekp(kCountersAt);
    file.write(reinterpret_cast<const char*>(last), sizeof last);
    file.close();
    Reopen();
  }
  uint32_t portfolio = 0, stock = 0;
};

}  // namespace

TEST_F(DatabaseLimitsTest, ChangesThatNeedAnIdTheFileCannotHoldAreRefusedAndChangeNothing) {
  struct Case {
    const char* what;
    uint32_t lastQuote, lastPortfolio, lastPosition;
    VLResult expected;
    std::function<VLResult()> run;
  };
  const auto addCash = [this] {
    uint32_t id = 0;
    return db->AddCashPosition(conn, portfolio, 100, "cash", id);
  };
  const auto addStock = [this](const char* symbol) {
    return [this, symbol] {
      VLStockHoldingItem fields;
      fields.name = symbol;
      fields.qty = Shares(5);
      uint32_t id = 0;
      return db->AddStockPosition(conn, portfolio, fields, id);
    };
  };
  const auto sell = [this](uint32_t qty) {
    return [this, qty] {
      uint32_t rest = 0;
      return db->SellPosition(conn, stock, Shares(qty), Cents(1200), 0, 0, rest);
    };
  };
  const std::vector<Case> cases = {
      {"portfolio", 1, kMax, 1, VLResult::StoreFull,
       [this] {
         VLPortfolioItem p;
         p.name = "Q";
         return db->AddPortfolio(conn, p);
       }},
      {"cash", 1, 1, kMax, VLResult::StoreFull, addCash},
      {"the last id itself", 1, 1, kMax - 1, VLResult::Ok, addCash},
      {"stock of a cached symbol", 1, 1, kMax, VLResult::StoreFull, addStock("IBM")},
      {"stock of a new symbol", kMax, 1, 1, VLResult::StoreFull, addStock("MSFT")},
      {"stock of a cached symbol, no quote id left", kMax, 1, 1, VLResult::Ok, addStock("ibm")},
      {"a sale that leaves a remainder", 1, 1, kMax, VLResult::StoreFull, sell(40)},
      {"a sale of every share", 1, 1, kMax, VLResult::Ok, sell(100)},
      {"copy", 1, 1, kMax, VLResult::StoreFull, [this] { return db->CopyPosition(conn, stock, portfolio); }},
      {"a new symbol for a position", kMax, 1, 1, VLResult::StoreFull,
       [this] {
         VLStockHoldingItem fields;
         fields.qty = Shares(7);
         return db->ModifyStockPosition(conn, stock, fields, "MSFT");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    db.reset();  // a fresh store for each case
    std::filesystem::remove(path);
    SetUp();
    SetLastIds(c.lastQuote, c.lastPortfolio, c.lastPosition);
    const std::string before = ReadText(path);
    log.entries.clear();
    EXPECT_EQ(c.run(), c.expected);
    if (c.expected == VLResult::Ok) continue;
    EXPECT_EQ(ReadText(path), before);
    EXPECT_TRUE(log.entries.empty());
    // Nothing changed in memory either: the position keeps its quantity and symbol.
    std::unique_ptr<VLHoldingItem> position;
    ASSERT_EQ(db->GetPosition(conn, stock, position), VLResult::Ok);
    EXPECT_EQ(static_cast<VLStockHoldingItem&>(*position).qty, Shares(100));
    EXPECT_EQ(position->name, "IBM");
    EXPECT_EQ(db->GetPositionCount(), 1);
  }
}

TEST(DatabaseMemory, AStoreTooLargeForTheMemoryIsRefusedBeforeItIsRead) {
  TempFolder folder;
  const std::string path = folder.File("Vellumar.db");
  ASSERT_TRUE(WriteSampleStore(path, 2, 1000, 50));
  const auto size = std::filesystem::file_size(path);
  for (const auto& [available, expected] : {std::pair{size * kMemoryPerStoredByte - 1, DbResult::TooLarge},
                                            std::pair{size * kMemoryPerStoredByte, DbResult::Ok}}) {
    SetAvailableMemoryForTesting(available);
    VLDatabase db(path);
    EXPECT_EQ(db.Open(), expected) << available;
    EXPECT_EQ(db.IsLoaded(), expected == DbResult::Ok);
    EXPECT_EQ(db.GetPositionCount(), expected == DbResult::Ok ? 1000 : 0);
  }
  SetAvailableMemoryForTesting(0);
}

#if !defined(__SANITIZE_ADDRESS__)
// The estimate passed, but the memory really runs out while reading: the load answers "too large" and the
// program goes on. Run in a child process whose address space is capped just above what it uses now.
TEST(DatabaseMemory, RunningOutOfMemoryWhileReadingIsRefusedNotACrash) {
  TempFolder folder;
  const std::string path = folder.File("Vellumar.db");
  ASSERT_TRUE(WriteSampleStore(path, 1, 200000, 2000));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    statm >> pages;
    const uint64_t used = pages * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
    const struct rlimit cap { used + (16u << 20), used + (16u << 20) };
    if (::setrlimit(RLIMIT_AS, &cap) != 0) ::_exit(100);
    SetAvailableMemoryForTesting(uint64_t{1} << 40);  // the estimate lets it through
    VLDatabase db(path);
    const DbResult code = db.Open();
    ::_exit(code == DbResult::TooLarge ? 0 : 10 + static_cast<int>(code));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

TEST(DatabaseCopyAll, OfRepeatedIdsKeepsTheFirstRecordOfEach) {
  // Hand-built: one portfolio (id 1), then cash positions with ids 5, 7, 5, 0, 0 named after their place.
  HandBytes b;
  b.Key("VLDB", 1).U32(0).Scrambled("").Scrambled("").U32(0).U32(1).U32(7);
  b.Key("SIIList", 1).U32(0);
  b.Key("PIList", 1).U32(1);
  b.Str("P").Key("P", 1).Key("P", 1).U32(1).U32(0).Scrambled("P").Scrambled("").Time(0).Time(0);
  const std::vector<std::pair<uint32_t, const char*>> cash = {
      {5, "a"}, {7, "b"}, {5, "c"}, {0, "d"}, {0, "e"}};
  b.Key("HIList", 1).U32(static_cast<uint32_t>(cash.size()));
  for (const auto& [id, name] : cash) {
    b.Str("CH").Key("CH", 1).Key("CH", 1).Key("CH", 1).U32(id).U32(0).Scrambled(name).U32(1).U32(100);
  }
  TempFolder folder;
  const std::string path = folder.File("Vellumar.db");
  WriteText(path, std::string(b.bytes.begin(), b.bytes.end()));
  VLDatabase db(path);
  ASSERT_EQ(db.Open(), DbResult::Ok);
  EXPECT_EQ(db.GetPositionCount(), 5);  // loaded as the file holds them
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  db.CopyAll(quotes, portfolios, positions);
  std::string names;
  for (const auto& item : positions) names += item->name;
  EXPECT_EQ(names, "abde");
}

// The two changes that take ids in bulk: an import counts the ids it needs before it adds anything, and an
// undo that brings back a position of a symbol no longer cached needs a quote id.
TEST_F(DatabaseLimitsTest, AnImportOrAnUndoThatNeedsAnIdTheFileCannotHoldIsRefusedAndChangesNothing) {
  SetLastIds(1, 1, kMax);
  ImportPlan plan;
  for (const char* symbol : {"MSFT", "IBM"}) {
    ImportStep& step = plan.steps.emplace_back();
    step.kind = ImportStepKind::Add;
    step.line = static_cast<int>(plan.steps.size()) + 1;
    step.portfolio = plan.PortfolioIndex("P");
    auto stockFields = std::make_unique<VLStockHoldingItem>();
    stockFields->name = symbol;
    stockFields->qty = Shares(3);
    step.holding = std::move(stockFields);
  }
  std::string before = ReadText(path);
  ImportOutcome outcome;
  std::vector<ImportProblem> problems;
  EXPECT_EQ(db->ImportPositions(conn, plan, outcome, problems), VLResult::StoreFull);
  EXPECT_EQ(ReadText(path), before);
  EXPECT_EQ(db->GetPositionCount(), 1);

  const std::string journal = db->GetJournalPath();
  db.reset();
  std::filesystem::remove(path);
  std::filesystem::remove(journal);
  SetUp();
  ASSERT_EQ(db->DeletePosition(conn, stock), VLResult::Ok);  // IBM's quote goes with its last position
  SetLastIds(kMax, 1, 1);
  before = ReadText(path);
  VLJournalStep step;
  EXPECT_EQ(db->Undo(conn, step), VLResult::StoreFull);
  EXPECT_EQ(ReadText(path), before);
  EXPECT_EQ(db->GetPositionCount(), 0);
}
