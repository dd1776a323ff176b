#include "cli/cli_runner.h"

#include "cli/command_table.h"
#include "marketdata/service_hosts.h"
#include "vl_version.h"

static void PrintHelp(std::ostream& out, const std::vector<CliCommand>& commands) {
  out << "usage: vellumar-cli COMMAND [ARGS] [--service HOST:PORT] [--json]\n"
         "       vellumar-cli --version\n\ncommands:\n";
  for (const CliCommand& c : commands) out << "  " << c.name << " " << c.usage << "\n";
  out << "\nThe database commands' --db defaults to the application's database: Vellumar.db beside the\n"
         "program when its folder is writable, else $XDG_DATA_HOME/vellumar/Vellumar.db\n"
         "(~/.local/share/vellumar/Vellumar.db).\n";
}

int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const std::vector<CliCommand> commands = AllCliCommands();
  if (!words.empty() && words[0] == "--version") {
    out << "vellumar-cli " << VELLUMAR_VERSION << "\n";
    return kExitOk;
  }
  if (words.empty() || words[0] == "help" || words[0] == "--help" || words[0] == "-h") {
    PrintHelp(words.empty() ? err : out, commands);
    return words.empty() ? kExitUsage : kExitOk;
  }
  const CliCommand* command = nullptr;
  for (const CliCommand& c : commands) {
    if (words[0] == c.name) command = &c;
  }
  if (!command) {
    err << "vellumar-cli: unknown command '" << words[0] << "'\n";
    PrintHelp(err, commands);
    return kExitUsage;
  }
  std::set<std::string> valueOptions = command->valueOptions;
  valueOptions.insert("service");
  std::set<std::string> flagNames = command->flagNames;
  flagNames.insert("json");
  CliArgs args;
  std::string error;
  if (!CliArgs::Parse({words.begin() + 1, words.end()}, valueOptions, flagNames, &args, &error)) {
    err << "vellumar-cli " << command->name << ": " << error << "\nusage: vellumar-cli " << command->name
        << " " << command->usage << "\n";
    return kExitUsage;
  }
  if (args.HasOption("service")) {
    if (args.Option("service").empty()) {
      err << "vellumar-cli: --service needs HOST:PORT\n";
      return kExitUsage;
    }
    ServiceHosts hosts = GetServiceHosts();
    hosts.SetAllHosts(args.Option("service"));
    SetServiceHosts(hosts);
  }
  CliIo io{out, err};
  return command->run(args, io);
}
