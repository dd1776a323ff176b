// Real prices through the bundled service: the sources file the application writes, when prices were last
// fetched, and the request that asks the service to fetch a symbol.
#include "marketdata/real_prices.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <mutex>

#include "marketdata/c_web_grab.h"
#include "test_server.h"
#include "tests/support/temp_folder.h"

TEST(RealPrices, ThePresetBecomesTheSourcesFileAndAUsersOwnFileStays) {
  TempFolder folder;
  const std::string bundled = folder.File("bundled/");
  const std::string data = folder.File("data/");
  std::filesystem::create_directories(bundled);
  std::string error;
  EXPECT_FALSE(WriteRealPriceSources(data, bundled, error));  // no preset to copy
  EXPECT_NE(error.find("sources.example.ini"), std::string::npos) << error;
  EXPECT_FALSE(WriteRealPriceSources("", bundled, error));

  WriteText(bundled + "sources.example.ini", "[source stooq]\n");
  EXPECT_FALSE(HasRealPriceSources(data));
  ASSERT_TRUE(WriteRealPriceSources(data, bundled, error)) << error;  // the data folder is made too
  EXPECT_TRUE(HasRealPriceSources(data));
  EXPECT_EQ(ReadText(data + "sources.ini"), "[source stooq]\n");

  WriteText(data + "sources.ini", "[source mine]\n");
  ASSERT_TRUE(WriteRealPriceSources(data, bundled, error));
  EXPECT_EQ(ReadText(data + "sources.ini"), "[source mine]\n");
}

TEST(RealPrices, LastFetchIsTheNewestHistoryFile) {
  TempFolder folder;
  EXPECT_EQ(LastRealPriceFetch(folder.Path()), 0);
  std::filesystem::create_directories(folder.File("history"));
  for (const auto& [name, when] : {std::pair{"MSFT.csv", 1700000000}, std::pair{"KO.csv", 1800000000},
                                   std::pair{"notes.txt", 1900000000}}) {
    const std::string path = folder.File("history/") + name;
    WriteText(path, "Date,Close\n");
    const utimbuf times{when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
  }
  EXPECT_EQ(LastRealPriceFetch(folder.Path()), 1800000000);
}

// One POST per symbol, marked as a program's (the service refuses a fetch a web page could have sent); the
// service's line comes back as it is, and its status says whether prices came.
TEST(RealPrices, TheServiceIsAskedByPostAndItsLineComesBack) {
  TestServer server;
  std::mutex mutex;
  std::vector<std::string> asked;
  server.Routes().Post("/vellumar/fetch", [&](const httplib::Request& req, httplib::Response& res) {
    const std::string symbol = req.get_param_value("s");
    {
      std::lock_guard<std::mutex> lock(mutex);
      asked.push_back(symbol + " " + req.get_header_value("X-Vellumar-Client"));
    }
    res.status = symbol == "NOPE" ? 404 : 200;
    res.set_content(symbol + ": " + (symbol == "NOPE" ? "unknown symbol" : "12 days added") + "\n",
                    "text/plain");
  });
  server.Routes().Get("/plain", [&](const httplib::Request& req, httplib::Response& res) {
    res.set_content("[" + req.get_header_value("X-Vellumar-Client") + "]", "text/plain");
  });
  ASSERT_TRUE(server.Start());
  CWebGrab grab;
  ASSERT_TRUE(grab.Initialize("", nullptr));
  const RealPriceFetch fetched = FetchRealPrices(grab, server.Host(), "BRK.B");
  EXPECT_TRUE(fetched.fetched);
  EXPECT_EQ(fetched.line, "BRK.B: 12 days added");
  const RealPriceFetch unknown = FetchRealPrices(grab, server.Host(), "NOPE");
  EXPECT_FALSE(unknown.fetched);
  EXPECT_EQ(unknown.line, "NOPE: unknown symbol");
  EXPECT_EQ(asked, (std::vector<std::string>{"BRK.B vellumar", "NOPE vellumar"}));
  // The header goes with the POST only: the same handle's next GET is a plain one.
  std::string body;
  ASSERT_TRUE(grab.GetFile("http://" + server.Host() + "/plain", body, "", nullptr));
  EXPECT_EQ(body, "[]");

  const std::string host = server.Host();
  server.Stop();
  const RealPriceFetch down = FetchRealPrices(grab, host, "KO");
  EXPECT_FALSE(down.fetched);
  EXPECT_EQ(down.line.rfind("KO: ", 0), 0u) << down.line;
}
