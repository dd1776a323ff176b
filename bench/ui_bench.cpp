// The main window's costs, offscreen, over stores of 10,000, 100,000 and 1,000,000 positions: one refill of
// the held list (nine columns, the real model and view, column widths included), start-up to the first
// shown window with the memory of the process then, a sort by a header click, and scrolling by a page.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "prefs/vl_prefs.h"
#include "tests/support/null_window.h"
#include "tests/support/sample_store.h"
#include "tests/support/temp_folder.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"

namespace {

// One store per size and form (one portfolio, 2,000 cached quotes; fractional: every stock position with a
// fraction of a share and prices below the cent), written on first use and kept for the run.
const std::string& StorePath(int64_t positions, bool fractional = false) {
  static TempFolder folder{"vl_ui_bench"};
  static std::map<std::pair<int64_t, bool>, std::string> paths;
  auto found = paths.find({positions, fractional});
  if (found != paths.end()) return found->second;
  const std::string path =
      folder.File("store_" + std::to_string(positions) + (fractional ? "_fractional" : "") + ".db");
  WriteSampleStore(path, SampleStoreShape{1, static_cast<int>(positions), 2000, false, true, fractional});
  return paths.emplace(std::pair{positions, fractional}, path).first->second;
}

void SizeArgs(benchmark::internal::Benchmark* b) {
  b->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

// The sizes in both forms: whole shares in cents (0) and fractional (1).
void FormArgs(benchmark::internal::Benchmark* b) {
  for (int64_t size : {10000, 100000, 1000000}) b->Args({size, 0})->Args({size, 1});
  b->ArgNames({"positions", "fractional"})->Unit(benchmark::kMillisecond);
}

// A refill of the held list as the window makes it: the positions handed out by the database, sorted by
// Gain, nine columns, the real model and view, column widths and the repaint.
void BM_RefillHeldList(benchmark::State& state) {
  ScopedNumberFormat english(NumberFormat::English());
  const std::vector<int> columns = {kColSymbol,    kColName,      kColTrade, kColChange, kColQty,
                                    kColCurrValue, kColTotalPaid, kColGain,  kColPctGain};
  VLDatabase db(StorePath(state.range(0), state.range(1) != 0));
  auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
  if (!conn) state.SkipWithError("load failed");
  PositionListModel model;
  PositionListView view(&model);
  view.resize(1200, 600);
  view.show();
  for (auto _ : state) {
    VLHoldingItemList list;
    if (db.GetPositions(conn, 1, true, list) != VLResult::Ok) state.SkipWithError("no positions");
    view.setUpdatesEnabled(false);
    model.Refill(list, columns, kColGain, false);
    view.setUpdatesEnabled(true);
    view.ApplyColumnWidths();
    QApplication::processEvents();  // the repaint
  }
}
BENCHMARK(BM_RefillHeldList)->Apply(FormArgs);

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
  const std::string& path = StorePath(state.range(0));
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
BENCHMARK(BM_StartupToFirstWindow)->Apply(SizeArgs)->Iterations(1);

// A window open on the store's portfolio: the time a click on the "Gain" header takes (re-reading, sorting
// and showing both lists), and a page of scrolling down the held list with its repaint.
struct OpenWindow {
  explicit OpenWindow(const std::string& path) : host(path) {
    host.prefs.GetGeneralPrefs().defaultPortfolio = 1;
    host.prefs.GetGeneralPrefs().showDisclaimer = false;
    window = std::make_unique<CDlgVellumar>(host);
    window->resize(1200, 800);
    window->show();
    while (window->HeldList()->model()->rowCount() == 0) QApplication::processEvents();
    QApplication::processEvents();
  }
  int SectionOf(int column) const {
    const auto* model = window->HeldList()->Model();
    const std::vector<int>& columns = model->Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
      if (columns[i] == column) return static_cast<int>(i);
    }
    return 0;
  }
  BenchHost host;
  std::unique_ptr<CDlgVellumar> window;
};

void BM_SortByHeaderClick(benchmark::State& state) {
  ScopedNumberFormat english(NumberFormat::English());
  OpenWindow open(StorePath(state.range(0)));
  const int section = open.SectionOf(kColGain);
  for (auto _ : state) {
    emit open.window->HeldList()->horizontalHeader()->sectionClicked(section);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_SortByHeaderClick)->Apply(SizeArgs);

void BM_ScrollOnePage(benchmark::State& state) {
  ScopedNumberFormat english(NumberFormat::English());
  OpenWindow open(StorePath(state.range(0)));
  QScrollBar* bar = open.window->HeldList()->verticalScrollBar();
  for (auto _ : state) {
    const int next = bar->value() + bar->pageStep();
    bar->setValue(next > bar->maximum() ? 0 : next);
    open.window->HeldList()->viewport()->repaint();
  }
}
BENCHMARK(BM_ScrollOnePage)->Apply(SizeArgs);

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
