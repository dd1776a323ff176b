// Import and export at 10,000 rows: reading and checking the file, then the one change of the database with
// its save (which flushes the file to disk), as the command line and the window run them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_database_reads.h"
#include "portfolio/exchange/csv_text.h"
#include "portfolio/exchange/export_data.h"
#include "portfolio/exchange/import_reading.h"
#include "portfolio/exchange/vellumar_csv.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/null_window.h"
#include "tests/support/sample_store.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kRows = 10000;

// A broker's file: `rows` purchases (10,000 unless told) of 1,000 symbols over four years, with commissions
// and notes.
std::string BrokerCsv(int rows = kRows) {
  std::string text = "Ticker,Shares,Cost,Trade Date,Fee,Note\r\n";
  for (int i = 0; i < rows; ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", 2019 + i % 4, 1 + i % 12, 1 + i % 28);
    AppendCsvRecord(text, {"SYM" + std::to_string(i % 1000), std::to_string(1 + i % 500),
                           std::to_string(10 + i % 900) + "." + std::to_string(10 + i % 90), date,
                           std::to_string(i % 10) + ".95", i % 3 ? "" : "monthly plan, \"A\""});
  }
  return text;
}

struct Store {
  explicit Store(const std::string& path) : db(std::make_unique<VLDatabase>(path)) {
    if (db->Create() == DbResult::Ok) conn = db->Connect(window, 1, 2, 3);
  }
  std::shared_ptr<NullWindow> window = std::make_shared<NullWindow>();
  std::unique_ptr<VLDatabase> db;
  VLDatabaseConn* conn = nullptr;
};

// Reads `file` with `options` and imports it into a new, empty database; the database's code.
VLResult ImportInto(const std::string& dbPath, const std::string& file, const ImportOptions& options,
                    benchmark::State& state) {
  state.PauseTiming();
  std::remove(dbPath.c_str());
  Store store(dbPath);
  state.ResumeTiming();
  const ImportReading reading = ReadImportFile(file, options);
  if (reading.Refused() || !store.conn) return VLResult::Failed;
  ImportOutcome outcome;
  ImportProblems problems;
  return store.db->ImportPositions(store.conn, reading.plan, outcome, problems);
}

// How the broker's file is read: its columns mapped, into the portfolio "Broker".
ImportOptions BrokerOptions() {
  ImportOptions options;
  options.targetPortfolio = "Broker";
  std::string error;
  (void)ParseMappingText(
      "symbol=Ticker,quantity=Shares,price=Cost,date=Trade Date,commission=Fee,comment=Note", options.mapping,
      error);
  return options;
}

// The broker's file in a folder of its own, and a database it was imported into once.
struct ImportedBroker {
  explicit ImportedBroker(const char* dbName) : store(folder.File(dbName)) {
    WriteText(file, BrokerCsv());
    ImportOutcome outcome;
    ImportProblems problems;
    (void)store.db->ImportPositions(store.conn, ReadImportFile(file, options).plan, outcome, problems);
  }
  TempFolder folder{"vl_bench_import"};
  std::string file = folder.File("broker.csv");
  ImportOptions options = BrokerOptions();
  Store store;
};

void BM_ImportMappedCsv(benchmark::State& state) {
  TempFolder folder{"vl_bench_import"};
  const std::string file = folder.File("broker.csv");
  WriteText(file, BrokerCsv());
  const ImportOptions options = BrokerOptions();
  for (auto _ : state) {
    if (ImportInto(folder.File("Vellumar.db"), file, options, state) != VLResult::Ok)
      state.SkipWithError("refused");
  }
  state.counters["rows"] = kRows;
}
BENCHMARK(BM_ImportMappedCsv)->Unit(benchmark::kMillisecond);

// The same positions exported as Vellumar CSV, imported into an empty database (portfolios created).
void BM_ImportVellumarCsv(benchmark::State& state) {
  ImportedBroker source("source.db");
  ExportData data;
  (void)ReadExport(*source.store.db, source.store.conn, {}, data);
  const std::string exported = WriteVellumarCsv(data);
  TempFolder folder{"vl_bench_import"};
  const std::string file = folder.File("all.csv");
  WriteText(file, exported);
  for (auto _ : state) {
    if (ImportInto(folder.File("Vellumar.db"), file, {}, state) != VLResult::Ok)
      state.SkipWithError("refused");
  }
  state.counters["rows"] = kRows;
}
BENCHMARK(BM_ImportVellumarCsv)->Unit(benchmark::kMillisecond);

