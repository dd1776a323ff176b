// Real prices from start to end: the service fetches from a local server that plays a price source,
// and the command-line tools then show the source's figures. Nothing leaves the machine.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/cli/running_service.h"
#include "tests/service/fake_upstream.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
const std::string kBin = std::string(VL_BINARY_DIR) + "/bin/";

using Output = ShellRun;

// Standard error is left out.
Output Shell(const std::string& command) {
  return RunShell(command + " 2>/dev/null");
}

Output Cli(const std::string& arguments) {
  return Shell(kBin + "vellumar-cli " + arguments);
}

const char kMsft[] =
    "Date,Open,High,Low,Close,Volume\n"
    "2026-12-02,405,411,404,410.75,18500000\n"
    "2026-12-03,410.5,415,409,414,22000000\n"
    "2026-12-04,414,420,413,418.25,25000000\n";

class RealPrices : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp.Path().empty());
    folder = temp.Path();
    std::ofstream(folder / "sources.ini") << "[source local]\nurl = " << upstream.Url()
                                          << "\ncase = lower\nsuffix NASDAQ = .us\nno-data = No data\n"
                                             "timeout = 2\nlow-speed-seconds = 2\n";
    upstream.Answer("msft.us", kMsft);
  }
  FakeUpstream upstream;
  TempFolder temp{"vl_real"};
  fs::path folder;
};

}  // namespace

TEST_F(RealPrices, TheCliFetchesThroughTheServiceAndThenShowsTheSourcesPrices) {
  RunningService marketd({"--data", folder.string(), "--now", "2026-12-04T18:00:00-05:00"});
  ASSERT_GT(marketd.port, 0) << "the service did not start";
  const std::string db = " --db " + (folder / "Vellumar.db").string();
  const std::string service = " --service 127.0.0.1:" + std::to_string(marketd.port);
  ASSERT_EQ(Cli("init" + db).code, 0);
  ASSERT_EQ(Cli("add-portfolio Real" + db).code, 0);
  ASSERT_EQ(Cli("add-stock Real MSFT --qty 10 --price 300" + db).code, 0);
  ASSERT_EQ(Cli("add-stock Real ^DJI --qty 1 --price 30000" + db).code, 0);

  const Output before = Cli("quote MSFT" + service);
  ASSERT_EQ(before.code, 0);
  EXPECT_EQ(before.out.find("418.25"), std::string::npos);
  const std::string chart = " --out " + (folder / "chart.gif").string() + service;
  ASSERT_EQ(Cli("chart MSFT --period 0" + chart).code, 0);
  const std::string chartBefore = ReadText(folder / "chart.gif");

  // The source has MSFT but not the Dow: one symbol fetched, one failure with its cause.
  const Output fetch = Cli("fetch" + db + service);
  EXPECT_EQ(fetch.code, 1);
  EXPECT_EQ(fetch.out,
            "[1/2] MSFT: 3 new days, 0 corrected, last 2026-12-04 (local)\n"
            "[2/2] ^DJI: no source gave prices (local: no data for this symbol)\n");
  EXPECT_EQ(upstream.Asked(), (std::vector<std::string>{"msft.us", "^dji"}));

  const Output quote = Cli("quote MSFT --json" + service);
  ASSERT_EQ(quote.code, 0);
  EXPECT_NE(quote.out.find("418.25"), std::string::npos) << quote.out;
  EXPECT_NE(quote.out.find("12/4/2026"), std::string::npos) << quote.out;
  EXPECT_NE(quote.out.find("414.00"), std::string::npos) << quote.out;  // the previous close

  const Output history = Cli("history MSFT 2026-12" + service);
  ASSERT_EQ(history.code, 0);
  EXPECT_NE(history.out.find("4-Dec-2026\t1796342400\t414.00\t420.00\t413.00\t418.25"), std::string::npos)
      << history.out;
  EXPECT_NE(history.out.find("3-Dec-2026\t1796256000\t410.50\t415.00\t409.00\t414.00"), std::string::npos)
      << history.out;
  EXPECT_EQ(ReadText(folder / "history" / "MSFT.csv").substr(0, 97),
            "Date,Open,High,Low,Close,Volume,Adj Close\n"
            "2026-12-04,414.00,420.00,413.00,418.25,25000000,418.25\n");
  EXPECT_FALSE(fs::exists(folder / "history" / "^DJI.csv"));
  // The day's chart is drawn from the fetched day now, not from the simulation.
  ASSERT_EQ(Cli("chart MSFT --period 0" + chart).code, 0);
  const std::string chartAfter = ReadText(folder / "chart.gif");
  EXPECT_EQ(chartAfter.substr(0, 3), "GIF");
  EXPECT_NE(chartAfter, chartBefore);
}

TEST_F(RealPrices, TheServiceFetchesOnItsOwnAndAFailureKeepsTheFile) {
  const std::string program =
      kBin + "vellumar-marketd --data " + folder.string() + " --now 2026-12-04T18:00:00Z";
  const Output first = Shell(program + " --fetch MSFT");
  EXPECT_EQ(first.code, 0);
  EXPECT_EQ(first.out, "MSFT: 3 new days, 0 corrected, last 2026-12-04 (local)\n");
  const std::string stored = ReadText(folder / "history" / "MSFT.csv");
  // Without symbols it refreshes the stored ones; an HTML answer changes nothing.
  upstream.Answer("msft.us", "<html><body>maintenance</body></html>");
  const Output second = Shell(program + " --fetch");
  EXPECT_EQ(second.code, 1);
  EXPECT_EQ(second.out, "MSFT: no source gave prices (local: an HTML page instead of CSV)\n");
  EXPECT_EQ(ReadText(folder / "history" / "MSFT.csv"), stored);
  EXPECT_EQ(Shell(program + " --fetch NOSUCH").out, "NOSUCH: not in the securities list\n");
}

TEST_F(RealPrices, AFaultySourcesFileTurnsRealPricesOffButNotTheService) {
  std::ofstream(folder / "sources.ini")
      << "[source local]\nurl = http://127.0.0.1:1/{symbol}\ncolour = red\n";
  const std::string program = kBin + "vellumar-marketd --data " + folder.string();
  EXPECT_EQ(Shell(program + " --fetch MSFT").code, 1);
  RunningService marketd({"--data", folder.string(), "--now", "2026-12-04T18:00:00-05:00"});
  ASSERT_GT(marketd.port, 0) << "the service did not start";
  const std::string service = " --service 127.0.0.1:" + std::to_string(marketd.port);
  const Output quote = Cli("quote MSFT --json" + service);
  EXPECT_EQ(quote.code, 0);
  EXPECT_NE(quote.out.find("\"exchange\":\"NASDAQ\""), std::string::npos) << quote.out;
  const Output fetch = Cli("fetch MSFT" + service);
  EXPECT_EQ(fetch.code, 1);
  EXPECT_EQ(fetch.out, "[1/1] real prices are off: the service has no usable sources.ini\n");
  EXPECT_TRUE(upstream.Asked().empty());
}
