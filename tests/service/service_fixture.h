#pragma once

#include "service/market.h"
#include "service/market_server.h"
#include "service/request_router.h"
#include "service/service_options.h"
#include "tests/support/server_thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

inline const std::string kServiceFixtures = std::string(VL_FIXTURES_DIR) + "/service";

inline SysSeconds ClockAt(const char* text) {
  SysSeconds at{};
  EXPECT_TRUE(ParseClockText(text, at)) << text;
  return at;
}

// The fixture securities, seen at a fixed clock; the real history folder is loaded on request.
inline std::unique_ptr<Market> FixtureMarket(const char* now = "2026-12-04T15:30:00-05:00", uint64_t seed = 1,
                                             bool realHistory = true) {
  SecurityList list;
  std::string error;
  EXPECT_TRUE(list.LoadFile(kServiceFixtures + "/securities.csv", error)) << error;
  auto market = std::make_unique<Market>(std::move(list), seed, ClockAt(now));
  std::vector<std::string> messages;
  if (realHistory) market->LoadHistoryFolder(kServiceFixtures + "/history", messages);
  return market;
}

// The securities, splits and symbol changes the service ships with, seen at a fixed clock.
inline std::unique_ptr<Market> BundledMarket(const char* now = "2026-12-04T15:30:00-05:00") {
  const std::string bundled = std::string(VL_FIXTURES_DIR) + "/../../service/data";
  SecurityList list;
  std::string error;
  EXPECT_TRUE(list.LoadFile(bundled + "/securities.csv", error)) << error;
  auto market = std::make_unique<Market>(std::move(list), 1, ClockAt(now));
  CorporateActions actions;
  EXPECT_TRUE(actions.LoadFile(bundled + "/events.csv", error)) << error;
  market->SetCorporateActions(std::move(actions));
  return market;
}

inline ServiceResponse Get(const Market& market, const std::string& target,
                           const std::string& host = "localhost:8642") {
  ServiceRequest request;
  request.target = target;
  request.host = host;
  return HandleServiceRequest(market, request);
}

// Serves a market on an ephemeral loopback port for the life of the object. Ready() is false when the
// address cannot be bound or the server does not run within a few seconds.
class ServedMarket {
 public:
  explicit ServedMarket(const Market& market) : server(market, false) {
    std::string error;
    bound = server.Bind("127.0.0.1", 0, error);
    EXPECT_TRUE(bound) << error;
    running = bound && runner.Start();
  }
  int Port() const { return server.Port(); }
  bool Ready() const { return running; }

 private:
  MarketServer server;
  ServerThread runner{{[this] {
                         if (!server.Run()) ADD_FAILURE() << "the server ended before it was stopped";
                       },
                       [this] { return server.IsRunning(); }, [this] { server.Stop(); }}};
  bool bound = false;
  bool running = false;
};
