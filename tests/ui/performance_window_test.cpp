// The performance window driven through its widgets: the figures it shows are the command line's, the span
// buttons and pickers choose the span, Cancel stops between symbols, a failing service and a symbol without
// history are told by their messages, and the main window opens one window per portfolio.
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <sstream>

#include "market_window_support.h"
#include "portfolio/performance/history_close_source.h"
#include "portfolio/performance/performance_texts.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_income_item.h"
#include "tests/cli/cli_call.h"
#include "tests/support/exact_values.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/marketdata/c_dlg_performance.h"
#include "ui/marketdata/performance_chart.h"
#include "ui/widgets/string_table.h"

namespace {

// Weekday closes from 2025 to 2026 for the symbols of the fixture; any other symbol gets the 404 page.
std::string HistoryCsv(const std::string& symbol) {
  std::vector<std::string> rows;
  int index = 0;
  for (QDate d(2025, 1, 1); d <= QDate(2026, 12, 31); d = d.addDays(1)) {
    if (d.dayOfWeek() > 5) continue;
    const double close = symbol == "AAA" ? 10.0 + (index % 50) * 0.10 : 20.0 + ((index * 7) % 30) * 0.25;
    char row[96];
    std::snprintf(row, sizeof row, "%s,%.2f,%.2f,%.2f,%.2f,1000,%.2f\n",
                  d.toString(QStringLiteral("yyyy-MM-dd")).toStdString().c_str(), close, close, close, close,
                  close);
    rows.push_back(row);
    ++index;
  }
  std::string csv = "Date,Open,High,Low,Close,Volume,Adj Close\n";
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) csv += *it;
  return csv;
}

class PerformanceWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server.Routes().Get("/table.csv", [this](const httplib::Request& request, httplib::Response& response) {
      const std::string symbol = request.get_param_value("s");
      ++requests;
      if (symbol != "AAA" && symbol != "BBB") {
        response.status = 404;
        response.set_content("<html><body>No such symbol</body></html>", "text/html");
        return;
      }
      response.set_content(HistoryCsv(symbol), "text/csv");
    });
    ASSERT_TRUE(server.Start());
    hosts = std::make_unique<ScopedServiceHosts>(server.Host());
    portfolio = host.AddPortfolio("Growth");
  }

  uint32_t AddBought(const std::string& symbol, uint32_t qty, uint32_t price, int year, int month, int day) {
    VLStockHoldingItem fields;
    fields.name = symbol;
    fields.qty = Shares(qty);
    fields.buyPricePerShare = Cents(price);
    fields.buyCommission = 495;
    fields.purchaseDate = StoredDateOf({year, month, day});
    uint32_t id = 0;
    EXPECT_EQ(host.database->AddStockPosition(host.otherConn, portfolio, fields, id), VLResult::Ok);
    return id;
  }

  // The usual portfolio: AAA held, BBB bought on a Saturday and partly sold, and cash that is left out.
  void AddPositions() {
    AddBought("AAA", 100, 1000, 2025, 2, 3);
    const uint32_t bbb = AddBought("BBB", 50, 2100, 2025, 3, 8);
    uint32_t rest = 0;
    ASSERT_EQ(host.database->SellPosition(host.otherConn, bbb, Shares(20), Cents(2500), 995,
                                          StoredDateOf({2026, 4, 1}), rest),
              VLResult::Ok);
    host.AddCash(portfolio, 100000);
  }

  std::unique_ptr<CDlgPerformance> Open(IDailyCloseSource* closes) {
    auto window = std::make_unique<CDlgPerformance>(*host.database, portfolio, nullptr, closes);
    QSignalSpy computed(window.get(), &CDlgPerformance::Computed);
    window->show();
    EXPECT_TRUE(computed.wait(10000)) << "the first figures never came";
    return window;
  }

  static QString Figure(const QWidget& window, const char* name) {
    auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
  }

  // The command line's table for the same database and service: its figures row and its gains rows.
  std::vector<std::vector<std::string>> CliTable(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> words = {"performance", "Growth",     "--db", host.database->GetPath(),
                                      "--service",   server.Host()};
    words.insert(words.end(), extra.begin(), extra.end());
    const CliResult run = CallCli(words);
    EXPECT_EQ(run.code, 0) << run.err;
    return TsvRows(run.out);
  }

  TestHost host;
  TestServer server;
  std::unique_ptr<ScopedServiceHosts> hosts;
  uint32_t portfolio = 0;
  std::atomic<int> requests{0};
};

