#include "service_market.h"

#include <cstdio>
#include <cstdlib>

#include "service/market.h"
#include "service/request_router.h"
#include "service/service_options.h"

std::unique_ptr<Market> BenchMarket() {
  SecurityList list;
  std::string error;
  if (!list.LoadFile(std::string(VL_SOURCE_DIR) + "/service/data/securities.csv", error)) {
    std::fprintf(stderr, "cannot load the securities: %s\n", error.c_str());
    std::exit(1);
  }
  SysSeconds now{};
  if (!ParseClockText("2026-12-04T15:30:00-05:00", now)) {
    std::fprintf(stderr, "cannot parse the bench's clock text\n");
    std::exit(1);
  }
  auto market = std::make_unique<Market>(std::move(list), 1, now);
  CorporateActions actions;
  if (!actions.LoadFile(std::string(VL_SOURCE_DIR) + "/service/data/events.csv", error)) {
    std::fprintf(stderr, "cannot load the splits: %s\n", error.c_str());
    std::exit(1);
  }
  market->SetCorporateActions(std::move(actions));
  return market;
}

std::vector<std::string> BenchSymbols(const Market& market, size_t count) {
  std::vector<std::string> symbols;
  for (SecurityType type :
       {SecurityType::Stock, SecurityType::Etf, SecurityType::MutualFund, SecurityType::Index}) {
    for (const Security* security : market.Securities().OfType(type)) {
      if (symbols.size() == count) return symbols;
      symbols.push_back(security->symbol);
    }
  }
  return symbols;
}

std::string ServiceBody(const Market& market, const std::string& target) {
  ServiceRequest request;
  request.target = target;
  request.host = "localhost:8642";
  return HandleServiceRequest(market, request).body;
}
