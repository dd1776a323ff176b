// Undo and redo through the change journal: every change operation undoes to exactly the records before it
// and redoes to exactly the records after it, in this process, after a restart and from another process.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "portfolio/exchange/import_plan.h"
#include "portfolio/exchange/import_problem.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/null_window.h"
#include "tests/support/record_bytes.h"
#include "vl_database_fixture.h"

namespace {

// Another program on the same file: its own database object, which reads the file as it is now.
struct OtherProgram {
  explicit OtherProgram(const std::string& path) : db(path) {
    db.SetQuoteSource(std::make_unique<ScriptedQuoteSource>());
    conn = db.Connect(window, 1, 2, 3);
  }
  VLDatabase db;
  std::shared_ptr<NullWindow> window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = nullptr;
};

// Every portfolio and position as the file stores it, in store order, a stock position's quote id aside
// (a quote made anew has a new id) but its symbol in; and which symbols have a cached quote.
std::vector<std::string> Records(VLDatabase& db) {
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  VLManualPriceItemList prices;
  db.CopyAll(quotes, portfolios, positions, &prices);
  std::vector<std::string> out;
  auto stored = [&out](Item& item) {
    const std::vector<uint8_t> bytes = StoreRecord(item);
    out.emplace_back(bytes.begin(), bytes.end());
  };
  for (const auto& p : portfolios) stored(*p);
  for (const auto& item : positions) {
    if (auto* stock = dynamic_cast<VLStockHoldingItem*>(item.get())) {
      stock->quoteId = 0;
      out.push_back("symbol " + stock->name + " bound to " + stock->quote->symbol);
    }
    stored(*item);
  }
  for (const auto& p : prices) stored(*p);
  std::set<std::string> symbols;  // the cache's order is no record's business
  for (const auto& q : quotes) symbols.insert(q->name);
  for (const std::string& symbol : symbols) out.push_back("quote " + symbol);
  return out;
}

// The records every case starts from.
struct Ids {
  uint32_t retirement = 0, trading = 0, msft = 0, ibm = 0, cash = 0, margin = 0;
};

class JournalUndoTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    ids.retirement = retirement = AddPortfolio("Retirement");
    ids.trading = trading = AddPortfolio("Trading");
    ids.msft = msft = AddStock(retirement, "MSFT", 100, 25050);
    ids.ibm = ibm = AddStock(trading, "IBM", 10, 14000);
    ASSERT_EQ(db->AddCashPosition(conn, retirement, 250000, "Broker cash", cash), VLResult::Ok);
    ASSERT_EQ(db->AddMarginPosition(conn, retirement, 100000, "Margin loan", margin), VLResult::Ok);
    ids.cash = cash;
    ids.margin = margin;
    // Each change happens at a later moment, so a portfolio's modification time tells them apart.
    clock->SetNow(1700100000);
  }

  std::shared_ptr<FixedClock> clock = std::make_shared<FixedClock>(1700000000);
  ScopedClock clockGuard{clock};
  uint32_t retirement = 0, trading = 0, msft = 0, ibm = 0, cash = 0, margin = 0;
  Ids ids;
};

using Run = std::function<VLResult(VLDatabase&, VLDatabaseConn*, const Ids&)>;
struct Operation {
  const char* name;
  Run run;
  const char* text;       // what the journal says it did
  Run prepare = nullptr;  // a change made before, which the case does not undo
};

VLStockHoldingItem Fields(uint32_t qty, uint32_t price) {
  VLStockHoldingItem f;
  f.name = "AAPL";
  f.qty = Shares(qty);
  f.buyPricePerShare = Cents(price);
  f.buyCommission = 995;
  f.perShareSellTarget = Cents(30000);
  f.comment = "long";
  f.tag = 7;
  return f;
}

