// vellumar-cli and vellumar-marketd as a user runs them: the real programs, a database in a temporary
// folder, the service on a free loopback port with a fixed clock. The view and summary texts are compared
// with the expected files; VL_UPDATE_EXPECTED=1 rewrites them after a deliberate change of the market.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/temp_folder.h"

namespace {

const std::string kBin = std::string(VL_BINARY_DIR) + "/bin/";
const std::string kExpected = std::string(VL_FIXTURES_DIR) + "/cli/end_to_end/";

// The service, started on port 0; the port is read from its start-up line.
class RunningService {
 public:
  RunningService() {
    int err[2];
    if (::pipe(err) != 0) return;
    pid = ::fork();
    if (pid == 0) {
      ::dup2(err[1], STDERR_FILENO);
      ::close(err[0]);
      const std::string program = kBin + "vellumar-marketd";
      ::execl(program.c_str(), program.c_str(), "--port", "0", "--now", "2026-12-04T15:30:00-05:00", "--quiet",
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(err[1]);
    std::string line;
    char c = 0;
    while (line.find('\n') == std::string::npos && ::read(err[0], &c, 1) == 1) line += c;
    ::close(err[0]);
    const std::string marker = "listening on http://127.0.0.1:";
    const size_t at = line.find(marker);
    if (at != std::string::npos) port = std::atoi(line.c_str() + at + marker.size());
  }
  ~RunningService() {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
  pid_t pid = -1;
  int port = 0;
};

struct Output {
  int code = -1;
  std::string out;
};

Output Cli(const std::string& arguments) {
  Output result;
  FILE* pipe = ::popen((kBin + "vellumar-cli " + arguments + " 2>/dev/null").c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buf;
  size_t n = 0;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) result.out.append(buf.data(), n);
  const int status = ::pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string Expected(const std::string& name, const std::string& actual) {
  const std::string path = kExpected + name;
  if (std::getenv("VL_UPDATE_EXPECTED")) std::ofstream(path, std::ios::binary | std::ios::trunc) << actual;
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(EndToEnd, APortfolioKeptWithTheToolsShowsTheServicesFigures) {
  RunningService marketd;
  ASSERT_GT(marketd.port, 0) << "the service did not start";
  const TempFolder folder("vl_e2e");
  const std::string db = " --db " + folder.File("Vellumar.db");
  const std::string service = " --service 127.0.0.1:" + std::to_string(marketd.port);

  ASSERT_EQ(Cli("init" + db).code, 0);
  ASSERT_EQ(Cli("add-portfolio Retirement" + db).code, 0);
  ASSERT_EQ(Cli("add-portfolio Trading" + db).code, 0);
  ASSERT_EQ(Cli("add-stock Retirement msft --qty 100 --price 250.50 --commission 9.95 --date 2023-01-15" + db).code, 0);
  ASSERT_EQ(Cli("add-stock Retirement AAPL --qty 50 --price 120 --sell-target 250 --date 2022-06-01" + db).code, 0);
  ASSERT_EQ(Cli("add-stock Trading ^DJI --qty 1 --price 30000" + db).code, 0);
  ASSERT_EQ(Cli("add-stock Retirement NOSUCH --qty 10 --price 1" + db).code, 0);
  ASSERT_EQ(Cli("add-cash Retirement 2500 --comment \"Broker cash\"" + db).code, 0);
  ASSERT_EQ(Cli("add-margin Retirement 1000 --comment \"Margin loan\"" + db).code, 0);
  ASSERT_EQ(Cli("sell 1 --qty 40 --price 300 --commission 9.95 --date 2024-06-03" + db).code, 0);

  const Output update = Cli("update" + db + service);
  ASSERT_EQ(update.code, 0);
  EXPECT_NE(update.out.find("\tFri, Dec 4, 2026, 3:30PM EST\t"), std::string::npos) << update.out;

  const Output held = Cli("view Retirement --columns 0,1,3,4,8,9,14,15,16 --sort 15 --desc" + db);
  ASSERT_EQ(held.code, 0);
  EXPECT_EQ(held.out, Expected("held.tsv", held.out));
  // Columns that do not depend on today's date, which the tools take from the system clock.
  const Output sold = Cli("view Retirement --sold --columns 0,1,8,14,11,73,65,15,16" + db);
  EXPECT_EQ(sold.out, Expected("sold.tsv", sold.out));
  const Output summary = Cli("summary Retirement" + db);
  EXPECT_EQ(summary.out, Expected("summary_held.tsv", summary.out));
  const Output soldSummary = Cli("summary Retirement --sold" + db);
  EXPECT_EQ(soldSummary.out, Expected("summary_sold.tsv", soldSummary.out));

  // The unknown symbol is marked, and the quote the list shows is the one the service gives now.
  EXPECT_NE(held.out.find("NOSUCH\tNo such symbol"), std::string::npos);
  const Output quote = Cli("quote MSFT --json" + service);
  EXPECT_NE(quote.out.find("\"exchange\":\"NASDAQ\""), std::string::npos) << quote.out;
}
