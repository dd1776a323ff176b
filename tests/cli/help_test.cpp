// The help of vellumar-cli: every command explains its usage, each of its options and gives an example, in
// the layout manual pages are made from.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "cli/command_help.h"
#include "cli/command_table.h"
#include "tests/cli/cli_call.h"

namespace {

// The help a command refers to for the rest of its options ("(and every option of view)").
std::string ReferredHelp(const std::string& text) {
  const std::string marker = "every option of ";
  const size_t at = text.find(marker);
  if (at == std::string::npos) return {};
  const size_t end = text.find_first_of(" )", at + marker.size());
  return CallCli({"help", text.substr(at + marker.size(), end - at - marker.size())}).out;
}

}  // namespace

TEST(CliHelp, EveryCommandHasUsageOptionsAndAnExample) {
  const std::regex optionLine(R"(^  --[a-z0-9-]+( [A-Z:/|=.-]+)?  +\S.*$)");
  for (const CliCommand& command : AllCliCommands()) {
    SCOPED_TRACE(command.name);
    const CliResult help = CallCli({"help", command.name});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind(std::string("usage: vellumar-cli ") + command.name + " ", 0), 0u);
    EXPECT_NE(help.out.find("\noptions:\n"), std::string::npos);
    EXPECT_NE(help.out.find(std::string("\nexample:\n  vellumar-cli ") + command.name + " "),
              std::string::npos);
    EXPECT_EQ(CallCli({command.name, "--help"}).out, help.out);
    EXPECT_EQ(CallCli({command.name, "-h"}).code, 0);

    // Each option the command accepts is explained, here or in the help it refers to.
    const std::string referred = ReferredHelp(help.out);
    std::set<std::string> names = command.valueOptions;
    names.insert(command.flagNames.begin(), command.flagNames.end());
    for (const std::string& name : names) {
      const std::string option = "  --" + name + " ";
      const std::string flag = "  --" + name + "  ";
      const bool explained =
          help.out.find(option) != std::string::npos || referred.find(option) != std::string::npos;
      EXPECT_TRUE(explained || help.out.find(flag) != std::string::npos) << "--" << name;
    }
    // Option lines: the option, two or more blanks, its meaning.
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("  --", 0) == 0) {
        EXPECT_TRUE(std::regex_match(line, optionLine)) << line;
      }
    }
  }
}

TEST(CliHelp, TheOverviewGroupsEveryCommandOnce) {
  const CliResult overview = CallCli({"help"});
  EXPECT_EQ(overview.code, 0);
  for (const char* group : {"\nmarket data:\n", "\nportfolios:\n", "\npositions:\n", "\nviews and reports:\n",
                            "\nmaintenance:\n"}) {
    EXPECT_NE(overview.out.find(group), std::string::npos) << group;
  }
  for (const CliCommand& command : AllCliCommands()) {
    const std::string line = std::string("\n  ") + command.name + " ";
    const size_t at = overview.out.find(line);
    EXPECT_NE(at, std::string::npos) << command.name;
    EXPECT_EQ(overview.out.find(line, at + 1), std::string::npos) << command.name;
  }
  // And names no command the table lacks: each line of a group is a command that runs.
  std::set<std::string> names;
  for (const CliCommand& command : AllCliCommands()) names.insert(command.name);
  std::istringstream lines(overview.out.substr(0, overview.out.find("\noptions of every command:")));
  int listed = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  ", 0) != 0 || line.size() < 3 || line[2] == ' ' || line[2] == '-') continue;
    const std::string name = line.substr(2, line.find(' ', 2) - 2);
    EXPECT_EQ(names.count(name), 1u) << line;
    ++listed;
  }
  EXPECT_EQ(listed, static_cast<int>(names.size()));
  const CliResult nothing = CallCli({});
  EXPECT_EQ(nothing.code, 2);
  EXPECT_EQ(nothing.err, overview.out);
}

TEST(CliHelp, WrongUsageShowsTheCommandsUsageLine) {
  const CliResult sell = CallCli({"sell"});
  EXPECT_EQ(sell.code, 2);
  EXPECT_EQ(sell.err,
            "vellumar-cli sell: give the position's ID\n"
            "usage: vellumar-cli sell ID --qty N --price D [--commission D] [--date YYYY-MM-DD]\n");
  const CliResult unknownOption = CallCli({"portfolios", "--colour"});
  EXPECT_EQ(unknownOption.code, 2);
  EXPECT_NE(unknownOption.err.find("usage: vellumar-cli portfolios [--db PATH]\n"), std::string::npos);
  const CliResult region = CallCli({"market-time", "xx"});
  EXPECT_EQ(region.code, 2);
  EXPECT_NE(region.err.find("us (0), ar (1), au (3)"), std::string::npos) << region.err;
  EXPECT_NE(region.err.find("uk (28)"), std::string::npos) << region.err;
  const CliResult unknown = CallCli({"help", "frobnicate"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_EQ(unknown.err, "vellumar-cli: unknown command 'frobnicate'; 'vellumar-cli help' lists them\n");
}

TEST(CliHelp, ViewListsEveryColumnForColumnsAndSort) {
  const CliResult list = CallCli({"view", "--list-columns"});
  EXPECT_EQ(list.code, 0) << list.err;
  std::istringstream lines(list.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "id\theader\tcategory\tdescription");
  int rows = 0;
  while (std::getline(lines, line)) {
    EXPECT_EQ(line.rfind(std::to_string(rows) + "\t", 0), 0u) << line;
    // Every column has a header, a category and a description.
    EXPECT_EQ(line.find("\t\t"), std::string::npos) << line;
    EXPECT_NE(line.back(), '\t') << line;
    ++rows;
  }
  EXPECT_EQ(rows, 85);
  EXPECT_EQ(list.out.find("0\tSymbol\t"), list.out.find('\n') + 1);
}