// The same file a second time: every row is found already there, nothing is saved.
void BM_ImportAgainAllDuplicates(benchmark::State& state) {
  ImportedBroker broker("Vellumar.db");
  Store& store = broker.store;
  ImportOutcome outcome;
  ImportProblems problems;
  for (auto _ : state) {
    const ImportReading reading = ReadImportFile(broker.file, broker.options);
    if (store.db->ImportPositions(store.conn, reading.plan, outcome, problems) != VLResult::Ok ||
        outcome.duplicates != kRows) {
      state.SkipWithError("not all duplicates");
    }
  }
}
BENCHMARK(BM_ImportAgainAllDuplicates)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
  ImportedBroker broker("Vellumar.db");
  for (auto _ : state) {
    ExportData data;
    (void)ReadExport(*broker.store.db, broker.store.conn, {}, data);
    benchmark::DoNotOptimize(WriteVellumarCsv(data));
  }
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

// ---- How the import grows with the file: 10,000, 80,000 and 1,000,000 rows. An import of N rows should
// take about N log N: 80,000 rows no more than ten times 10,000.

// The broker's file of `state.range(0)` rows, through its mapping into a new database.
void BM_ImportMappedCsvRows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  TempFolder folder{"vl_bench_import"};
  const std::string file = folder.File("broker.csv");
  WriteText(file, BrokerCsv(rows));
  const ImportOptions options = BrokerOptions();
  for (auto _ : state) {
    if (ImportInto(folder.File("Vellumar.db"), file, options, state) != VLResult::Ok)
      state.SkipWithError("refused");
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_ImportMappedCsvRows)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportMappedCsvRows)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A Vellumar CSV of `rows` rows as an export writes it: a mixed store's positions in 100 portfolios (held
// and sold stock, index symbols, cash, margin debts), then one row in 20 a price set by hand (1,000
// symbols, each on its own days).
std::string VellumarCsvOfRows(int rows) {
  TempFolder folder{"vl_bench_import"};
  const std::string path = folder.File("source.db");
  const int prices = rows / 20;
  SampleStoreShape shape;
  shape.portfolios = 100;
  shape.positions = rows - prices;
  shape.quotes = 2000;
  shape.mixed = true;
  if (!WriteSampleStore(path, shape)) return {};
  VLDatabase db(path);
  const auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
  ExportData data;
  if (!conn || ReadExport(db, conn, {}, data) != VLResult::Ok) return {};
  // The sample's purchases are an hour apart, and its sales 200 days later, which after some 77,000 of them
  // runs past today: from there on the days repeat those of the first 76,000 (the positions of the file of
  // 80,000 rows, which stay as they were).
  constexpr int64_t kRepeat = 76000;
  for (const auto& item : data.positions) {
    auto& position = static_cast<VLHoldingItem&>(*item);
    if (position.GetKind() != kHoldingStock || position.id <= kRepeat) continue;
    auto& stock = static_cast<VLStockHoldingItem&>(position);
    const int64_t back = (position.id - 1) / kRepeat * kRepeat * 3600;
    stock.purchaseDate -= back;
    if (stock.IsSold()) stock.saleDate -= back;
  }
  const int64_t lastDay = DayNumberOf(CalendarDate{2026, 1, 2});
  for (int i = 0; i < prices; ++i) {
    VLManualPriceItem& price = data.prices.emplace_back();
    price.name = "SYM" + std::to_string(i % 1000);
    price.date = StoredDateOfDay(lastDay - i / 1000);
    price.price = PriceOfCents(100 + static_cast<uint32_t>(i % 5000));
  }
  return WriteVellumarCsv(data);
}