TEST_F(PerformanceWindowTest, ShowsTheFiguresOfTheCommandLine) {
  AddPositions();
  CachedCloseSource closes(std::make_unique<HistoryCloseSource>());
  auto window = Open(&closes);
  ASSERT_EQ(window->Outcome().status, PerformanceStatus::Ok);
  EXPECT_EQ(closes.RequestsMade(), 2);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Performance - Growth"));

  const auto table = CliTable();
  ASSERT_GE(table.size(), 5u);
  ASSERT_EQ(table[1].size(), 7u);
  EXPECT_EQ(Figure(*window, "ttwror").toStdString(), table[1][3]);
  EXPECT_EQ(Figure(*window, "ttwrorAnnualized").toStdString(), table[1][4]);
  EXPECT_EQ(Figure(*window, "irr").toStdString(), table[1][5]);
  EXPECT_NE(table[1][5], "n/a");
  // The realized gains: one row per year, as the command line lists them after its header.
  auto* gains = window->findChild<QTableWidget*>(QStringLiteral("realizedGains"));
  ASSERT_EQ(gains->rowCount(), 1);
  EXPECT_EQ(table[3], (std::vector<std::string>{"year", "realizedGain"}));
  EXPECT_EQ(gains->item(0, 0)->text().toStdString(), table[4][0]);
  EXPECT_EQ(gains->item(0, 1)->text().toStdString(), table[4][1]);
  // Without income the window is as it always was: no price-only row, no income column.
  EXPECT_FALSE(window->findChild<QLabel*>(QStringLiteral("ttwrorPrice"))->isVisibleTo(window.get()));
  EXPECT_TRUE(gains->isColumnHidden(2));
  // The chart has a point per valuation day; the figures are text a screen reader speaks as shown.
  EXPECT_EQ(window->findChild<PerformanceChart*>()->PointCount(),
            static_cast<int>(window->Outcome().figures.series.size()));
  EXPECT_GT(window->Outcome().figures.series.size(), 300u);
  for (const char* name : {"ttwror", "ttwrorAnnualized", "irr", "value", "invested"}) {
    auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_EQ(label->accessibleName(), label->text()) << name;
    EXPECT_FALSE(label->accessibleDescription().isEmpty()) << name;
  }
  EXPECT_NE(window->findChild<QLabel*>(QStringLiteral("notes"))->text().indexOf(QStringLiteral("1 cash")),
            -1);

  // A position added elsewhere is counted at once; the histories come from the cache.
  QSignalSpy computed(window.get(), &CDlgPerformance::Computed);
  AddBought("AAA", 10, 1100, 2026, 1, 5);
  ASSERT_TRUE(computed.wait(10000));
  EXPECT_EQ(Figure(*window, "ttwror").toStdString(), CliTable()[1][3]);
  EXPECT_EQ(closes.RequestsMade(), 2);
}

