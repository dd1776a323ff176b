// Update and the quote look-up against a quote service on 127.0.0.1: the answer reaches the lists through
// the database's update event; a failing service shows the message and leaves the lists alone.
#include <QLabel>
#include <QLineEdit>

#include <QDir>
#include <QStatusBar>
#include <QTimer>

#include <atomic>
#include <mutex>

#include "dialog_steps.h"
#include "market_window_support.h"
#include "marketdata/service_hosts.h"
#include "portfolio/database/vl_web_quote_source.h"
#include "tests/support/temp_folder.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_view.h"
#include "ui_test_support.h"

namespace {

class UpdateServiceTest : public ::testing::Test {
 protected:
  UpdateServiceTest() : previousHosts(GetServiceHosts()) {
    server.Routes().Get("/d/quotes.csv", [this](const httplib::Request& req, httplib::Response& res) {
      if (failing) {
        res.status = 500;
        return;
      }
      std::string body;
      std::string symbols = req.get_param_value("s");
      for (size_t start = 0; start <= symbols.size();) {
        const size_t end = std::min(symbols.find(' ', start), symbols.size());
        body += FixtureQuoteLine(symbols.substr(start, end - start));
        start = end + 1;
      }
      res.set_content(body, "text/csv");
    });
    server.Routes().Post("/vellumar/fetch", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex);
      fetched.push_back(req.get_param_value("s"));
      res.set_content(req.get_param_value("s") + ": 5 days added\n", "text/plain");
    });
    EXPECT_TRUE(server.Start());
    ServiceHosts hosts = previousHosts;
    hosts.quoteCsvHost = hosts.quoteWebHost = server.Host();
    hosts.startLocalService = false;
    hosts.receiveTimeoutMs = 5000;
    SetServiceHosts(hosts);
    host.database->SetQuoteSource(std::make_unique<VLWebQuoteSource>());
    portfolio = host.AddPortfolio("Growth");
    host.AddStock(portfolio, "MSFT", 10, 2500);
    window = OpenWindowOn(host, portfolio);
  }
  ~UpdateServiceTest() override {
    window.reset();
    SetServiceHosts(previousHosts);
  }
  QStringList RowTexts() const {
    QStringList texts;
    const QAbstractItemModel* model = window->HeldList()->model();
    for (int c = 0; c < model->columnCount(); ++c) texts << model->index(0, c).data().toString();
    return texts;
  }

  // Market data can be reached, as the window finds out on its next second.
  void Connect(CDlgVellumar& w) {
    w.SetConnectionProbe([] { return true; });
    for (int i = 0; i < 10; ++i) w.OnTimerTick();
  }
  std::vector<std::string> Fetched() {
    std::lock_guard<std::mutex> lock(mutex);
    return fetched;
  }

  ServiceHosts previousHosts;
  TestServer server;
  std::mutex mutex;
  std::vector<std::string> fetched;  // the real-price fetches asked for, by symbol
  std::atomic<bool> failing{false};
  TestHost host;
  uint32_t portfolio = 0;
  std::unique_ptr<CDlgVellumar> window;
};

TEST_F(UpdateServiceTest, SuccessRefillsThroughTheEventAndFailureShowsTheMessage) {
  EXPECT_FALSE(RowTexts().contains(QStringLiteral("Microsoft Corp")));
  window->RunCommand(kCmdUpdate);
  RunPosted();
  const QStringList updated = RowTexts();
  EXPECT_TRUE(updated.contains(QStringLiteral("Microsoft Corp"))) << updated.join(u'|').toStdString();

  failing = true;
  MessageScript messages;
  messages.Expect(2067);
  window->RunCommand(kCmdUpdate);
  RunPosted();
  EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("1010"))->text(), QString());
  EXPECT_EQ(RowTexts(), updated);
  EXPECT_FALSE(window->statusBar()->currentMessage().contains(QStringLiteral("Updating")));
}

