// The main window's costs, offscreen: one refill of the held list (2,000 positions, nine columns, the real
// model and view, column widths included), start-up to the first shown window over a 10,000-position
// database, and the memory of the process with that window open.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <string>

#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "prefs/vl_prefs.h"
#include "sample_store.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"

namespace {

void FillPositions(VLHoldingItemList& list, int count) {
  list.RemoveAll();
  for (int i = 0; i < count; ++i) {
    auto s = std::make_unique<VLStockHoldingItem>();
    s->id = static_cast<uint32_t>(i + 1);
    FillSampleQuote(s->quote, (i * 7919) % 1000);
    s->quote.change = (i % 3 ? "+" : "-") + std::to_string(i % 7) + ".25";
    s->name = s->quote.symbol;
    s->qty = 10 + static_cast<uint32_t>(i % 300);
    s->buyPricePerShare = 500 + static_cast<uint32_t>((i * 13) % 40000);
    s->purchaseDate = 1500000000 + i * 86400;
    list.InsertAt(list.GetCount(), std::move(s));
  }
}

void BM_RefillHeldList(benchmark::State& state) {
  ScopedNumberFormat english(NumberFormat::English());
  const std::vector<int> columns = {kColSymbol,    kColName,      kColTrade, kColChange, kColQty,
                                    kColCurrValue, kColTotalPaid, kColGain,  kColPctGain};
  PositionListModel model;
  PositionListView view(&model);
  view.resize(1200, 600);
  view.show();
  VLHoldingItemList list;
  for (auto _ : state) {
    state.PauseTiming();
    FillPositions(list, static_cast<int>(state.range(0)));
    state.ResumeTiming();
    view.setUpdatesEnabled(false);
    model.Refill(list, columns, kColGain, false);
    view.setUpdatesEnabled(true);
    view.ApplyColumnWidths();
    QApplication::processEvents();  // the repaint
  }
}
BENCHMARK(BM_RefillHeldList)->Arg(2000)->Unit(benchmark::kMillisecond);

class BenchHost : public IMainWindowHost {
 public:
  explicit BenchHost(const std::string& path) : database(path) { prefs.SetDefaults(); }
  VLDatabase& GetDatabase() override { return database; }
  VLPrefs& GetPrefs() override { return prefs; }
  void Backup(QWidget*) override {}
  void AddSecondaryWindow(QWidget*) override {}
  bool HasSecondaryWindows() const override { return false; }
  void CloseSecondaryWindows() override {}
  VLPrefs prefs;
  VLDatabase database;
};

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

// From nothing loaded to the shown window with its lists filled: the database file is read by the window's
// first connection, as at a real start.
void BM_StartupToFirstWindow(benchmark::State& state) {
  ScopedNumberFormat english(NumberFormat::English());
  QTemporaryDir folder;
  const std::string path = folder.filePath(QStringLiteral("Vellumar.db")).toStdString();
  if (!WriteSampleStore(path, 1, static_cast<int>(state.range(0)), 2000)) {
    state.SkipWithError("cannot write the sample database");
    return;
  }
  long rss = 0;
  for (auto _ : state) {
    BenchHost host(path);
    host.prefs.GetGeneralPrefs().defaultPortfolio = 1;
    host.prefs.GetGeneralPrefs().showDisclaimer = false;
    CDlgVellumar window(host);
    window.show();
    while (window.HeldList()->model()->rowCount() == 0) QApplication::processEvents();
    QApplication::processEvents();
    state.PauseTiming();
    rss = std::max(rss, ResidentKilobytes());
    state.ResumeTiming();
  }
  state.counters["rss_MB"] = static_cast<double>(rss) / 1024.0;
}
BENCHMARK(BM_StartupToFirstWindow)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
