// The database file at 10,000, 100,000 and 1,000,000 positions (one portfolio, 2,000 cached quotes, with
// cash, margin, sold and index positions among the stocks; load, save and the sorted view also with every
// stock position fractional): load, save, one change and the sorted view,
// against a plain read and write (with the same flush to disk) of the same bytes.
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <vector>

#include "framework/store_guard.h"
#include "framework/store_lock.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/fx/fx_rate_book.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/views/portfolio_view.h"
#include "tests/support/null_window.h"
#include "tests/support/sample_store.h"
#include "tests/support/temp_folder.h"

namespace {

// One store per size and form, written on first use and kept for the whole run. A fractional store holds
// every stock position with a fraction of a share and prices below the cent (the record's exact form).
const std::string& StorePath(int64_t positions, bool fractional = false) {
  static TempFolder folder{"vl_bench"};
  static std::map<std::pair<int64_t, bool>, std::string> paths;
  auto found = paths.find({positions, fractional});
  if (found != paths.end()) return found->second;
  const std::string path =
      folder.File("store_" + std::to_string(positions) + (fractional ? "_fractional" : "") + ".db");
  WriteSampleStore(path, SampleStoreShape{1, static_cast<int>(positions), 2000, false, true, fractional});
  return paths.emplace(std::pair{positions, fractional}, path).first->second;
}

// Heap bytes in use, for the memory a store or a view takes.
int64_t HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>(info.uordblks + info.hblkhd);
}

