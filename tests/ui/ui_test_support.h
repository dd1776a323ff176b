#pragma once
// What the window tests share: a host over a database in a temporary folder, a scripted answerer for the
// message boxes, a replaceable dialog runner and a second connection that changes the database the way
// another window would.
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDialog>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "marketdata/stock_info.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_quote_source.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "prefs/vl_prefs.h"
#include "tests/support/exact_values.h"
#include "tests/support/null_window.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/main_window_host.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/message_box.h"

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

// Quotes whose change follows the symbol: "UP" symbols rise, "DN" symbols fall, others are unchanged.
class SignedQuoteSource : public IVLQuoteSource {
 public:
  bool FetchQuotes(const std::vector<StockInfo*>& quotes, std::string&) override {
    for (StockInfo* q : quotes) {
      if (q->symbol.rfind("NOSUCH", 0) == 0) {  // a symbol the service does not know
        q->name = q->exchange = q->lastTrade = q->change = "N/A";
        continue;
      }
      q->name = q->symbol + " Corp";
      q->exchange = "NYSE";
      q->lastTrade = "20.00";
      q->previousClose = "19.00";
      const bool up = q->symbol.rfind("UP", 0) == 0;
      const bool down = q->symbol.rfind("DN", 0) == 0;
      q->change = up ? "+1.00" : down ? "-1.00" : "0.00";
      q->lastTradeTime = "4:00pm";
    }
    return true;
  }
  bool FetchMarketTime(int32_t, std::string& time, std::string& status) override {
    time = "Mon Dec 7 4:00PM ET";
    status = "U.S. Markets Closed";
    return true;
  }
  bool IsSupportedMarket(int32_t market) const override { return market >= 0 && market < 30; }
};

class TestHost : public IMainWindowHost {
 public:
  // Where the window asks for splits after an Update; none unless a test sets one.
  ISplitEventSource* splitSource = nullptr;
  ISplitEventSource* GetSplitSource() override { return splitSource; }
  TestHost() : format(NumberFormat::English()) {
    prefs.SetFileName(folder.filePath(QStringLiteral("Vellumar.ini")).toStdString());
    prefs.SetDefaults();
    prefs.GetGeneralPrefs().showDisclaimer = false;
    prefs.GetUpdatePrefs().updateAtStart = false;  // the tests that want it turn it on
    database = std::make_unique<VLDatabase>(folder.filePath(QStringLiteral("Vellumar.db")).toStdString());
    EXPECT_EQ(database->Create(), DbResult::Ok);
    database->SetQuoteSource(std::make_unique<SignedQuoteSource>());
    other = std::make_shared<NullWindow>();
    otherConn = database->Connect(other, 1, 2, 3);
    EXPECT_NE(otherConn, nullptr);
  }
  ~TestHost() override {
    if (otherConn) {
      EXPECT_EQ(database->Disconnect(otherConn), VLResult::Ok);
    }
  }

  VLDatabase& GetDatabase() override { return *database; }
  VLPrefs& GetPrefs() override { return prefs; }
  VLGeneralPrefs& General() { return prefs.GetGeneralPrefs(); }
  void Backup(QWidget*) override { ++backups; }
  void AddSecondaryWindow(QWidget* window) override {
    secondaryWindows = true;
    addedWindows.emplace_back(window);
  }
  bool HasSecondaryWindows() const override { return secondaryWindows; }
  void CloseSecondaryWindows() override {
    ++secondaryClosed;
    secondaryWindows = false;
  }
  RealPriceFolders GetRealPriceFolders() const override { return realPriceFolders; }
  void RestartMarketDataService() override { ++serviceRestarts; }

