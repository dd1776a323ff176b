// The change journal: what it adds to a change, what an undo of a large deletion costs, the store's
// fingerprint, and reading a full journal as `vellumar-cli changes` and the history window do.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "portfolio/database/vl_database.h"
#include "portfolio/journal/change_journal.h"
#include "tests/support/null_window.h"
#include "tests/support/sample_store.h"
#include "tests/support/temp_folder.h"

namespace {

// A copy of a store of `positions` over `portfolios` portfolios (mixed kinds, 2,000 cached quotes) in a
// folder of its own, so that its journal starts empty.
struct StoreCopy {
  StoreCopy(int portfolios, int64_t positions) {
    WriteSampleStore(path, SampleStoreShape{portfolios, static_cast<int>(positions), 2000, false, true});
    conn = db.Connect(window, 1, 2, 3);
  }
  TempFolder folder{"vl_bench_journal"};
  std::string path = folder.File("Vellumar.db");
  VLDatabase db{path};
  std::shared_ptr<NullWindow> window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = nullptr;
};

// The first change after the store was read: the fingerprint of the whole store is summed once, then kept
// up to date change by change (BM_AddCashPosition in database_bench.cpp is a change after that).
void BM_FirstChangeAfterLoad(benchmark::State& state) {
  StoreCopy store(1, state.range(0));
  if (!store.conn) state.SkipWithError("load failed");
  for (auto _ : state) {
    state.PauseTiming();
    VLDatabase fresh(store.path);
    VLDatabaseConn* conn = fresh.Connect(store.window, 1, 2, 3);
    state.ResumeTiming();
    uint32_t id = 0;
    if (!conn || fresh.AddCashPosition(conn, 1, 100, "cash", id) != VLResult::Ok)
      state.SkipWithError("add failed");
  }
}
BENCHMARK(BM_FirstChangeAfterLoad)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The fingerprint of a whole store, summed from every portfolio's and position's image.
void BM_StoreFingerprint(benchmark::State& state) {
  StoreCopy store(1, state.range(0));
  if (!store.conn) state.SkipWithError("load failed");
  for (auto _ : state) {
    state.PauseTiming();
    VLDatabase fresh(store.path);
    if (fresh.Open() != DbResult::Ok) state.SkipWithError("load failed");
    state.ResumeTiming();
    benchmark::DoNotOptimize(fresh.GetFingerprint());
  }
}
BENCHMARK(BM_StoreFingerprint)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Deleting a portfolio of 1,000 positions from a store of 10,000 (ten such portfolios), and undoing it:
// the records read back from the journal and put in their places, the store saved, the undo journaled.
void BM_DeletePortfolioOf1000(benchmark::State& state) {
  StoreCopy store(10, 10000);
  if (!store.conn) state.SkipWithError("load failed");
  VLJournalStep step;
  for (auto _ : state) {
    if (store.db.DeletePortfolio(store.conn, 1) != VLResult::Ok) state.SkipWithError("delete failed");
    state.PauseTiming();
    if (store.db.Undo(store.conn, step) != VLResult::Ok) state.SkipWithError("undo failed");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeletePortfolioOf1000)->Unit(benchmark::kMillisecond);

void BM_UndoPortfolioDeletionOf1000(benchmark::State& state) {
  StoreCopy store(10, 10000);
  if (!store.conn) state.SkipWithError("load failed");
  VLJournalStep step;
  for (auto _ : state) {
    state.PauseTiming();
    if (store.db.DeletePortfolio(store.conn, 1) != VLResult::Ok) state.SkipWithError("delete failed");
    state.ResumeTiming();
    if (store.db.Undo(store.conn, step) != VLResult::Ok) state.SkipWithError("undo failed");
  }
  state.counters["positions_back"] = static_cast<double>(step.positionIds.size());
}
BENCHMARK(BM_UndoPortfolioDeletionOf1000)->Unit(benchmark::kMillisecond);

// One entry of a change to one position and its portfolio, appended and flushed to disk.
void BM_JournalAppend(benchmark::State& state) {
  TempFolder folder{"vl_bench_append"};
  ChangeJournal journal;
  journal.SetPath(folder.File("Vellumar.journal"));
  JournalEntry entry;
  entry.header.text = "Add cash position 10001 (cash, 1.00) to Portfolio 1";
  entry.records.push_back({JournalRecordKind::Position, 10001, "", std::string(60, 'p')});
  entry.records.push_back({JournalRecordKind::Portfolio, 1, std::string(50, 'b'), std::string(50, 'a')});
  for (auto _ : state) {
    if (!journal.Append(entry, 0644)) state.SkipWithError("append failed");
  }
}
BENCHMARK(BM_JournalAppend)->Unit(benchmark::kMillisecond);

// A full journal (1,000 entries) read by a program that has not read it yet: `vellumar-cli changes`, or the
// history window after another program rewrote it.
void BM_ListFullJournal(benchmark::State& state) {
  StoreCopy store(1, 100);
  if (!store.conn) state.SkipWithError("load failed");
  for (size_t i = 0; i < ChangeJournal::kMaxEntries; ++i) {
    uint32_t id = 0;
    if (store.db.AddCashPosition(store.conn, 1, 100, "cash", id) != VLResult::Ok)
      state.SkipWithError("add failed");
  }
  for (auto _ : state) {
    state.PauseTiming();
    VLDatabase fresh(store.path);
    VLDatabaseConn* conn = fresh.Connect(store.window, 1, 2, 3);
    state.ResumeTiming();
    std::vector<VLJournalListing> list;
    VLJournalState journalState;
    if (!conn || fresh.GetChanges(conn, 0, list, journalState) != VLResult::Ok)
      state.SkipWithError("list failed");
    state.counters["entries"] = static_cast<double>(list.size());
  }
}
BENCHMARK(BM_ListFullJournal)->Unit(benchmark::kMillisecond);

}  // namespace
