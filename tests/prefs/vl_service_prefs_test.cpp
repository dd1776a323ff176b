#include "prefs/vl_service_prefs.h"

#include <gtest/gtest.h>

#include <string>

#include "prefs/vl_prefs.h"
#include "tests/support/temp_folder.h"

TEST(VLServicePrefsTest, DefaultsAreWrittenWithTheirValuesAndReadBack) {
  TempFolder folder;
  const std::string path = folder.File("Vellumar.ini");
  VLServicePrefs prefs;
  prefs.SetFileName(path);
  prefs.Load();
  EXPECT_EQ(prefs.hosts.quoteCsvHost, "localhost:8642");
  EXPECT_EQ(prefs.hosts.productHost, "localhost:8642");
  EXPECT_TRUE(prefs.hosts.startLocalService);
  EXPECT_EQ(prefs.hosts.receiveTimeoutMs, 30000u);
  EXPECT_EQ(prefs.hosts.requestTimeoutMs, 60000u);
  EXPECT_FALSE(prefs.hosts.useProxy);
  ASSERT_TRUE(prefs.Save());
  EXPECT_EQ(ReadText(path),
            "[Services]\n"
            "QuoteCsvHost=localhost:8642\n"
            "QuoteWebHost=localhost:8642\n"
            "HistoricalHost=localhost:8642\n"
            "ChartImageHost=localhost:8642\n"
            "ChartHost=localhost:8642\n"
            "AltChartHost=localhost:8642\n"
            "ProductHost=localhost:8642\n"
            "StartLocalService=1\n"
            "ReceiveTimeoutMs=30000\n"
            "RequestTimeoutMs=60000\n"
            "Agent=\n"
            "UseProxy=0\n"
            "ProxyHost=\n"
            "ProxyPort=0\n");
}

TEST(VLServicePrefsTest, EditedValuesRoundTripAndTheUsersOwnLinesStay) {
  TempFolder folder;
  const std::string path = folder.File("Vellumar.ini");
  WriteText(path,
            "[services]\n"
            "; my test server\n"
            "QuoteCsvHost = 127.0.0.1:9000 \n"
            "ChartHost=\n"
            "ReceiveTimeoutMs=-5\n"
            "RequestTimeoutMs=99999999999\n"
            "ProxyPort=70000\n"
            "Agent=Vellumar test agent/1.0\n"
            "UseProxy=1\n"
            "ProxyHost=proxy.localhost\n"
            "Note=kept\n");
  VLServicePrefs prefs;
  prefs.SetFileName(path);
  prefs.Load();
  EXPECT_EQ(prefs.hosts.quoteCsvHost, "127.0.0.1:9000");
  EXPECT_EQ(prefs.hosts.chartHost, "localhost:8642");  // an empty host keeps the default
  EXPECT_EQ(prefs.hosts.receiveTimeoutMs, 30000u);
  EXPECT_EQ(prefs.hosts.requestTimeoutMs, 60000u);  // out of range: the default, not about 14 days
  EXPECT_EQ(prefs.hosts.proxyPort, 0);
  EXPECT_EQ(prefs.hosts.agent, "Vellumar test agent/1.0");
  EXPECT_TRUE(prefs.hosts.useProxy);
  EXPECT_EQ(prefs.hosts.proxyHost, "proxy.localhost");

  prefs.hosts.startLocalService = false;
  prefs.hosts.receiveTimeoutMs = 0;
  prefs.hosts.proxyPort = 3128;
  prefs.hosts.altChartHost = "charts.localhost:8700";
  ASSERT_TRUE(prefs.Save());
  const std::string saved = ReadText(path);
  EXPECT_NE(saved.find("; my test server\nQuoteCsvHost=127.0.0.1:9000\n"), std::string::npos);
  EXPECT_NE(saved.find("Note=kept\n"), std::string::npos);

  VLServicePrefs reloaded;
  reloaded.SetFileName(path);
  reloaded.Load();
  EXPECT_FALSE(reloaded.hosts.startLocalService);
  EXPECT_EQ(reloaded.hosts.receiveTimeoutMs, 0u);
  EXPECT_EQ(reloaded.hosts.proxyPort, 3128);
  EXPECT_EQ(reloaded.hosts.altChartHost, "charts.localhost:8700");
  EXPECT_EQ(reloaded.hosts.chartHost, "localhost:8642");
}

TEST(VLPrefsTest, LoadAndSaveCoverEverySectionOfOneFile) {
  TempFolder folder;
  const std::string path = folder.File("Vellumar.ini");
  WriteText(path,
            "[General]\nMarket=4\n[Services]\nHistoricalHost=hist.localhost\n[Mine]\nX=1\n"
            "[Updates]\nUpdateEvery=1\nUpdateMinutes=0\nFetchRealPrices=1\n");
  VLPrefs prefs;
  prefs.SetFileName(path);
  EXPECT_EQ(prefs.GetGeneralPrefs().GetFileName(), path);
  EXPECT_EQ(prefs.GetServicePrefs().GetFileName(), path);
  prefs.Load();
  EXPECT_EQ(prefs.GetGeneralPrefs().market, 4);
  EXPECT_EQ(prefs.GetServicePrefs().hosts.historicalHost, "hist.localhost");
  // Update at start is on unless said otherwise; 0 minutes is no interval and keeps the default.
  const VLUpdatePrefs& updates = prefs.GetUpdatePrefs();
  EXPECT_TRUE(updates.updateAtStart);
  EXPECT_TRUE(updates.updateEvery);
  EXPECT_EQ(updates.updateMinutes, VLUpdatePrefs::kDefaultMinutes);
  EXPECT_TRUE(updates.fetchRealPrices);

  prefs.GetGeneralPrefs().market = 2;
  prefs.GetUpdatePrefs().updateAtStart = false;
  prefs.GetUpdatePrefs().updateMinutes = 90;
  ASSERT_TRUE(prefs.Save());
  VLPrefs reloaded;
  reloaded.SetFileName(path);
  reloaded.Load();
  EXPECT_EQ(reloaded.GetGeneralPrefs().market, 2);
  EXPECT_EQ(reloaded.GetServicePrefs().hosts.historicalHost, "hist.localhost");
  EXPECT_NE(ReadText(path).find("[Mine]\nX=1\n"), std::string::npos);
  EXPECT_NE(
      ReadText(path).find("[Updates]\nUpdateEvery=1\nUpdateMinutes=90\nFetchRealPrices=1\nUpdateAtStart=0\n"),
      std::string::npos)
      << ReadText(path);
  EXPECT_FALSE(reloaded.GetUpdatePrefs().updateAtStart);
  EXPECT_EQ(reloaded.GetUpdatePrefs().updateMinutes, 90);

  reloaded.SetDefaults();
  EXPECT_EQ(reloaded.GetGeneralPrefs().market, 0);
  EXPECT_EQ(reloaded.GetServicePrefs().hosts.historicalHost, "localhost:8642");
  EXPECT_TRUE(reloaded.GetUpdatePrefs().updateAtStart);
  EXPECT_FALSE(reloaded.GetUpdatePrefs().fetchRealPrices);
}
