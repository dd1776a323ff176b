#include "cli/command_table.h"

std::vector<CliCommand> AllCliCommands() {
  using Group = std::vector<CliCommand> (*)();
  // One line per command group.
  static const Group kGroups[] = {
      MarketCommands,          DbCommands,       ListCommands,  JournalCommands,     ViewCommands,
      PerformanceCommands,     ExchangeCommands, FetchCommands, MaintenanceCommands, PriceCommands,
      CorporateActionCommands, IncomeCommands,   FxCommands,
  };
  std::vector<CliCommand> all;
  for (Group group : kGroups) {
    for (CliCommand& c : group()) all.push_back(std::move(c));
  }
  return all;
}

bool AsksMarketService(const std::string& command) {
  static const std::set<std::string> kServiceCommands = {
      "quote",        "history", "lookup",    "market-time",  "chart",       "news",
      "update",       "fetch",   "add-stock", "modify-stock", "performance", "fetch-splits",
      "fetch-income", "fx-rate", "view",      "summary",      "report"};
  return kServiceCommands.count(command) != 0;
}
