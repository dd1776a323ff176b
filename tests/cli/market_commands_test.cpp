#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "marketdata/text_helpers.h"
#include "tests/cli/cli_call.h"
#include "tests/marketdata/test_server.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

// A market-data server of fixture pages, and the CLI pointed at it.
class MarketCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& r = server.Routes();
    r.Get("/d/quotes.csv", [this](const httplib::Request&, httplib::Response& res) {
      res.status = quotesStatus;
      res.set_content(quotesStatus == 200 ? ReadFixture("quotes.csv") : "<html>gone</html>", "text/csv");
    });
    r.Get("/table.csv", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(ReadFixture("history.csv"), "text/csv");
    });
    r.Get("/lookup", [this](const httplib::Request& req, httplib::Response& res) {
      lookupText = req.get_param_value("s");
      std::string rows;
      for (const char* symbol : {"BAC", "^BKX", "BAC-PL"}) {
        rows += std::string("<tr bgcolor=\"ffffff\"><td><a href=\"/q?s=") + symbol + "\">" + symbol +
                "</a></td><td>Bank of America</td><td>NYSE</td><td></td></tr>\n";
      }
      std::string page = ReadFixture("lookup_page.html");
      for (auto [key, value] :
           {std::pair{"{TOTAL}", "3"}, {"{TEXT}", "bank"}, {"{FROM}", "1"}, {"{TO}", "3"}}) {
        page = ReplaceAll(page, key, value);
      }
      res.set_content(ReplaceAll(page, "{ROWS}", rows), "text/html");
    });
    r.Post("/vellumar/fetch", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.get_param_value("s") + ": 2 new days\n", "text/plain");
    });
    r.Get("/vellumar/data/index.xml", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(ReadFixture("index.xml"), "text/xml");
    });
    auto clock = [](const httplib::Request& req, httplib::Response& res) {
      std::string host = req.get_header_value("Host");
      std::string region = host.rfind("uk.", 0) == 0 ? "[uk]" : "[main]";
      res.set_content(ReplaceAll(ReadFixture("market_clock.html"), "[REGION]", region), "text/html");
    };
    r.Get("/", clock);
    r.Get("/q", clock);
    r.Get("/q/h", [](const httplib::Request& req, httplib::Response& res) {
      const std::string symbol = req.get_param_value("s");
      std::string page = symbol == "IBM"      ? "news_ibm.html"
                         : req.has_param("t") ? "news_msft_2.html"
                                              : "news_msft_1.html";
      res.set_content(ReadFixture(page), "text/html");
    });
    r.Get("/charts/big.chart", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("GIF89a-test-image", "image/gif");
    });
    ASSERT_TRUE(server.Start());
    service = "localhost:" + std::to_string(server.Port());
  }

  CliResult Run(std::vector<std::string> words) {
    words.push_back("--service");
    words.push_back(service);
    return CallCli(words);
  }

  TestServer server;
  std::string service;
  int quotesStatus = 200;
  std::string lookupText;
};

TEST_F(MarketCommands, QuotePrintsEveryFieldOfEverySymbol) {
  // A symbol the service does not know (exchange "N/A") is named on the error stream and fails the command;
  // the others are printed.
  CliResult r = Run({"quote", "MSFT", "^DJI", "XQZZ"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "vellumar-cli quote: no such ticker symbol \"XQZZ\"\n");
  auto rows = TsvRows(r.out);
  ASSERT_EQ(rows.size(), 3u);
  ASSERT_EQ(rows[0].size(), 47u);
  EXPECT_EQ(rows[0][0], "symbol");
  EXPECT_EQ(rows[0][42], "lastTradeRealtime");
  EXPECT_EQ(rows[1][0], "MSFT");
  EXPECT_EQ(rows[1][42], "29.86");
  EXPECT_EQ(rows[1][3], "9,567,891,234");
  EXPECT_EQ(rows[2][1], "DOW JONES INDUSTRIAL AVERAGE IN");

  // Lines are matched by order: one symbol takes the first line whatever follows it.
  r = Run({"quote", "IBM"});
  ASSERT_EQ(r.code, 0) << r.err;
  rows = TsvRows(r.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1][0], "IBM");
  EXPECT_EQ(rows[1][1], "Microsoft Corp");
}