  // Changes made through the second connection, as another window or process would make them.
  uint32_t AddPortfolio(const std::string& name) {
    VLPortfolioItem p;
    p.name = name;
    EXPECT_EQ(database->AddPortfolio(otherConn, p), VLResult::Ok);
    return p.id;
  }
  uint32_t AddStock(uint32_t portfolio, const std::string& symbol, uint32_t qty = 100,
                    uint32_t price = 1500) {
    VLStockHoldingItem fields;
    fields.name = symbol;
    fields.qty = Shares(qty);
    fields.buyPricePerShare = Cents(price);
    fields.purchaseDate = 1100000000;
    uint32_t id = 0;
    EXPECT_EQ(database->AddStockPosition(otherConn, portfolio, fields, id), VLResult::Ok);
    return id;
  }
  uint32_t AddCash(uint32_t portfolio, uint32_t cents) {
    uint32_t id = 0;
    EXPECT_EQ(database->AddCashPosition(otherConn, portfolio, cents, "cash", id), VLResult::Ok);
    return id;
  }
  void UpdateQuotes() { EXPECT_EQ(database->UpdateQuotes(otherConn), VLResult::Ok); }

  QTemporaryDir folder;
  ScopedNumberFormat format;
  VLPrefs prefs;
  std::unique_ptr<VLDatabase> database;
  VLDatabaseConn* otherConn = nullptr;
  int backups = 0;
  bool secondaryWindows = false;
  int secondaryClosed = 0;
  RealPriceFolders realPriceFolders;
  int serviceRestarts = 0;
  std::vector<QPointer<QWidget>> addedWindows;

 private:
  std::shared_ptr<NullWindow> other;
};

// Answers the message boxes in the order the test queued them and records every id shown; a box nobody
// expected fails the test and is answered No/Cancel.
class MessageScript {
 public:
  MessageScript() {
    previous = SetMessageAnswerer([this](const MessageRequest& request) {
      const int id = static_cast<int>(request.id);
      shown.push_back(id);
      texts.push_back(request.text);
      details.push_back(request.detail);
      if (queue.empty() || queue.front().first != id) {
        ADD_FAILURE() << "unexpected message " << id << ": " << request.text.toStdString();
        return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
      }
      const MessageAnswer answer = queue.front().second;
      queue.pop_front();
      return answer;
    });
  }
  ~MessageScript() {
    EXPECT_TRUE(queue.empty()) << "expected message " << (queue.empty() ? 0 : queue.front().first)
                               << " never shown";
    SetMessageAnswerer(std::move(previous));
  }
  MessageScript(const MessageScript&) = delete;
  MessageScript& operator=(const MessageScript&) = delete;

  void Expect(int id, MessageAnswer answer = MessageAnswer::Ok) { queue.emplace_back(id, answer); }

  std::vector<int> shown;
  std::vector<QString> texts;
  std::vector<QString> details;

 private:
  std::deque<std::pair<int, MessageAnswer>> queue;
  MessageAnswerer previous;
};

// Runs every dialog through `run` for the life of the object.
class DialogScript {
 public:
  explicit DialogScript(DialogRunner run) { previous = SetDialogRunner(std::move(run)); }
  ~DialogScript() { SetDialogRunner(std::move(previous)); }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

 private:
  DialogRunner previous;
};

// Lets queued commands (deferred initialisation and what it posts) run.
inline void RunPosted() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// The texts of one column of a list, top to bottom.
inline QStringList ColumnTexts(const QAbstractItemView* list, int column = 0) {
  QStringList texts;
  for (int r = 0; r < list->model()->rowCount(); ++r)
    texts << list->model()->index(r, column).data().toString();
  return texts;
}

// The main window over `host`, shown on `portfolio` without the summary panel, its deferred start run.
inline std::unique_ptr<CDlgVellumar> OpenWindowOn(TestHost& host, uint32_t portfolio) {
  host.General().defaultPortfolio = static_cast<int32_t>(portfolio);
  host.General().showPortfolioSummary = false;
  auto window = std::make_unique<CDlgVellumar>(host);
  window->show();
  RunPosted();
  return window;
}