TEST_F(PerformanceWindowTest, IncomeShowsThePriceReturnAndTheNetIncomeByYear) {
  AddPositions();
  VLIncomeItem paid;
  paid.name = "AAA";
  paid.portfolioId = portfolio;
  paid.payDate = StoredDateOf({2025, 6, 2});
  paid.gross = 5000;
  paid.withholding = 750;
  uint32_t id = 0;
  ASSERT_EQ(host.database->AddIncome(host.otherConn, paid, id), VLResult::Ok);
  CachedCloseSource closes(std::make_unique<HistoryCloseSource>());
  auto window = Open(&closes);
  ASSERT_EQ(window->Outcome().status, PerformanceStatus::Ok);

  const auto table = CliTable();
  ASSERT_GE(table.size(), 8u);
  ASSERT_EQ(table[1].size(), 8u);
  EXPECT_EQ(Figure(*window, "ttwror").toStdString(), table[1][3]);
  auto* price = window->findChild<QLabel*>(QStringLiteral("ttwrorPrice"));
  EXPECT_TRUE(price->isVisibleTo(window.get()));
  EXPECT_EQ(price->text().toStdString(), table[1][7]);
  EXPECT_NE(price->text(), Figure(*window, "ttwror"));
  // 2025 has the payment and no sale, 2026 the sale and no payment.
  auto* years = window->findChild<QTableWidget*>(QStringLiteral("realizedGains"));
  EXPECT_FALSE(years->isColumnHidden(2));
  ASSERT_EQ(years->rowCount(), 2);
  EXPECT_EQ(years->item(0, 0)->text(), QStringLiteral("2025"));
  EXPECT_EQ(years->item(0, 1)->text(), QString());
  EXPECT_EQ(years->item(0, 2)->text(), QStringLiteral("42.50"));
  EXPECT_EQ(years->item(1, 0)->text(), QStringLiteral("2026"));
  EXPECT_EQ(years->item(1, 2)->text(), QString());
}

TEST_F(PerformanceWindowTest, SpanButtonsAndPickersChooseTheSpan) {
  AddPositions();
  CachedCloseSource closes(std::make_unique<HistoryCloseSource>());
  auto window = Open(&closes);
  auto* from = window->findChild<QDateEdit*>(QStringLiteral("from"));
  auto* to = window->findChild<QDateEdit*>(QStringLiteral("to"));
  EXPECT_EQ(from->date(), QDate(2025, 2, 3)) << "All starts at the first purchase";
  const QDate today = DateOfDay(TodayDayNumber());
  EXPECT_EQ(to->date(), today);

  QSignalSpy computed(window.get(), &CDlgPerformance::Computed);
  QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("span1Y")), Qt::LeftButton);
  EXPECT_EQ(computed.count(), 1);
  EXPECT_EQ(from->date(), today.addYears(-1));
  EXPECT_EQ(window->Outcome().figures.fromDay, DayOfDate(today.addYears(-1)));
  const auto oneYear = CliTable({"--from", today.addYears(-1).toString(Qt::ISODate).toStdString()});
  EXPECT_EQ(Figure(*window, "ttwror").toStdString(), oneYear[1][3]);

  // A span typed into the pickers: computed when the edit is left, the span buttons released.
  to->setFocus();
  to->setDate(QDate(2026, 6, 30));
  from->setFocus();
  from->setDate(QDate(2025, 6, 2));
  QTest::keyClick(from, Qt::Key_Return);
  ASSERT_GE(computed.count(), 2);
  EXPECT_EQ(window->Outcome().figures.fromDay, DayOfDate(QDate(2025, 6, 2)));
  EXPECT_EQ(window->Outcome().figures.toDay, DayOfDate(QDate(2026, 6, 30)));
  EXPECT_EQ(Figure(*window, "span"),
            QStringLiteral("From 2025-06-02 to 2026-06-30"));  // as the pickers write
  EXPECT_EQ(window->findChild<QPushButton*>(QStringLiteral("spanAll"))->isChecked(), false);
  const auto typed = CliTable({"--from", "2025-06-02", "--to", "2026-06-30"});
  EXPECT_EQ(Figure(*window, "irr").toStdString(), typed[1][5]);
  EXPECT_EQ(closes.RequestsMade(), 2) << "narrower spans come from the cache";
}

// A source that runs `during` while its first request is under way, as the message pump would.
class PumpingSource : public IDailyCloseSource {
 public:
  explicit PumpingSource(std::function<void()> during) : during(std::move(during)) {}
  CloseRequestResult GetCloses(const std::string&, int64_t firstDay, int64_t,
                               std::vector<DailyClose>& closes) override {
    if (during) std::exchange(during, nullptr)();
    closes = {{firstDay, 1000}};
    return {};
  }

 private:
  std::function<void()> during;
};

