#pragma once
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_args.h"

// Where a command prints: results on `out`, failures and warnings on `err`, progress on `progress` (none when
// null: standard error is no terminal).
struct CliIo {
  std::ostream& out;
  std::ostream& err;
  std::ostream* progress = nullptr;
  // The command's name, which every error and warning begins with ("vellumar-cli sell: ...").
  std::string command;
  // Called by a command that asks the market-data service only on some paths, right before it asks:
  // starts the bundled service when needed (at most once). Empty when nothing is to be started.
  std::function<void()> startService;
};

// Exit codes of every command: 1 a failure (file, service), 2 wrong usage, 3 the database loads but has bytes
// after its end (check), 4 a value that makes no sense (the dialogs' checks), 5 an operation the position or
// portfolio does not allow (selling more than held, selling a sold position, a sale before the purchase),
// 6 a symbol the market-data service does not know (add-stock --strict, modify-stock --symbol S --strict),
// 7 an undo or redo the change journal refuses (nothing to undo or redo, or the database no longer matches
// the journal), 8 check found positions whose links lead to no record of the file.
enum CliExit : int {
  kExitOk = 0,
  kExitFailed = 1,
  kExitUsage = 2,
  kExitTrailingBytes = 3,
  kExitRefused = 4,
  kExitNotPossible = 5,
  kExitUnknownSymbol = 6,
  kExitJournalRefused = 7,
  kExitBrokenLinks = 8,
};

// One command of vellumar-cli. Every command also accepts --service HOST:PORT and --json.
struct CliCommand {
  const char* name;
  const char* usage;  // the arguments, e.g. "SYMBOL... [--days N]"
  std::set<std::string> valueOptions;
  std::set<std::string> flagNames;
  int (*run)(const CliArgs& args, CliIo& io);
};

// The command groups. Each group lives in its own cli/<group>_commands.cpp, which CMake picks up by
// its name; registering a group is its one line in AllCliCommands() (cli/command_table.cpp).
std::vector<CliCommand> MarketCommands();           // cli/market_commands.cpp
std::vector<CliCommand> DbCommands();               // cli/db_commands.cpp
std::vector<CliCommand> ViewCommands();             // cli/view_commands.cpp
std::vector<CliCommand> FetchCommands();            // cli/fetch_commands.cpp
std::vector<CliCommand> ListCommands();             // cli/list_commands.cpp
std::vector<CliCommand> MaintenanceCommands();      // cli/maintenance_commands.cpp
std::vector<CliCommand> PerformanceCommands();      // cli/performance_commands.cpp
std::vector<CliCommand> ExchangeCommands();         // cli/exchange_commands.cpp
std::vector<CliCommand> JournalCommands();          // cli/journal_commands.cpp
std::vector<CliCommand> PriceCommands();            // cli/price_commands.cpp
std::vector<CliCommand> CorporateActionCommands();  // cli/corporate_action_commands.cpp
std::vector<CliCommand> IncomeCommands();           // cli/income_commands.cpp
std::vector<CliCommand> FxCommands();               // cli/fx_commands.cpp

// Whether the command asks the market-data service (and so starts the bundled one when nothing answers).
bool AsksMarketService(const std::string& command);

// Every command, in the order the help lists them.
std::vector<CliCommand> AllCliCommands();