TEST_F(MarketCommands, QuoteAsJsonUsesTheFieldNames) {
  CliResult r = Run({"quote", "MSFT", "^DJI", "XQZZ", "--json"});
  ASSERT_EQ(r.code, 1) << r.err;
  EXPECT_EQ(r.out.front(), '[');
  EXPECT_EQ(r.out.substr(r.out.size() - 2), "]\n");
  EXPECT_NE(r.out.find("{\"symbol\":\"MSFT\",\"name\":\"Microsoft Corp\",\"exchange\":\"NasdaqNM\""),
            std::string::npos);
  EXPECT_NE(r.out.find("\"lastTradeRealtime\":\"29.86\",\"lastTradeRealtimeValue\":29.86,"
                       "\"lastTradeTimeRealtime\":\"N/A\","
                       "\"changeRealtime\":\"+0.32\",\"changeRealtimeValue\":0.32"),
            std::string::npos);
  EXPECT_NE(r.out.find("\"dayRangeRealtime\":\"N/A - N/A\"}"), std::string::npos);
  EXPECT_EQ(r.out.find("XQZZ"), std::string::npos);
  EXPECT_EQ(r.out.find("stamp"), std::string::npos);
}

TEST_F(MarketCommands, FailuresPrintTheProviderErrorAndExitOne) {
  quotesStatus = 404;
  CliResult r = Run({"quote", "MSFT"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  // The provider's text stays, after the program and command; the cause follows it.
  EXPECT_EQ(r.err, "vellumar-cli quote: Error parsing content\n" + service + ": HTTP status 404\n");

  TestServer closed;
  ASSERT_TRUE(closed.Start());
  std::string host = closed.Host();
  closed.Stop();
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"lookup", "bank", "--service", host}, out, err), 1);
  const std::string text = err.str();
  const std::string first = "vellumar-cli lookup: Error fetching resourcehttp://" + host +
                            "/lookup?m=US&t=S&s=bank\n" + host + ": ";
  EXPECT_EQ(text.substr(0, first.size()), first);
  EXPECT_NE(text.find("Couldn't connect to server"), std::string::npos) << text;
  const std::string hint = "\nThe local market-data service does not answer at " + host +
                           ". Start it with: vellumar-marketd --port " + std::to_string(closed.Port()) + "\n";
  EXPECT_EQ(text.substr(text.size() - std::min(text.size(), hint.size())), hint);

  EXPECT_EQ(Run({"history", "MSFT", "2007-13"}).code, 2);
  EXPECT_EQ(Run({"chart-url", "MSFT", "--period", "9"}).code, 2);
  EXPECT_EQ(Run({"market-time", "2"}).code, 2);
  EXPECT_EQ(Run({"lookup", "bank", "--type", "bond"}).code, 2);
  EXPECT_EQ(Run({"nosuch"}).code, 2);
}

TEST_F(MarketCommands, UpdateSaysWhenTheLocalServiceDoesNotAnswer) {
  const TempFolder folder("vl_cli_update");
  const std::string db = folder.File("t.db");
  ASSERT_EQ(Run({"init", "--db", db}).code, 0);
  ASSERT_EQ(Run({"add-portfolio", "P", "--db", db}).code, 0);
  ASSERT_EQ(Run({"add-stock", "P", "MSFT", "--db", db}).code, 0);

  TestServer closed;
  ASSERT_TRUE(closed.Start());
  const std::string host = closed.Host();
  closed.Stop();
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"update", "--db", db, "--service", host}, out, err), 1);
  const std::string text = err.str();
  // The quote provider's own text stays as it is; the cause follows it.
  EXPECT_EQ(
      text.rfind("vellumar-cli update: Vellumar was unable to update its database.\nError parsing content\n" +
                     host + ": ",
                 0),
      0u)
      << text;
  EXPECT_EQ(text.find("Internet"), std::string::npos) << text;
  EXPECT_NE(text.find("The local market-data service does not answer at " + host), std::string::npos) << text;

  // A service that answers with an error is no local service that is down.
  quotesStatus = 500;
  const CliResult served = Run({"update", "--db", db});
  EXPECT_EQ(served.code, 1);
  EXPECT_NE(served.err.find("Internet"), std::string::npos) << served.err;
  EXPECT_NE(served.err.find("\n" + service + ": HTTP status 500\n"), std::string::npos) << served.err;
}

