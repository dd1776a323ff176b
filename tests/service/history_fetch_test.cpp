#include "service/history_fetcher.h"

#include "service/fetch_page.h"
#include "service/price_refresh.h"

#include "fake_upstream.h"
#include "service_fixture.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

// A data folder of its own for each test, removed afterwards.
class HistoryFetch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder.Path().empty());
    history = folder.File("history");
    fs::create_directories(history);
    market = FixtureMarket("2026-12-04T18:00:00-05:00", 1, false);
  }

  // A source in the Stooq form at `url`, with test-sized waits.
  static std::string Source(const std::string& name, const std::string& url) {
    return "[source " + name + "]\nurl = " + url +
           "\ncase = lower\nsuffix NASDAQ = .us\nno-data = No data\ntimeout = 1\nlow-speed-seconds = 1\n";
  }
  HistoryFetcher Fetcher(const std::string& settings) {
    std::vector<UpstreamSource> sources;
    std::string error;
    EXPECT_TRUE(ParseSourcesFile(settings, sources, error)) << error;
    return HistoryFetcher(std::move(sources), history, *market);
  }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(history)) names.push_back(e.path().filename().string());
    return names;
  }

  TempFolder folder{"vl_fetch"};
  std::string history;
  std::unique_ptr<Market> market;
};

static const char kStored[] =
    "Date,Open,High,Low,Close,Volume,Adj Close\n"
    "2026-12-02,405.00,411.00,404.00,410.50,18000000,410.50\n"
    "2026-12-01,400.00,406.00,399.00,405.00,17000000,405.00\n";

static const char kUpstream[] =
    "Date,Open,High,Low,Close,Volume\n"
    "2026-12-02,405,411,404,410.75,18500000\n"
    "2026-12-03,410.5,415,409,414,22000000\n"
    "2026-12-04,414,420,413,418.25,25000000\n";

TEST_F(HistoryFetch, NewDaysAreAppendedCorrectionsReplacedAndTheMarketServesThem) {
  FakeUpstream upstream;
  upstream.Answer("msft.us", kUpstream);
  WriteText(history + "/MSFT.csv", kStored);
  HistoryFetcher fetcher = Fetcher(Source("one", upstream.Url()));
  const FetchReport report = fetcher.Fetch("msft");
  ASSERT_TRUE(report.ok) << report.message;
  EXPECT_EQ(report.added, 2u);
  EXPECT_EQ(report.replaced, 1u);
  EXPECT_EQ(report.source, "one");
  EXPECT_EQ(report.message, "MSFT: 2 new days, 1 corrected, last 2026-12-04 (one)");
  EXPECT_EQ(ReadText(history + "/MSFT.csv"),
            "Date,Open,High,Low,Close,Volume,Adj Close\n"
            "2026-12-04,414.00,420.00,413.00,418.25,25000000,418.25\n"
            "2026-12-03,410.50,415.00,409.00,414.00,22000000,414.00\n"
            "2026-12-02,405.00,411.00,404.00,410.75,18500000,410.75\n"
            "2026-12-01,400.00,406.00,399.00,405.00,17000000,405.00\n");
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"MSFT.csv"});  // no temporary file left behind
  EXPECT_EQ(Get(*market, "/d/quotes.csv?s=MSFT&f=sld1p").body,
            "\"MSFT\",\"4:00pm - <b>418.25</b>\",\"12/4/2026\",414.00\r\n");
  const std::string table = Get(*market, "/table.csv?s=MSFT&a=11&b=1&c=2026&d=11&e=4&f=2026&g=d").body;
  EXPECT_EQ(table.substr(table.find('\n') + 1, 55),
            "2026-12-04,414.00,420.00,413.00,418.25,25000000,418.25\n");
  EXPECT_EQ(fetcher.StoredSymbols(), std::vector<std::string>{"MSFT"});
}