void BM_ImportVellumarCsvRows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  TempFolder folder{"vl_bench_import"};
  const std::string file = folder.File("all.csv");
  WriteText(file, VellumarCsvOfRows(rows));
  for (auto _ : state) {
    if (ImportInto(folder.File("Vellumar.db"), file, {}, state) != VLResult::Ok)
      state.SkipWithError("refused");
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_ImportVellumarCsvRows)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportVellumarCsvRows)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A statement's trades as the import gets them, `rows` steps in one portfolio: purchases of 10 shares of
// 100 symbols, one a day, each followed by a sale of 7 shares of the same symbol, which takes the oldest
// shares first and splits a position; the held lots of each symbol grow with the file.
ImportPlan TradesPlan(int rows) {
  ImportPlan plan;
  (void)plan.PortfolioIndex("Trades");
  const int64_t firstDay = DayNumberOf(CalendarDate{2000, 1, 3});
  for (int i = 0; i < rows; ++i) {
    ImportStep& step = plan.steps.emplace_back();
    step.line = i + 1;
    const std::string symbol = "SYM" + std::to_string(i / 2 % 100);
    const int64_t day = StoredDateOfDay(firstDay + i / 2);
    if (i % 2 == 0) {
      auto stock = std::make_unique<VLStockHoldingItem>();
      stock->name = symbol;
      stock->qty = Quantity::FromWhole(10);
      stock->buyPricePerShare = PriceOfCents(1000 + static_cast<uint32_t>(i % 900));
      stock->buyCommission = 495;
      stock->purchaseDate = day;
      step.holding = std::move(stock);
    } else {
      step.kind = ImportStepKind::Sell;
      step.symbol = symbol;
      step.qty = Quantity::FromWhole(7);
      step.salePrice = PriceOfCents(1500);
      step.saleCommission = 495;
      step.saleDate = day;
    }
  }
  return plan;
}

void BM_ImportTradesRows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  TempFolder folder{"vl_bench_import"};
  const std::string dbPath = folder.File("Vellumar.db");
  for (auto _ : state) {
    state.PauseTiming();
    std::remove(dbPath.c_str());
    Store store(dbPath);
    const ImportPlan plan = TradesPlan(rows);
    state.ResumeTiming();
    ImportOutcome outcome;
    ImportProblems problems;
    if (store.db->ImportPositions(store.conn, plan, outcome, problems) != VLResult::Ok ||
        outcome.sold != rows / 2)
      state.SkipWithError("refused");
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_ImportTradesRows)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);

// Files made to cost minutes: how long their refusal takes. An element of 300,000 attributes (3.5 MB).
void BM_RefuseXmlOfManyAttributes(benchmark::State& state) {
  std::string text = "<VellumarPortfolios version=\"1\"><Portfolio name=\"P\"><VLCash";
  for (int i = 0; i < 300000; ++i) text += " a" + std::to_string(i) + "=\"0\"";
  text += "/></Portfolio></VellumarPortfolios>";
  ImportOptions options;
  options.format = ExchangeFormat::VellumarXml;
  for (auto _ : state) {
    if (!ReadImportText(text, "in.xml", options).Refused()) state.SkipWithError("not refused");
  }
}
BENCHMARK(BM_RefuseXmlOfManyAttributes)->Unit(benchmark::kMillisecond);

// 100,000 empty portfolios in XML (2.6 MB).
void BM_RefuseXmlOfManyPortfolios(benchmark::State& state) {
  std::string text = "<VellumarPortfolios version=\"1\">\n";
  for (int i = 0; i < 100000; ++i) text += "<Portfolio name=\"P" + std::to_string(i) + "\"/>\n";
  text += "</VellumarPortfolios>\n";
  ImportOptions options;
  options.format = ExchangeFormat::VellumarXml;
  for (auto _ : state) {
    if (!ReadImportText(text, "in.xml", options).Refused()) state.SkipWithError("not refused");
  }
}
BENCHMARK(BM_RefuseXmlOfManyPortfolios)->Unit(benchmark::kMillisecond);

// 40 MB of rows of 999 empty fields through a mapping: read one row at a time.
void BM_ReadCsvOfCommas(benchmark::State& state) {
  std::string line(999, ',');
  line += "\n";
  std::string text;
  while (text.size() < (40u << 20)) text += line;
  ImportOptions options;
  options.format = ExchangeFormat::MappedCsv;
  options.targetPortfolio = "P";
  options.mapping.columns[ImportField::Symbol] = "#1";
  for (auto _ : state) benchmark::DoNotOptimize(ReadImportText(text, "in.csv", options).rows);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadCsvOfCommas)->Unit(benchmark::kMillisecond);

}  // namespace