TEST_F(MarketCommands, HistoryLookupAndMarketTime) {
  CliResult r = Run({"history", "MSFT", "2007-01"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = TsvRows(r.out);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"symbol", "dateText", "date", "open", "high", "low", "close",
                                               "adjClose"}));
  EXPECT_EQ(rows[1][1], "5-Jan-2007");
  EXPECT_EQ(rows[3][7], "25.12");

  r = Run({"lookup", "Bank of america", "--worldwide"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(lookupText, "Bank of america");
  EXPECT_EQ(r.out, "symbol\tname\texchange\nBAC\tBank of America\tNYSE\nBAC-PL\tBank of America\tNYSE\n");

  r = Run({"lookup", "--type", "index", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("{\"symbol\":\"^AXJO\",\"name\":\"S&P/ASX 200\",\"exchange\":\"Australia\"}]"),
            std::string::npos);

  r = Run({"market-time", "28"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "marketTime\tmarketState\nJan 6 10:14 [uk]\t+25.04 (-0.2% ) Markets opens in 3 hrs.  5 mins\n");
  r = Run({"market-time", "--json"});
  EXPECT_EQ(
      r.out,
      "{\"marketTime\":\"Sat, Jan 6, 2007, 10:14AM ET [main]\",\"marketState\":\"U.S. Markets closed\"}\n");
}

TEST_F(MarketCommands, ChartsAndNews) {
  CliResult r = Run({"chart-url", "BHP.AX", "VOD.L", "--period", "5", "--size", "2", "--ma200", "--sp500"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "url\nhttp://" + service +
                "/charts/big.chart?symb=AU%3ABHP&comp=UK%3AVOD+SP500&size=2&time=8&freq=1&ma=1&maval=200"
                "&type=64&style=48\n");
  r = Run({"chart-url", "MSFT", "--provider", "yahoo", "--period", "4"});
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(r.err.empty());

  const TempFolder folder("vl_cli_chart");
  const std::string file = folder.File("chart.gif");
  r = Run({"chart", "MSFT", "--out", file, "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadText(file), "GIF89a-test-image");

  r = Run({"news", "MSFT", "IBM", "--items", "3"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = TsvRows(r.out);
  ASSERT_EQ(rows.size(), 5u);  // MSFT reaches the limit of 3; IBM still adds its first headline
  EXPECT_EQ(rows[0],
            (std::vector<std::string>{"symbol", "dateText", "date", "title", "url", "source", "flags"}));
  EXPECT_EQ(rows[1][4], "http://news.test/ibm/d1");
  EXPECT_EQ(rows[2][3], "Analysts weigh in");
  EXPECT_EQ(rows[3][5], "Wire One");
  EXPECT_EQ(rows[4][5], "Wire Two");
}

TEST_F(MarketCommands, QuoteFieldsPicksAndOrdersTheFields) {
  CliResult r = Run({"quote", "MSFT", "^DJI", "--fields", "symbol,lastTradeRealtime,floatShares"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = TsvRows(r.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"symbol", "lastTradeRealtime", "floatShares"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"MSFT", "29.86", "9,567,891,234"}));
  // In JSON the figures are numbers beside their texts; a text that is no number has none.
  r = Run({"quote", "MSFT", "--fields", "floatShares,lastTradeRealtime,name", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(
      r.out,
      "[{\"floatShares\":\"9,567,891,234\",\"floatSharesValue\":9567891234,\"lastTradeRealtime\":\"29.86\","
      "\"lastTradeRealtimeValue\":29.86,\"name\":\"Microsoft Corp\"}]\n");

  for (const char* fields : {"symbol,bogus", "", ",", "Symbol"}) {
    r = Run({"quote", "MSFT", "--fields", fields});
    EXPECT_EQ(r.code, 2) << fields;
    EXPECT_EQ(r.out, "") << fields;
    EXPECT_NE(r.err.find("symbol, name, exchange, floatShares"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\nusage: vellumar-cli quote SYMBOL..."), std::string::npos) << r.err;
  }
}

TEST_F(MarketCommands, ProgressGoesToATerminalOnly) {
  // In the process: with a progress stream (the program gives its standard error when that is a terminal).
  std::ostringstream out, err, progress;
  ASSERT_EQ(RunCli({"news", "MSFT", "--service", service}, out, err, &progress), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(out.str(), Run({"news", "MSFT"}).out);  // the results are the same either way
  EXPECT_EQ(progress.str().rfind("\rnews: page 1, ", 0), 0u) << progress.str();
  EXPECT_NE(progress.str().find("\rnews: page 2, "), std::string::npos) << progress.str();
  EXPECT_EQ(progress.str().substr(progress.str().size() - 4), "\r\33[K");

  const TempFolder folder("vl_cli_progress");
  const std::string db = folder.File("p.db");
  ASSERT_EQ(Run({"init", "--db", db}).code, 0);
  ASSERT_EQ(Run({"add-portfolio", "P", "--db", db}).code, 0);
  ASSERT_EQ(Run({"add-stock", "P", "MSFT", "--db", db}).code, 0);
  std::ostringstream updateOut, updateErr, updateProgress;
  ASSERT_EQ(RunCli({"update", "--db", db, "--service", service}, updateOut, updateErr, &updateProgress), 0)
      << updateErr.str();
  EXPECT_EQ(updateProgress.str(), "\rupdate: batch 1 of 1\33[K\r\33[K");

  // fetch: a line per symbol while it waits, wiped before the symbol's result goes to standard output.
  std::ostringstream fetchOut, fetchErr, fetchProgress;
  ASSERT_EQ(RunCli({"fetch", "MSFT", "IBM", "--service", service}, fetchOut, fetchErr, &fetchProgress), 0)
      << fetchErr.str();
  EXPECT_EQ(fetchProgress.str(),
            "\rfetch: symbol 1 of 2, IBM\33[K\r\33[K"
            "\rfetch: symbol 2 of 2, MSFT\33[K\r\33[K");
  EXPECT_EQ(fetchOut.str(), "[1/2] IBM: 2 new days\n[2/2] MSFT: 2 new days\n");
  EXPECT_EQ(fetchErr.str(), "");

  // The program itself, its standard error a file: not a word of progress.
  const std::string program = std::string(VL_BINARY_DIR) + "/bin/vellumar-cli";
  const std::string errFile = folder.File("err.txt");
  for (const std::string& command :
       {"news MSFT --service " + service, "update --db " + db + " --service " + service,
        "lookup bank --service " + service, "fetch MSFT --service " + service}) {
    const ShellRun run = RunShell(program + " " + command + " 2>" + errFile);
    EXPECT_EQ(run.code, 0) << command;
    EXPECT_FALSE(run.out.empty()) << command;
    EXPECT_EQ(ReadText(errFile), "") << command;
  }
}

TEST_F(MarketCommands, TheProgramItselfReportsThroughItsExitCode) {
  const std::string program = std::string(VL_BINARY_DIR) + "/bin/vellumar-cli";
  ASSERT_TRUE(std::filesystem::exists(program)) << program;
  quotesStatus = 404;
  const ShellRun run = RunShell(program + " quote MSFT --service " + service + " 2>&1");
  EXPECT_EQ(run.out, "vellumar-cli quote: Error parsing content\n" + service + ": HTTP status 404\n");
  EXPECT_EQ(run.code, 1);  // exited normally, with 1
}