TEST_F(HistoryFetch, FailingOrGarbageSourcesLeaveTheFileAsItWas) {
  FakeUpstream upstream;
  StalledUpstream stalled;
  ASSERT_TRUE(stalled.Ready());
  WriteText(history + "/MSFT.csv", kStored);
  const std::pair<std::string, std::string> cases[] = {
      {"<html><body>Service unavailable</body></html>", "bad: an HTML page instead of CSV"},
      {"No data", "bad: no data for this symbol"},
      {"Date,Open,High,Low,Close,Volume\n2026-12-03,410.5,415,409,4x4,22000000\n", "bad: line 2: bad number"},
      {"Date,Open,High\n2026-12-03,410.5,415\n", "bad: line 1: no column \"Low\" in the header"},
  };
  for (const auto& [body, cause] : cases) {
    upstream.Answer("msft.us", body);
    const FetchReport report = Fetcher(Source("bad", upstream.Url())).Fetch("MSFT");
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.message, "MSFT: no source gave prices (" + cause + ")");
    EXPECT_EQ(ReadText(history + "/MSFT.csv"), kStored);
  }
  upstream.Answer("msft.us", std::string(kUpstream) + std::string(2000, '\n'));
  EXPECT_EQ(Fetcher(Source("bad", upstream.Url()) + "max-kilobytes = 1\n").Fetch("MSFT").message,
            "MSFT: no source gave prices (bad: the answer is longer than 1 KB)");
  upstream.Answer("msft.us", kUpstream, 503);
  EXPECT_EQ(Fetcher(Source("bad", upstream.Url())).Fetch("MSFT").message,
            "MSFT: no source gave prices (bad: HTTP status 503)");
  const FetchReport stall = Fetcher(Source("stall", stalled.Url())).Fetch("MSFT");
  EXPECT_FALSE(stall.ok);
  EXPECT_EQ(stall.message.substr(0, 40), "MSFT: no source gave prices (stall: Time");
  EXPECT_EQ(ReadText(history + "/MSFT.csv"), kStored);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"MSFT.csv"});
  // Nothing reached the market either: the quote still comes from the simulation.
  EXPECT_EQ(Get(*market, "/d/quotes.csv?s=MSFT&f=sl").body.find("418.25"), std::string::npos);
}

TEST_F(HistoryFetch, SourcesAreTriedInOrderUntilOneHasTheSymbol) {
  FakeUpstream first, second;
  second.Answer("msft.us", kUpstream);
  HistoryFetcher fetcher = Fetcher(Source("first", first.Url()) + Source("second", second.Url()));
  const FetchReport report = fetcher.Fetch("MSFT");
  ASSERT_TRUE(report.ok) << report.message;
  EXPECT_EQ(report.source, "second");
  EXPECT_EQ(report.added, 3u);
  EXPECT_EQ(first.Asked(), std::vector<std::string>{"msft.us"});
  EXPECT_EQ(second.Asked(), std::vector<std::string>{"msft.us"});
  // Once the first has it, the second is not asked.
  first.Answer("msft.us", kUpstream);
  ASSERT_TRUE(fetcher.Fetch("MSFT").ok);
  EXPECT_EQ(first.Asked().size(), 2u);
  EXPECT_EQ(second.Asked().size(), 1u);
}

TEST_F(HistoryFetch, UnknownSymbolsAndBrokenStoredFilesAreNotFetched) {
  FakeUpstream upstream;
  upstream.Answer("msft.us", kUpstream);
  HistoryFetcher fetcher = Fetcher(Source("one", upstream.Url()));
  EXPECT_EQ(fetcher.Fetch("NOSUCH").message, "NOSUCH: not in the securities list");
  EXPECT_EQ(fetcher.Fetch("../MSFT").message, "../MSFT: not in the securities list");
  const std::string broken = "Date,Open\n2026-12-01,oops\n";
  WriteText(history + "/MSFT.csv", broken);
  const FetchReport report = fetcher.Fetch("MSFT");
  EXPECT_FALSE(report.ok);
  EXPECT_NE(report.message.find("repair or remove it before fetching"), std::string::npos);
  EXPECT_EQ(ReadText(history + "/MSFT.csv"), broken);
  EXPECT_TRUE(upstream.Asked().empty());
}