const std::vector<Operation>& Operations() {
  using T = Ids;
  static const std::vector<Operation> table = {
      {"AddPortfolio",
       [](VLDatabase& db, VLDatabaseConn* c, const T&) {
         VLPortfolioItem p;
         p.name = "Growth";
         p.comment = "new";
         return db.AddPortfolio(c, p);
       },
       "Add portfolio Growth"},
      {"RenamePortfolio",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         VLPortfolioItem p;
         EXPECT_EQ(db.GetPortfolio(c, t.retirement, p), VLResult::Ok);
         p.name = "Pension";
         p.comment = "renamed";
         return db.ModifyPortfolio(c, p);
       },
       "Rename portfolio Retirement to Pension"},
      {"DeletePortfolioWithItsPositions",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) { return db.DeletePortfolio(c, t.retirement); },
       "Delete portfolio Retirement and its 3 positions"},
      // More records than are put back one by one, and between them records of another portfolio: the
      // undo puts each back in its place in one pass over the list.
      {"DeletePortfolioOfManyPositionsAmongThoseOfAnother",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) { return db.DeletePortfolio(c, t.retirement); },
       "Delete portfolio Retirement and its 13 positions",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         for (uint32_t i = 1; i <= 10; ++i) {
           uint32_t id = 0;
           for (const uint32_t portfolio : {t.retirement, t.trading}) {
             const VLResult added = db.AddCashPosition(c, portfolio, i * 100, "lot", id);
             if (added != VLResult::Ok) return added;
           }
         }
         return VLResult::Ok;
       }},
      {"AddStockOfANewSymbol",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         uint32_t id = 0;
         return db.AddStockPosition(c, t.trading, Fields(5, 19000), id);
       },
       "Add position 5 (AAPL, 5 shares) to Trading"},
      {"AddCash",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         uint32_t id = 0;
         return db.AddCashPosition(c, t.trading, 1234, "", id);
       },
       "Add cash position 5 (12.34) to Trading"},
      {"AddMargin",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         uint32_t id = 0;
         return db.AddMarginPosition(c, t.trading, 5000, "Loan", id);
       },
       "Add margin debt 5 (Loan, 50.00) to Trading"},
      {"ModifyStockFields",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         return db.ModifyStockPosition(c, t.msft, Fields(1, 100));
       },
       "Change position 1 (MSFT, 1 share) in Retirement"},
      {"ModifyStockSymbolDroppingTheLastQuoteOfIt",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         return db.ModifyStockPosition(c, t.ibm, Fields(10, 14000), "nvda");
       },
       "Change the symbol of position 2 from IBM to NVDA in Trading"},
      {"ModifyCashIntoAnotherPortfolio",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         return db.ModifyCashPosition(c, t.cash, t.trading, 99, "moved cash");
       },
       "Change cash position 3 (moved cash, 0.99) in Trading"},
      {"ModifyMargin",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         return db.ModifyMarginPosition(c, t.margin, t.retirement, 1, "smaller");
       },
       "Change margin debt 4 (smaller, 0.01) in Retirement"},
      {"SellPart",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         uint32_t rest = 0;
         return db.SellPosition(c, t.msft, Shares(40), Cents(30000), 995, 0, rest);
       },
       "Sell 40 of MSFT in Retirement"},
      {"SellAll",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         uint32_t rest = 0;
         return db.SellPosition(c, t.ibm, Shares(10), Cents(15000), 0, 0, rest);
       },
       "Sell 10 of IBM in Trading"},
      {"Unsell", [](VLDatabase& db, VLDatabaseConn* c, const T& t) { return db.UnsellPosition(c, t.ibm); },
       "Unsell position 2 (IBM, 10 shares) in Trading",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) {
         uint32_t rest = 0;
         return db.SellPosition(c, t.ibm, Shares(10), Cents(15000), 0, 0, rest);
       }},
      {"Copy",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) { return db.CopyPosition(c, t.msft, t.trading); },
       "Copy position 1 (MSFT, 100 shares) from Retirement to Trading"},
      {"Move",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) { return db.MovePosition(c, t.cash, t.trading); },
       "Move cash position 3 (Broker cash, 2500.00) from Retirement to Trading"},
      {"ImportIntoANewAndAnExistingPortfolioWithAPartialSaleAndACashBalance",
       [](VLDatabase& db, VLDatabaseConn* c, const T&) {
         ImportPlan plan;
         auto step = [&plan](ImportStepKind kind, const std::string& portfolio) -> ImportStep& {
           ImportStep& s = plan.steps.emplace_back();
           s.kind = kind;
           s.line = static_cast<int>(plan.steps.size()) + 1;
           s.portfolio = plan.PortfolioIndex(portfolio);
           return s;
         };
         step(ImportStepKind::Add, "Growth").holding = std::make_unique<VLStockHoldingItem>(Fields(7, 18000));
         ImportStep& sale = step(ImportStepKind::Sell, "Retirement");
         sale.symbol = "MSFT";
         sale.qty = Shares(30);
         sale.salePrice = Cents(31000);
         sale.saleCommission = 500;
         auto balance = std::make_unique<VLCashHoldingItem>();
         balance->name = "Broker cash";
         balance->SetAmount(777);
         step(ImportStepKind::SetBalance, "Retirement").holding = std::move(balance);
         ImportOutcome outcome;
         std::vector<ImportProblem> problems;
         const VLResult code = db.ImportPositions(c, plan, outcome, problems);
         EXPECT_TRUE(problems.empty());
         return code;
       },
       "Import 1 position, 1 sale and 1 cash balance into Growth, Retirement"},
      {"SetAPriceByHand",
       [](VLDatabase& db, VLDatabaseConn* c, const T&) {
         return db.SetManualPrice(c, "fund1", StoredDateOf({2023, 11, 10}), PriceOf("84.2637"));
       },
       "Set the price of FUND1 on 2023-11-10 to 84.2637"},
      {"ReplaceThePriceOfADaySetByHand",
       [](VLDatabase& db, VLDatabaseConn* c, const T&) {
         return db.SetManualPrice(c, "FUND1", StoredDateOf({2023, 11, 10}), PriceOf("85"));
       },
       "Set the price of FUND1 on 2023-11-10 to 85.00",
       [](VLDatabase& db, VLDatabaseConn* c, const T&) {
         return db.SetManualPrice(c, "FUND1", StoredDateOf({2023, 11, 10}), PriceOf("84.2637"));
       }},
      {"RemoveEveryPriceOfASymbolSetByHand",
       [](VLDatabase& db, VLDatabaseConn* c, const T&) { return db.RemoveManualPrices(c, "Fund1", 0); },
       "Remove the prices of FUND1 set by hand",
       [](VLDatabase& db, VLDatabaseConn* c, const T&) {
         // Two of the symbol, on two days, and one of another symbol, which stays.
         using Set = std::tuple<const char*, int, const char*>;
         for (const auto& [symbol, day, price] :
              {Set{"FUND1", 9, "84"}, Set{"FUND2", 9, "3.5"}, Set{"FUND1", 10, "85"}}) {
           const VLResult rc = db.SetManualPrice(c, symbol, StoredDateOf({2023, 11, day}), PriceOf(price));
           if (rc != VLResult::Ok) return rc;
         }
         return VLResult::Ok;
       }},
      {"SplitWithAFractionPaidInCash",
       [](VLDatabase& db, VLDatabaseConn* c, const T&) {
         SplitRequest split;
         split.symbol = "msft";
         split.ratio = {2, 3};
         split.exDate = StoredDateOf({2024, 6, 10});
         split.cashInLieu = PriceOf("380");
         SplitPreview preview;
         return db.RecordSplit(c, split, preview);
       },
       "Split MSFT 2:3 on 2024-06-10"},
      {"ChangeASymbol",
       [](VLDatabase& db, VLDatabaseConn* c, const T&) {
         int renamed = 0;
         return db.RecordSymbolChange(c, "IBM", "IBMX", StoredDateOf({2024, 1, 2}), "", renamed);
       },
       "Change the symbol IBM to IBMX on 2024-01-02"},
      {"DeleteTheLastPositionOfASymbol",
       [](VLDatabase& db, VLDatabaseConn* c, const T& t) { return db.DeletePosition(c, t.ibm); },
       "Delete position 2 (IBM, 10 shares) from Trading"},
  };
  return table;
}

}  // namespace

