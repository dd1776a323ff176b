#include "cli/command_table.h"

std::vector<CliCommand> AllCliCommands() {
  using Group = std::vector<CliCommand> (*)();
  // One line per command group.
  static const Group kGroups[] = {
      MarketCommands,
      DbCommands,
      ListCommands,
      ViewCommands,
      FetchCommands,
      MaintenanceCommands,
  };
  std::vector<CliCommand> all;
  for (Group group : kGroups) {
    for (CliCommand& c : group()) all.push_back(std::move(c));
  }
  return all;
}