TEST_F(UpdateServiceTest, QuoteLookupShowsTheLineForAStockAnIndexAnUnknownSymbolAndAFailure) {
  auto* edit = window->findChild<QLineEdit*>(QStringLiteral("2088"));
  auto* line = window->findChild<QLabel*>(QStringLiteral("2090"));
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(line, nullptr);
  auto lookUp = [&](const QString& symbol) {
    edit->setText(symbol);
    window->RunCommand(kCmdQuote);
    return line->text();
  };
  EXPECT_TRUE(lookUp(QStringLiteral("MSFT")).startsWith(QStringLiteral(" MSFT (Microsoft Corp)  ")));
  EXPECT_TRUE(lookUp(QStringLiteral("MSFT")).contains(QStringLiteral("Vol: ")));
  const QString index = lookUp(QStringLiteral("^DJI"));
  EXPECT_TRUE(index.startsWith(QStringLiteral(" ^DJI (DOW JONES INDUSTRIAL AVERAGE IN)  ")))
      << index.toStdString();
  EXPECT_FALSE(index.contains(QStringLiteral("Vol:")));
  EXPECT_EQ(lookUp(QStringLiteral("XQZZ")), QStringLiteral(" No such ticker symbol \"XQZZ\""));
  failing = true;
  EXPECT_EQ(lookUp(QStringLiteral("MSFT")),
            QStringLiteral(" Unable to get quote - please check your internet connection"));
}

// The refreshes nobody asked for: once connected at start, on the timer, and the quote of a position just
// added. A failure among them shows in the status bar, not in a box.
TEST_F(UpdateServiceTest, QuotesComeAtStartOnTheTimerAndForANewPositionAtOnce) {
  host.prefs.GetUpdatePrefs().updateAtStart = true;
  CDlgVellumar starting(host);
  starting.show();
  RunPosted();
  auto rows = [](const CDlgVellumar& w) {
    QStringList texts;
    const QAbstractItemModel* model = w.HeldList()->model();
    for (int r = 0; r < model->rowCount(); ++r) texts << model->index(r, 1).data().toString();
    return texts;
  };
  EXPECT_EQ(rows(starting), QStringList{""}) << "no update before the connection is known";
  Connect(starting);
  EXPECT_EQ(rows(starting), QStringList{"Microsoft Corp"});

  // A position added while connected gets its quote at once.
  Connect(*window);
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    Type(dialog, "symbol", "^DJI");
    PressOk(dialog);
  });
  window->RunCommand(kCmdPositionNew);
  RunPosted();
  EXPECT_TRUE(rows(*window).contains(QStringLiteral("DOW JONES INDUSTRIAL AVERAGE IN")))
      << rows(*window).join(u'|').toStdString();

  // Every five minutes; the timer's own update reports a failure quietly.
  host.prefs.GetUpdatePrefs().updateEvery = true;
  host.prefs.GetUpdatePrefs().updateMinutes = 5;
  window->ApplyUpdateTimer();
  ASSERT_TRUE(window->UpdateTimer().isActive());
  EXPECT_EQ(window->UpdateTimer().interval(), 5 * 60 * 1000);
  failing = true;
  MessageScript noBox;
  QMetaObject::invokeMethod(const_cast<QTimer*>(&window->UpdateTimer()), "timeout");
  EXPECT_EQ(window->statusBar()->currentMessage(),
            QStringLiteral(" Vellumar was unable to update its database."));
  EXPECT_TRUE(Fetched().empty()) << "real prices are off";
}

// Turned on, an update first has the service fetch the real prices of every symbol held.
TEST_F(UpdateServiceTest, WithRealPricesOnTheServiceFetchesEverySymbolFirst) {
  host.AddStock(portfolio, "^DJI", 5, 4000);
  MessageScript noBox;
  const std::string data = host.folder.filePath(QStringLiteral("marketdata/")).toStdString();
  host.realPriceFolders = {data, std::string()};
  QDir().mkpath(QString::fromStdString(data));
  WriteText(data + "sources.ini", "[source stooq]\n");
  window->RunCommand(kCmdUpdate);
  EXPECT_TRUE(Fetched().empty()) << "real prices are off";
  host.prefs.GetUpdatePrefs().fetchRealPrices = true;
  window->RunCommand(kCmdUpdate);
  RunPosted();
  EXPECT_EQ(Fetched(), (std::vector<std::string>{"MSFT", "^DJI"}));
  EXPECT_TRUE(
      window->findChild<QLabel*>(QStringLiteral("1010"))->text().startsWith(QStringLiteral("Updated: ")))
      << "the quote refresh followed";
}

}  // namespace