TEST_F(JournalUndoTest, EveryOperationUndoesAndRedoesExactlyHereAfterARestartAndFromAnotherProgram) {
  const std::string original = ReadText(path);
  for (const Operation& op : Operations()) {
    SCOPED_TRACE(op.name);
    WriteText(path, original);  // every operation starts from the same store
    Reopen();
    if (op.prepare) {
      ASSERT_EQ(op.prepare(*db, conn, ids), VLResult::Ok);
    }
    const std::vector<std::string> before = Records(*db);
    ASSERT_EQ(op.run(*db, conn, ids), VLResult::Ok);
    const std::vector<std::string> after = Records(*db);
    ASSERT_NE(before, after);

    VLJournalStep step;
    ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
    EXPECT_EQ(step.text, op.text);
    EXPECT_EQ(Records(*db), before);
    ASSERT_EQ(db->Redo(conn, step), VLResult::Ok);
    EXPECT_EQ(Records(*db), after);

    Reopen();  // a restart: the journal and the file are all there is
    ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
    EXPECT_EQ(Records(*db), before);

    OtherProgram other(path);  // redone by another program; this one reloads
    ASSERT_NE(other.conn, nullptr);
    ASSERT_EQ(other.db.Redo(other.conn, step), VLResult::Ok);
    EXPECT_EQ(Records(other.db), after);
    ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
    EXPECT_EQ(Records(*db), before);

    // The fingerprint kept up to date change by change is the one a fresh load computes.
    const uint64_t kept = db->GetFingerprint();
    Reopen();
    EXPECT_EQ(db->GetFingerprint(), kept);
  }
}