std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void SizeArgs(benchmark::internal::Benchmark* b) {
  b->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

// The sizes in both forms: whole shares in cents (0) and fractional (1).
void FormArgs(benchmark::internal::Benchmark* b) {
  for (int64_t size : {10000, 100000, 1000000}) b->Args({size, 0})->Args({size, 1});
  b->ArgNames({"positions", "fractional"})->Unit(benchmark::kMillisecond);
}

bool Fractional(const benchmark::State& state) {
  return state.range(1) != 0;
}

void BM_DatabaseLoad(benchmark::State& state) {
  const std::string& path = StorePath(state.range(0), Fractional(state));
  const auto size = std::filesystem::file_size(path);
  int64_t perPosition = 0;
  for (auto _ : state) {
    const int64_t before = HeapBytes();
    auto db = std::make_unique<VLDatabase>(path);
    if (db->Open() != DbResult::Ok) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(db->GetPositionCount());
    state.PauseTiming();  // closing the store is not part of loading it
    perPosition = (HeapBytes() - before) / std::max(1, db->GetPositionCount());
    db.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
  state.counters["heap_per_position"] = static_cast<double>(perPosition);
}
BENCHMARK(BM_DatabaseLoad)->Apply(FormArgs);

void BM_PlainRead(benchmark::State& state) {
  const std::string& path = StorePath(state.range(0));
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) benchmark::DoNotOptimize(ReadBytes(path).size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_PlainRead)->Apply(SizeArgs);

void BM_DatabaseSave(benchmark::State& state) {
  const std::string& path = StorePath(state.range(0), Fractional(state));
  VLDatabase db(path);
  if (db.Open() != DbResult::Ok) state.SkipWithError("load failed");
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) {
    db.SetModified();
    if (db.Save() != DbResult::Ok) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_DatabaseSave)->Apply(FormArgs);

// The same bytes written the way a save must: a new file, flushed to disk, renamed over the old one; with
// `durable` also the folder flushed after the rename, as a save does so that the new name survives a crash.
void PlainWrite(benchmark::State& state, bool durable) {
  const std::string& path = StorePath(state.range(0));
  const std::vector<char> bytes = ReadBytes(path);
  const std::string temp = path + ".plain";
  const std::string folder = std::filesystem::path(path).parent_path().string();
  for (auto _ : state) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      state.SkipWithError("write failed");
    }
    ::fsync(fd);
    ::close(fd);
    std::filesystem::rename(temp, path + ".copy");
    if (!durable) continue;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::fsync(dir);
    ::close(dir);
  }
  std::filesystem::remove(path + ".copy");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
void BM_PlainWrite(benchmark::State& state) {
  PlainWrite(state, false);
}
void BM_PlainWriteDurable(benchmark::State& state) {
  PlainWrite(state, true);
}
BENCHMARK(BM_PlainWrite)->Apply(SizeArgs);
BENCHMARK(BM_PlainWriteDurable)->Apply(SizeArgs);

// A copy of the store of `positions` that a benchmark changes, loaded and connected (`conn` null when the
// load failed).
struct ChangedStore {
  explicit ChangedStore(int64_t positions)
      : db(CopyOf(folder, positions)), conn(db.Connect(window, 1, 2, 3)) {}
  static std::string CopyOf(TempFolder& folder, int64_t positions) {
    const std::string path = folder.File("Vellumar.db");
    std::filesystem::copy_file(StorePath(positions), path);
    return path;
  }
  TempFolder folder{"vl_bench_change"};
  VLDatabase db;
  std::shared_ptr<NullWindow> window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn;
};

// One change as a user makes it: add a cash position, which saves the whole store.
void BM_AddCashPosition(benchmark::State& state) {
  ChangedStore store(state.range(0));
  if (!store.conn) state.SkipWithError("load failed");
  for (auto _ : state) {
    uint32_t id = 0;
    if (store.db.AddCashPosition(store.conn, 1, 100, "cash", id) != VLResult::Ok)
      state.SkipWithError("add failed");
  }
}
BENCHMARK(BM_AddCashPosition)->Apply(SizeArgs);

// A split of the symbol of the store's first stock position, then its undo: each a change of every position
// of the symbol (one in 2,000 of the store's), which saves the whole store and journals the positions. Timed:
// the split alone (undo=0), or the split and its undo (undo=1).
void BM_RecordSplitAndUndo(benchmark::State& state) {
  ChangedStore store(state.range(0));
  VLDatabase& db = store.db;
  VLDatabaseConn* conn = store.conn;
  VLHoldingItemList held;
  if (!conn || db.GetPositions(conn, 1, true, held) != VLResult::Ok) state.SkipWithError("load failed");
  SplitRequest split;
  for (const auto& item : held) {
    if (static_cast<const VLHoldingItem&>(*item).GetKind() == kHoldingStock && item->name[0] != '^') {
      split.symbol = item->name;
      break;
    }
  }
  split.ratio = {2, 1};
  split.exDate = 4102444800;  // 2100-01-01: after every purchase of the store
  SplitPreview preview;
  VLJournalStep step;
  const bool undoTimed = state.range(1) != 0;
  for (auto _ : state) {
    if (db.RecordSplit(conn, split, preview) != VLResult::Ok) state.SkipWithError("split failed");
    if (!undoTimed) state.PauseTiming();
    if (db.Undo(conn, step) != VLResult::Ok) state.SkipWithError("undo failed");
    if (!undoTimed) state.ResumeTiming();
  }
  state.counters["positions split"] = static_cast<double>(preview.rows.size());
}
BENCHMARK(BM_RecordSplitAndUndo)
    ->ArgsProduct({{10000, 100000, 1000000}, {0, 1}})
    ->ArgNames({"positions", "undo"})
    ->Unit(benchmark::kMillisecond);

// The held view of the store's one portfolio as `vellumar-cli view` prints it: the positions handed out by
// the database, sorted by Gain, nine columns of text.
void BM_SortedView(benchmark::State& state) {
  const std::string& path = StorePath(state.range(0), Fractional(state));
  VLDatabase db(path);
  auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
  if (!conn) state.SkipWithError("load failed");
  const std::vector<int> columns = {kColSymbol,    kColName,      kColTrade, kColChange, kColQty,
                                    kColCurrValue, kColTotalPaid, kColGain,  kColPctGain};
  int64_t perPosition = 0;
  for (auto _ : state) {
    const int64_t before = HeapBytes();
    VLHoldingItemList positions;
    if (db.GetPositions(conn, 1, true, positions) != VLResult::Ok) state.SkipWithError("no positions");
    state.PauseTiming();
    perPosition = (HeapBytes() - before) / std::max(1, positions.GetCount());
    state.ResumeTiming();
    PortfolioView view = BuildPortfolioView(positions, columns, kColGain, false);
    benchmark::DoNotOptimize(view.rows.data());
  }
  state.counters["heap_per_position"] = static_cast<double>(perPosition);
}
BENCHMARK(BM_SortedView)->Apply(FormArgs);

// EUR/USD for every weekday of ten years, as a fetch for a portfolio held since 2017 gives it.
std::shared_ptr<const FxRateBook> TenYearsOfEuroDollar() {
  std::vector<FxFixing> fixings;
  const int64_t first = 17167;  // 2017-01-01
  for (int64_t day = first; day < first + 3653; ++day) {
    if ((day + 4) % 7 >= 5) continue;  // 1970-01-01 was a Thursday: Saturdays and Sundays
    fixings.push_back({day, FxRate{1050000 + (day % 200) * 1000, 6}});
  }
  auto book = std::make_shared<FxRateBook>();
  book->Add("EUR", "USD", std::move(fixings));
  return book;
}

// The same view of the dollar store in euros: every position converted at the rates of its days (the rate
// of a day looked up in ten years of fixings), sorted by Gain (base), with four of the base columns.
void BM_SortedViewInBase(benchmark::State& state) {
  const std::string& path = StorePath(state.range(0), Fractional(state));
  VLDatabase db(path);
  auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
  if (!conn) state.SkipWithError("load failed");
  db.SetFxRates(TenYearsOfEuroDollar());
  db.LookInCurrency(1, "EUR");
  const std::vector<int> columns = {kColSymbol,    kColQty,      kColCurrValue,     kColTotalPaid, kColGain,
                                    kColValueBase, kColGainBase, kColPriceGainBase, kColFxGainBase};
  int converted = 0, refused = 0;
  {
    VLHoldingItemList positions;
    if (db.GetPositions(conn, 1, true, positions) != VLResult::Ok) state.SkipWithError("no positions");
    for (int i = 0; i < positions.GetCount(); ++i) {
      const auto* stock = dynamic_cast<const VLStockHoldingItem*>(positions.GetAt(i));
      converted += stock && stock->base.known;
      refused += stock && !stock->base.error.empty();
    }
    if (converted == 0) state.SkipWithError("nothing converted");
  }
  for (auto _ : state) {
    VLHoldingItemList positions;
    if (db.GetPositions(conn, 1, true, positions) != VLResult::Ok) state.SkipWithError("no positions");
    PortfolioView view = BuildPortfolioView(positions, columns, kColGainBase, false);
    benchmark::DoNotOptimize(view.rows.data());
  }
  state.counters["converted"] = converted;  // the rest have no quote, or a currency without EUR rates
  state.counters["refused"] = refused;
}
BENCHMARK(BM_SortedViewInBase)->Apply(FormArgs);

// What every change adds to keep several processes safe: take the lock file's lock and the file's (making
// sure it is the file at the path), compare the file's identity with the one last read or written, release.
void BM_LockAndIdentityCheck(benchmark::State& state) {
  const std::string& path = StorePath(10000);
  FileIdentity known;
  if (!IdentityOfPath(path, known)) state.SkipWithError("no file");
  for (auto _ : state) {
    StoreLocks file;
    if (LockStore(path, 1000, file) != LockResult::Locked) state.SkipWithError("lock failed");
    FileIdentity now;
    if (!IdentityOfFile(file.Get(), now)) state.SkipWithError("no identity");
    benchmark::DoNotOptimize(now == known);
  }
}
BENCHMARK(BM_LockAndIdentityCheck)->Unit(benchmark::kMicrosecond);

// The same with the database file's lock alone, as before the lock file: what the lock file adds.
void BM_FileLockAlone(benchmark::State& state) {
  const std::string& path = StorePath(10000);
  for (auto _ : state) {
    FileHandle file;
    if (LockStoreFile(path, 1000, file) != LockResult::Locked) state.SkipWithError("lock failed");
    benchmark::DoNotOptimize(file.Get());
  }
}
BENCHMARK(BM_FileLockAlone)->Unit(benchmark::kMicrosecond);

// What a long-lived reader pays once a second when nothing changed: one stat.
void BM_ReloadIfUnchanged(benchmark::State& state) {
  const std::string& path = StorePath(10000);
  VLDatabase db(path);
  auto window = std::make_shared<NullWindow>();
  if (!db.Connect(window, 1, 2, 3)) state.SkipWithError("load failed");
  for (auto _ : state) benchmark::DoNotOptimize(db.ReloadIfChanged());
}
BENCHMARK(BM_ReloadIfUnchanged)->Unit(benchmark::kMicrosecond);

}  // namespace
