#include "cli/cli_runner.h"

#include <sstream>

#include "cli/checked_output.h"
#include "cli/cli_output.h"
#include "cli/command_help.h"
#include "cli/command_table.h"
#include "cli/json_writer.h"
#include "framework/app_paths.h"
#include "framework/file_util.h"
#include "marketdata/local_service.h"
#include "marketdata/service_hosts.h"
#include "prefs/vl_service_prefs.h"
#include "vl_version.h"

// add-stock and modify-stock ask the service only about a symbol, once their other checks have passed;
// update, fetch and performance once the database is open and has something to ask for.
static bool StartsServiceOnDemand(const std::string& name) {
  return name == "add-stock" || name == "modify-stock" || name == "update" || name == "fetch" ||
         name == "performance" || name == "fetch-income" || name == "view" || name == "summary" ||
         name == "report";
}

static bool AsksService(const std::string& name, const CliArgs& args) {
  if (name == "add-stock" || name == "modify-stock") {
    return !args.Has("no-check") && (name == "add-stock" || args.HasOption("symbol"));
  }
  return AsksMarketService(name);
}

// The "Services" settings of the application's vellumar.ini, with --service pointing every host elsewhere.
static ServiceHosts ReadServiceHosts(const CliArgs& args) {
  VLServicePrefs prefs;
  prefs.SetFileName(GetAppPaths().IniPath());
  prefs.Load();
  ServiceHosts hosts = prefs.hosts;
  if (args.HasOption("service")) hosts.SetAllHosts(args.Option("service"));
  return hosts;
}

static void StartServiceIfNeeded(LocalService& service, const ServiceHosts& hosts, CliIo& io) {
  const std::string folder = GetModuleFolder();
  switch (service.EnsureRunning(hosts, folder)) {
    case LocalService::Outcome::Missing:
      PrintError(io.err, io.command,
                 "nothing answers at " + hosts.quoteCsvHost + " and there is no " + folder +
                     "vellumar-marketd to start");
      break;
    case LocalService::Outcome::Failed:
      PrintError(io.err, io.command,
                 "nothing answers at " + hosts.quoteCsvHost + " and " + folder +
                     "vellumar-marketd did not start there");
      break;
    default:
      break;
  }
}

// Whether the words ask for JSON (before a lone "--"), known before they are parsed so that even wrong usage
// is reported as JSON.
static bool WantsJson(const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    if (word == "--") return false;
    if (word == "--json") return true;
  }
  return false;
}

static int RunCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
                      std::ostream* progress) {
  const std::vector<CliCommand> commands = AllCliCommands();
  if (!words.empty() && words[0] == "--version") {
    out << "vellumar-cli " << VELLUMAR_VERSION << "\n";
    return kExitOk;
  }
  if (words.empty() || words[0] == "help" || words[0] == "--help" || words[0] == "-h") {
    if (words.size() >= 2) {
      if (!FindCommandHelp(words[1])) {
        PrintError(err, "", "unknown command '" + words[1] + "'; 'vellumar-cli help' lists them");
        return kExitUsage;
      }
      PrintCommandHelp(out, words[1]);
      return kExitOk;
    }
    PrintOverview(words.empty() ? err : out);
    return words.empty() ? kExitUsage : kExitOk;
  }
  const CliCommand* command = nullptr;
  for (const CliCommand& c : commands) {
    if (words[0] == c.name) command = &c;
  }
  if (!command) {
    PrintError(err, "", "unknown command '" + words[0] + "'; 'vellumar-cli help' lists them");
    return kExitUsage;
  }
  for (size_t i = 1; i < words.size() && words[i] != "--"; ++i) {
    if (words[i] == "--help" || words[i] == "-h") {
      PrintCommandHelp(out, command->name);
      return kExitOk;
    }
  }
  std::set<std::string> valueOptions = command->valueOptions;
  valueOptions.insert("service");
  std::set<std::string> flagNames = command->flagNames;
  flagNames.insert("json");
  CliArgs args;
  std::string error;
  if (!CliArgs::Parse({words.begin() + 1, words.end()}, valueOptions, flagNames, &args, &error)) {
    PrintError(err, command->name, error);
    PrintUsageLine(err, command->name);
    return kExitUsage;
  }
  if (args.HasOption("service") && args.Option("service").empty()) {
    PrintError(err, command->name, "--service needs HOST:PORT");
    return kExitUsage;
  }
  const ServiceHosts hosts = ReadServiceHosts(args);
  SetServiceHosts(hosts);
  CliIo io{out, err, progress, command->name, {}};
  // Lives for the length of the command: a service started here is stopped on every way out.
  LocalService service;
  service.SetQuiet(true);
  // A server named with --service is the user's own: nothing is started in its place.
  if (AsksService(command->name, args) && !args.HasOption("service")) {
    if (!StartsServiceOnDemand(command->name)) {
      StartServiceIfNeeded(service, hosts, io);
    } else {
      // Not for a refusal or a database without anything to ask: started when the command asks.
      io.startService = [&service, &hosts, &io, started = false]() mutable {
        if (!started) StartServiceIfNeeded(service, hosts, io);
        started = true;
      };
    }
  }
  return command->run(args, io);
}

// The command, then the check that everything it printed reached its destination.
static int RunCommandChecked(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
                             std::ostream* progress) {
  const int code = RunCommand(words, out, err, progress);
  return FinishOutput(out, err, words.empty() ? std::string() : words[0], code);
}

int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
           std::ostream* progress) {
  if (!WantsJson(words)) return RunCommandChecked(words, out, err, progress);
  // With --json, what the command says on the error stream becomes one object there: the text and the exit
  // code (0 when it was only a warning).
  std::ostringstream said;
  const int code = RunCommandChecked(words, out, said, progress);
  std::string message = said.str();
  while (!message.empty() && message.back() == '\n') message.pop_back();
  if (!message.empty()) err << "{\"message\":" << JsonString(message) << ",\"code\":" << code << "}\n";
  return code;
}