TEST_F(HistoryFetch, FetchRequestAnswersWithTheOutcomeAndItsStatus) {
  FakeUpstream upstream;
  upstream.Answer("msft.us", kUpstream);
  HistoryFetcher fetcher = Fetcher(Source("one", upstream.Url()));
  HistoryFetcher none = Fetcher("");
  const ServiceResponse ok = FetchPage(*market, &fetcher, "s=msft");
  EXPECT_EQ(ok.status, 200);
  EXPECT_EQ(ok.body, "MSFT: 3 new days, 0 corrected, last 2026-12-04 (one)\n");
  EXPECT_EQ(FetchPage(*market, &fetcher, "s=T").status, 502);  // the source has no T
  EXPECT_EQ(FetchPage(*market, &fetcher, "s=NOSUCH").body, "NOSUCH: unknown symbol\n");
  EXPECT_EQ(FetchPage(*market, &fetcher, "s=NOSUCH").status, 404);
  EXPECT_EQ(FetchPage(*market, &fetcher, "x=1").status, 400);
  EXPECT_EQ(FetchPage(*market, &none, "s=MSFT").status, 503);
  EXPECT_EQ(FetchPage(*market, nullptr, "s=MSFT").status, 503);
}

TEST_F(HistoryFetch, RefreshFetchesTheStoredSymbolsAgainUntilStopped) {
  FakeUpstream upstream;
  upstream.Answer("msft.us", kUpstream);
  WriteText(history + "/MSFT.csv", kStored);
  HistoryFetcher fetcher = Fetcher(Source("one", upstream.Url()));
  std::mutex mutex;
  std::vector<std::string> lines;
  {
    PriceRefresh refresh(fetcher, std::chrono::milliseconds(20), [&](const std::string& line) {
      std::lock_guard<std::mutex> lock(mutex);
      lines.push_back(line);
    });
    // Bounded wait for the first round; the outcome is what is checked.
    for (int i = 0; i < 1000 && upstream.Asked().empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (int i = 0; i < 1000; ++i) {
      std::lock_guard<std::mutex> lock(mutex);
      if (!lines.empty()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "MSFT: 2 new days, 1 corrected, last 2026-12-04 (one)");
  for (const std::string& symbol : upstream.Asked()) EXPECT_EQ(symbol, "msft.us");
  EXPECT_EQ(ReadText(history + "/MSFT.csv").substr(42, 11), "2026-12-04,");
  // Once stopped, the fetcher turns further fetches down instead of waiting for its turn.
  EXPECT_EQ(fetcher.Fetch("MSFT").message, "MSFT: stopped");
}

TEST_F(HistoryFetch, ABudgetCutsASlowSourceShortAndSkipsTheRest) {
  FakeUpstream good;
  good.Answer("msft.us", kUpstream);
  StalledUpstream stalled;
  ASSERT_TRUE(stalled.Ready());
  WriteText(history + "/MSFT.csv", kStored);
  // The stalled source keeps its own 20-second deadline; the budget of the whole fetch ends it sooner.
  const std::string slow = "[source stall]\nurl = " + stalled.Url() + "\ncase = lower\nsuffix NASDAQ = .us\n";
  HistoryFetcher fetcher = Fetcher(slow + Source("good", good.Url()));
  const FetchReport report = fetcher.Fetch("MSFT", std::chrono::milliseconds(1500));
  EXPECT_FALSE(report.ok);
  EXPECT_EQ(report.message.substr(0, 40), "MSFT: no source gave prices (stall: Time");
  EXPECT_NE(report.message.find("; good: not asked, the time for this fetch was spent)"), std::string::npos)
      << report.message;
  EXPECT_TRUE(good.Asked().empty());
  EXPECT_EQ(ReadText(history + "/MSFT.csv"), kStored);
}

// A source whose closes are adjusted for splits: the file keeps the prices as traded (before the 2:1 split of
// 3 December in the old shares), and the served adjusted close takes the split out again.
TEST_F(HistoryFetch, SplitAdjustedClosesAreStoredAsTraded) {
  FakeUpstream upstream;
  upstream.Answer("msft.us", kUpstream);
  CorporateActions actions;
  std::string error;
  ASSERT_TRUE(actions.ParseCsv("symbol,date,event,value\nMSFT,2026-12-03,split,2:1\n", "test", error))
      << error;
  market->SetCorporateActions(std::move(actions));
  HistoryFetcher fetcher = Fetcher(Source("adjusted", upstream.Url()) + "closes = split-adjusted\n");
  const FetchReport report = fetcher.Fetch("MSFT");
  ASSERT_TRUE(report.ok) << report.message;
  EXPECT_EQ(ReadText(history + "/MSFT.csv"),
            "Date,Open,High,Low,Close,Volume,Adj Close\n"
            "2026-12-04,414.00,420.00,413.00,418.25,25000000,418.25\n"
            "2026-12-03,410.50,415.00,409.00,414.00,22000000,414.00\n"
            "2026-12-02,810.00,822.00,808.00,821.50,9250000,821.50\n");
  EXPECT_EQ(Get(*market, "/table.csv?s=MSFT&a=11&b=2&c=2026").body,
            "Date,Open,High,Low,Close,Volume,Adj Close\n"
            "2026-12-04,414.00,420.00,413.00,418.25,25000000,418.25\n"
            "2026-12-03,410.50,415.00,409.00,414.00,22000000,414.00\n"
            "2026-12-02,810.00,822.00,808.00,821.50,9250000,410.75\n");
  // Quotes compare prices in the shares of today: yesterday's and the day before's both near 410.
  EXPECT_EQ(Get(*market, "/d/quotes.csv?s=MSFT&f=jk").body, "404.00,420.00\r\n");
}

// Fetches run one at a time; while two wait, a third is turned away at once instead of holding a worker.
TEST_F(HistoryFetch, AFetchBeyondTwoWaitingIsTurnedAwayAtOnce) {
  StalledUpstream stalled;
  ASSERT_TRUE(stalled.Ready());
  HistoryFetcher fetcher = Fetcher("[source stall]\nurl = " + stalled.Url() + "\ntimeout = 2\n");
  MarketServer server(*market, false);
  server.SetFetcher(&fetcher);
  std::string error;
  ASSERT_TRUE(server.Bind("127.0.0.1", 0, error)) << error;
  std::thread serving([&server] { (void)server.Run(); });
  while (!server.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  auto post = [&server] {
    httplib::Client client("127.0.0.1", server.Port());
    client.set_read_timeout(30, 0);
    return client.Post("/vellumar/fetch?s=MSFT", {{"X-Vellumar-Client", "test"}}, "", "text/plain");
  };
  std::vector<int> waited;
  std::mutex mutex;
  std::vector<std::thread> first;
  for (int i = 0; i < 2; ++i) {
    first.emplace_back([&] {
      auto res = post();
      std::lock_guard<std::mutex> lock(mutex);
      waited.push_back(res ? res->status : 0);
    });
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));  // both are with the fetcher now (2 s each)
  auto third = post();
  ASSERT_TRUE(third);
  EXPECT_EQ(third->status, 503);
  EXPECT_EQ(third->get_header_value("Retry-After"), "5");
  for (std::thread& t : first) t.join();
  EXPECT_EQ(waited, (std::vector<int>{502, 502}))
      << "the two waiting fetches were answered by the source's failure";
  server.Stop();
  serving.join();
}
