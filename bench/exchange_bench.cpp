// Import and export at 10,000 rows: reading and checking the file, then the one change of the database with
// its save (which flushes the file to disk), as the command line and the window run them.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "portfolio/database/vl_database.h"
#include "portfolio/exchange/csv_text.h"
#include "portfolio/exchange/export_data.h"
#include "portfolio/exchange/import_reading.h"
#include "portfolio/exchange/vellumar_csv.h"
#include "tests/support/null_window.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kRows = 10000;

// A broker's file: 10,000 purchases of 1,000 symbols over four years, with commissions and notes.
std::string BrokerCsv() {
  std::string text = "Ticker,Shares,Cost,Trade Date,Fee,Note\r\n";
  for (int i = 0; i < kRows; ++i) {
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
  (void)CollectExport(*source.store.db, source.store.conn, {}, data);
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
    (void)CollectExport(*broker.store.db, broker.store.conn, {}, data);
    benchmark::DoNotOptimize(WriteVellumarCsv(data));
  }
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

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