TEST_F(PerformanceWindowTest, CancelStopsBeforeTheNextSymbol) {
  AddPositions();
  std::unique_ptr<CDlgPerformance> window;
  bool cancelShown = false;
  PumpingSource closes([&] {
    auto* cancel = window->findChild<QPushButton*>(QStringLiteral("cancel"));
    cancelShown = cancel->isVisible() && cancel->isEnabled() && window->IsComputing();
    QTest::mouseClick(cancel, Qt::LeftButton);
  });
  window = std::make_unique<CDlgPerformance>(*host.database, portfolio, nullptr, &closes);
  QSignalSpy computed(window.get(), &CDlgPerformance::Computed);
  window->show();
  ASSERT_TRUE(computed.wait(10000));
  EXPECT_TRUE(cancelShown);
  EXPECT_EQ(window->Outcome().status, PerformanceStatus::Cancelled);
  EXPECT_EQ(Figure(*window, "ttwror"), QStringLiteral("n/a"));
  EXPECT_EQ(Figure(*window, "span"), LoadString(StringId::PerformanceStopped));
  EXPECT_FALSE(window->findChild<QPushButton*>(QStringLiteral("cancel"))->isVisible());
}

TEST_F(PerformanceWindowTest, AnUnknownSymbolAndAnAbsentServiceAreToldAndGiveNoFigures) {
  AddBought("ZZZ", 1, 100, 2025, 2, 3);
  {
    MessageScript messages;
    messages.Expect(static_cast<int>(StringId::PerformanceNoHistory));
    CachedCloseSource closes(std::make_unique<HistoryCloseSource>());
    auto window = Open(&closes);
    EXPECT_EQ(window->Outcome().symbol, "ZZZ");
    EXPECT_TRUE(messages.texts.at(0).startsWith(QStringLiteral("[ZZZ]")));
    EXPECT_EQ(Figure(*window, "irr"), QStringLiteral("n/a"));
  }
  server.Stop();
  MessageScript messages;
  messages.Expect(static_cast<int>(StringId::PerformanceServiceError));
  CachedCloseSource closes(std::make_unique<HistoryCloseSource>());
  auto window = Open(&closes);
  EXPECT_EQ(window->Outcome().status, PerformanceStatus::Unreachable);
  EXPECT_NE(messages.details.at(0).indexOf(QString::fromStdString(server.Host())), -1)
      << messages.details.at(0).toStdString();
  // Update asks again once the service is back; here it is not, so the message comes again.
  messages.Expect(static_cast<int>(StringId::PerformanceServiceError));
  QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("update")), Qt::LeftButton);
  EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(PerformanceWindowTest, TheMainWindowOpensOneWindowPerPortfolio) {
  host.General().defaultPortfolio = static_cast<int32_t>(portfolio);
  CDlgVellumar main(host);
  main.SetConnectionProbe([] { return true; });
  main.show();
  RunPosted();
  for (int i = 0; i < 10; ++i) main.OnTimerTick();
  // The Tools menu and a button share the command.
  QMenu* tools = main.menuBar()->findChild<QMenu*>(QStringLiteral("Tools"));
  ASSERT_NE(tools, nullptr);
  QAction* action = main.Action(kCmdPerformance);
  EXPECT_TRUE(tools->actions().contains(action));
  EXPECT_EQ(action->text(), QStringLiteral("&Performance..."));
  auto* button = main.findChild<QPushButton*>(QString::number(kCmdPerformance));
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_EQ(host.addedWindows.size(), 1u);
  auto* window = qobject_cast<CDlgPerformance*>(host.addedWindows[0].data());
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(CDlgPerformance::ForPortfolio(portfolio), window);
  action->trigger();
  EXPECT_EQ(host.addedWindows.size(), 1u) << "a second request shows the same window";
  RunPosted();
  EXPECT_EQ(Figure(*window, "span"), LoadString(StringId::PerformanceNoLots));
  delete window;
  EXPECT_EQ(CDlgPerformance::ForPortfolio(portfolio), nullptr);
}

}  // namespace
