#pragma once
// A database in a temporary folder, connected through a recording window, with a scripted quote source.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "marketdata/stock_info.h"
#include "portfolio/columns/clock.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_quote_source.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/temp_folder.h"

// Records what was posted to it and what every listener heard, in one shared log.
struct NotificationLog {
  std::vector<std::string> entries;
};

class RecordingWindow : public IVLCommandWindow {
 public:
  explicit RecordingWindow(NotificationLog& log) : log(log) {}
  void PostCommand(uint32_t commandId) override { log.entries.push_back("cmd " + std::to_string(commandId)); }
  NotificationLog& log;
};

class RecordingListener : public IVLDatabaseListener {
 public:
  explicit RecordingListener(NotificationLog& log) : log(log) {}
  void OnDatabaseEvent(const VLDatabaseEvent& e) override {
    log.entries.push_back("event " + std::to_string(e.kind) + " " + std::to_string(e.portfolioId) + " " +
                          std::to_string(e.itemId));
  }
  NotificationLog& log;
};

// Answers quotes from a function of the symbol; can fail a chosen request and run code during a request.
class ScriptedQuoteSource : public IVLQuoteSource {
 public:
  std::vector<size_t> batchSizes;
  int failRequest = -1;  // 0-based request number that fails
  std::function<void()> duringRequest;
  bool marketOk = true;
  std::string cents = "25";       // of every trade price
  std::set<std::string> unknown;  // symbols answered as the service answers a symbol it does not know

  bool FetchQuotes(const std::vector<StockInfo*>& quotes, std::string& error) override {
    const int request = static_cast<int>(batchSizes.size());
    batchSizes.push_back(quotes.size());
    if (duringRequest) duringRequest();
    if (request == failRequest) {
      error = "Error parsing content";
      return false;
    }
    for (StockInfo* q : quotes) {
      if (unknown.count(q->symbol)) {
        q->name = q->exchange = q->lastTrade = q->change = "N/A";
        continue;
      }
      q->lastTrade = "1" + std::to_string(q->symbol.size()) + "." + cents;
      q->name = q->symbol + " Inc";
      q->exchange = "NYSE";
    }
    return true;
  }
  bool FetchMarketTime(int32_t market, std::string& time, std::string& status) override {
    if (!marketOk) return false;
    time = "4:00PM ET m" + std::to_string(market);
    status = "closed";
    return true;
  }
  bool IsSupportedMarket(int32_t market) const override { return market >= 0 && market < 13; }
};

class DatabaseTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kPortfolioCmd = 32825;
  static constexpr uint32_t kPositionCmd = 32835;
  static constexpr uint32_t kQuoteCmd = 32836;

  void SetUp() override {
    path = folder.File("Vellumar.db");
    Reopen(true);
  }

  void TearDown() override { db.reset(); }

  // A fresh database object over the file (created when asked), connected and listened to.
  void Reopen(bool create = false) {
    db = std::make_unique<VLDatabase>(path);
    if (create) {
      ASSERT_EQ(db->Create(), DbResult::Ok);
    }
    auto source = std::make_unique<ScriptedQuoteSource>();
    quoteSource = source.get();
    db->SetQuoteSource(std::move(source));
    window = std::make_shared<RecordingWindow>(log);
    conn = db->Connect(window, kPortfolioCmd, kPositionCmd, kQuoteCmd);
    ASSERT_NE(conn, nullptr);
    db->AddListener(&listener);
    log.entries.clear();
  }

  uint32_t AddPortfolio(const std::string& name) {
    VLPortfolioItem p;
    p.name = name;
    EXPECT_EQ(db->AddPortfolio(conn, p), VLResult::Ok);
    return p.id;
  }

  uint32_t AddStock(uint32_t portfolioId, const std::string& symbol, uint32_t qty = 100,
                    uint32_t price = 1000) {
    VLStockHoldingItem fields;
    fields.name = symbol;
    fields.qty = Shares(qty);
    fields.buyPricePerShare = Cents(price);
    uint32_t id = 0;
    EXPECT_EQ(db->AddStockPosition(conn, portfolioId, fields, id), VLResult::Ok);
    return id;
  }

  TempFolder folder{"vl_vldb"};
  std::string path;
  std::shared_ptr<const Clock> fixedClock = std::make_shared<FixedClock>(1700000000);
  ScopedClock clockScope{fixedClock};
  NotificationLog log;
  RecordingListener listener{log};
  std::unique_ptr<VLDatabase> db;
  ScriptedQuoteSource* quoteSource = nullptr;
  std::shared_ptr<RecordingWindow> window;
  VLDatabaseConn* conn = nullptr;
};