TEST_F(JournalUndoTest, IdCountersNeverGoBackAndAQuoteComesBackBySymbol) {
  ASSERT_EQ(db->DeletePosition(conn, ibm), VLResult::Ok);
  EXPECT_EQ(db->GetQuoteCount(), 1);
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(step.positionIds, std::vector<uint32_t>{ibm});
  std::unique_ptr<VLHoldingItem> back;
  ASSERT_EQ(db->GetPosition(conn, ibm, back), VLResult::Ok);
  const auto& stock = static_cast<const VLStockHoldingItem&>(*back);
  EXPECT_EQ(stock.quote->symbol, "IBM");
  EXPECT_GT(stock.quoteId, 2u);  // a new quote record; its figures come with the next refresh

  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);  // the margin debt added last in the setup
  EXPECT_EQ(AddStock(trading, "X"), margin + 1);
}

TEST_F(JournalUndoTest, ANewChangeEndsWhatMayBeRedoneAndTheListSaysWhatIsUndone) {
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);  // the margin debt
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);  // the cash
  ASSERT_EQ(db->Redo(conn, step), VLResult::Ok);  // the cash again
  AddStock(trading, "NEW");
  EXPECT_EQ(db->Redo(conn, step), VLResult::NothingToRedo);

  std::vector<VLJournalListing> list;
  VLJournalState state;
  ASSERT_EQ(db->GetChanges(conn, 0, list, state), VLResult::Ok);
  std::vector<std::string> shown;
  for (const auto& e : list)
    shown.push_back(std::to_string(e.sequence) + (e.undone ? " undone " : " ") + e.text);
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "10 Add position 5 (NEW, 100 shares) to Trading",
                       "9 Redo Add cash position 3 (Broker cash, 2500.00) to Retirement",
                       "8 Undo Add cash position 3 (Broker cash, 2500.00) to Retirement",
                       "7 Undo Add margin debt 4 (Margin loan, 1000.00) to Retirement",
                       "6 undone Add margin debt 4 (Margin loan, 1000.00) to Retirement",
                       "5 Add cash position 3 (Broker cash, 2500.00) to Retirement",
                       "4 Add position 2 (IBM, 10 shares) to Trading",
                       "3 Add position 1 (MSFT, 100 shares) to Retirement",
                       "2 Add portfolio Trading",
                       "1 Add portfolio Retirement",
                   }));
  EXPECT_EQ(state.undoText, "Add position 5 (NEW, 100 shares) to Trading");
  EXPECT_FALSE(state.canRedo);
  ASSERT_EQ(db->GetChanges(conn, 2, list, state), VLResult::Ok);
  EXPECT_EQ(list.size(), 2u);

  // Undo walks back past the undo entries to the changes still in effect.
  for (int i = 0; i < 4; ++i) ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(step.text, "Add position 1 (MSFT, 100 shares) to Retirement");
}

TEST_F(JournalUndoTest, QuoteRefreshesAndTheMarketSettingAreNotJournaledAndDoNotStopUndo) {
  VLJournalState state;
  ASSERT_EQ(db->GetJournalState(conn, state), VLResult::Ok);
  const size_t entries = state.entries;
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  ASSERT_EQ(db->SetMarket(conn, 3), VLResult::Ok);
  ASSERT_EQ(db->GetJournalState(conn, state), VLResult::Ok);
  EXPECT_EQ(state.entries, entries);
  VLJournalStep step;
  EXPECT_EQ(db->Undo(conn, step), VLResult::Ok);
}

TEST_F(JournalUndoTest, UndoAndRedoAreRefusedLikeAnyChangeWhileARefreshRuns) {
  VLJournalStep step;
  VLResult during = VLResult::Ok;
  quoteSource->duringRequest = [&] { during = db->Undo(conn, step); };
  ASSERT_EQ(db->UpdateQuotes(conn), VLResult::Ok);
  EXPECT_EQ(during, VLResult::Failed);
  EXPECT_EQ(db->GetPositionCount(), 4);
}

TEST_F(JournalUndoTest, TheWindowsAreToldWhatCameBackOneRefillPerPortfolio) {
  ASSERT_EQ(db->DeletePortfolio(conn, retirement), VLResult::Ok);
  log.entries.clear();
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(log.entries, (std::vector<std::string>{"cmd 32825", "event 0 1 0", "event 4 1 0"}));
  EXPECT_EQ(step.portfolioIds, std::vector<uint32_t>{retirement});
  EXPECT_EQ(step.positionIds, (std::vector<uint32_t>{msft, cash, margin}));

  ASSERT_EQ(db->MovePosition(conn, msft, trading), VLResult::Ok);
  log.entries.clear();
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"cmd 32825", "event 1 2 0", "event 3 1 1", "event 5 2 1"}));
}
