#include "service/upstream_source.h"

#include "service/history_store.h"
#include "service/security_list.h"
#include "service/source_csv.h"
#include "service/text_format.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

// The presets as shipped beside the program.
static std::string PresetSourcesText() {
  const std::string text = ReadText(std::string(VL_FIXTURES_DIR) + "/../../service/data/sources.example.ini");
  EXPECT_FALSE(text.empty());
  return text;
}

static const char kSecurities[] =
    "symbol,name,exchange,type,price,shares,eps,dividend,volatility\n"
    "MSFT,Microsoft,NASDAQ,S,400,7400000000,11,3,0.25\n"
    "BRK-B,Berkshire B,NYSE,S,400,1300000000,20,0,0.2\n"
    "VOD.L,Vodafone,LSE,S,70,27000000000,0.1,0.08,0.2\n"
    "BHP.AX,BHP,ASX,S,43,5000000000,2.7,2,0.26\n"
    "RY.TO,Royal Bank,TSX,S,210,1400000000,13,6,0.17\n"
    "^DJI,Dow Jones,DJI,I,44000,300000000,0,0,0.15\n"
    "^GSPC,S&P 500,SNP,I,6000,2000000000,0,0,0.15\n";

class UpstreamSpelling : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(list.ParseCsv(kSecurities, "test", error)) << error;
    ASSERT_TRUE(ParseSourcesFile(PresetSourcesText(), sources, error)) << error;
    ASSERT_EQ(sources.size(), 2u);  // Stooq and the ECB's rates; the generic preset is written out commented
  }
  const Security& S(const char* symbol) { return *list.Find(symbol); }
  SecurityList list;
  std::vector<UpstreamSource> sources;
};

TEST_F(UpstreamSpelling, StooqPresetSpellsEveryMarketItsWay) {
  const UpstreamSource& stooq = sources[0];
  EXPECT_EQ(stooq.name, "stooq");
  const std::pair<const char*, const char*> cases[] = {
      {"MSFT", "msft.us"}, {"BRK-B", "brk-b.us"}, {"VOD.L", "vod.uk"}, {"BHP.AX", "bhp.au"},
      {"RY.TO", "ry.ca"},  {"^DJI", "^dji"},      {"^GSPC", "^spx"},
  };
  for (const auto& [ours, theirs] : cases) EXPECT_EQ(UpstreamSymbol(stooq, S(ours)), theirs) << ours;
  EXPECT_EQ(UpstreamUrl(stooq, S("MSFT"), 0, 20000), "https://stooq.com/q/d/l/?s=msft.us&i=d");
  EXPECT_EQ(UpstreamUrl(stooq, S("VOD.L"), 0, 20000), "https://stooq.com/q/d/l/?s=vod.uk&i=d");
  EXPECT_EQ(UpstreamUrl(stooq, S("^DJI"), 0, 20000), "https://stooq.com/q/d/l/?s=^dji&i=d");
}

TEST_F(UpstreamSpelling, OwnSourceTakesDatesCaseAndMappingFromItsSettings) {
  std::vector<UpstreamSource> own;
  std::string error;
  ASSERT_TRUE(
      ParseSourcesFile("[source own]\n"
                       "url = http://127.0.0.1:1/h?s={symbol}&a={start}&b={end}\n"
                       "case = upper\n"
                       "suffix ASX = .ax.x\n"
                       "symbol bhp.ax = B&P\n"
                       "date-format = DD.MM.YYYY\n"
                       "url-date-format = M/D/YYYY\n",
                       own, error))
      << error;
  int start = 0, end = 0;
  ASSERT_TRUE(MakeDay(2026, 1, 5, start) && MakeDay(2026, 12, 4, end));
  EXPECT_EQ(UpstreamUrl(own[0], S("MSFT"), start, end),
            "http://127.0.0.1:1/h?s=MSFT&a=1%2F5%2F2026&b=12%2F4%2F2026");
  // The mapping wins over the suffix and the case, and is encoded for the URL.
  EXPECT_EQ(UpstreamUrl(own[0], S("BHP.AX"), start, end).substr(0, 27), "http://127.0.0.1:1/h?s=B%26");
  EXPECT_EQ(UpstreamSymbol(own[0], S("VOD.L")), "VOD.L");  // no rule for London: as quoted
}

TEST(UpstreamSettings, FaultsNameTheirLineAndKeepThePreviousSources) {
  std::vector<UpstreamSource> sources(1);
  sources[0].name = "kept";
  const std::pair<const char*, const char*> cases[] = {
      {"url = http://x/{symbol}\n", "line 1: a setting before the first [source NAME]"},
      {"[source a]\nurl = http://x/\n", "line 2: url needs the {symbol} placeholder"},
      {"[source a]\nurl = ftp://x/{symbol}\n", "line 2: url must start with http:// or https://"},
      {"[source a]\nurl = http://x/{symbol}\ncolour = red\n", "line 3: unknown setting colour"},
      {"[source a]\nurl = http://x/{symbol}\nmin-interval-ms = 200\n",
       "line 3: bad value for min-interval-ms"},
      {"[source a]\nurl = http://x/{symbol}\nsuffix Mars = .m\n", "line 3: no exchange called Mars"},
      {"[source a]\nurl = http://x/{symbol}\ndate-format = YY-MM-DD\n", "line 3: bad value for date-format"},
      {"[source a]\nurl = http://x/{symbol}\nheader = no\n[source b]\n",
       "line 4: source a has no header, so its columns must be given as #N"},
      {"[source a]\ncase = lower\n", "line 2: source a has no url"},
      {"[sauce a]\n", "line 1: expected [source NAME] or [rates NAME]"},
      {"[source a]\nurl = http://x/{symbol}\ncloses = adjusted\n",
       "line 3: closes must be as-traded or split-adjusted"},
      {"[source a]\nurl = http://x/{symbol}\nform = ecb\n",
       "line 3: form must be ecb (the European Central Bank's CSV data form)"},
      {"[rates r]\nurl = http://x/\nform = imf\n",
       "line 3: form must be ecb (the European Central Bank's CSV data form)"},
      {"[rates r]\nurl = http://x/\ncase = lower\n", "line 3: case is not a setting of a rates source"},
      {"[rates r]\nurl = http://x/\ncloses = as-traded\n",
       "line 3: closes is not a setting of a rates source"},
      {"[rates r]\ntimeout = 5\n", "line 2: source r has no url"},
  };
  for (const auto& [text, expected] : cases) {
    std::string error;
    EXPECT_FALSE(ParseSourcesFile(text, sources, error)) << text;
    EXPECT_EQ(error, expected) << text;
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].name, "kept");
  }
}

TEST(UpstreamSettings, RatesSourcesAndTheFormOfCloses) {
  std::vector<UpstreamSource> sources;
  std::string error;
  ASSERT_TRUE(
      ParseSourcesFile("[source p]\nurl = http://x/{symbol}\ncloses = split-adjusted\n"
                       "[rates ecb]\nurl = https://x/EXR/D..EUR.SP00.A?startPeriod={start}&endPeriod={end}\n"
                       "form = ecb\nlookback-days = 10\nmax-kilobytes = 65536\n",
                       sources, error))
      << error;
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_EQ(sources[0].kind, UpstreamSource::Kind::Prices);
  EXPECT_TRUE(sources[0].splitAdjusted);
  EXPECT_EQ(sources[1].kind, UpstreamSource::Kind::Rates);
  EXPECT_EQ(sources[1].lookbackDays, 10);
  int start = 0, end = 0;
  ASSERT_TRUE(MakeDay(1999, 1, 4, start) && MakeDay(2026, 12, 4, end));
  EXPECT_EQ(RatesUrl(sources[1], start, end),
            "https://x/EXR/D..EUR.SP00.A?startPeriod=1999-01-04&endPeriod=2026-12-04");
  // The bundled example names the ECB's rates and Stooq's split-adjusted closes.
  ASSERT_TRUE(ParseSourcesFile(PresetSourcesText(), sources, error)) << error;
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_TRUE(sources[0].splitAdjusted);
  EXPECT_EQ(sources[1].kind, UpstreamSource::Kind::Rates);
  EXPECT_NE(sources[1].urlTemplate.find("data-api.ecb.europa.eu"), std::string::npos);
}

TEST(UpstreamSettings, DatePatternsReadAndWriteTheirOwnForm) {
  int day = 0, expected = 0;
  ASSERT_TRUE(MakeDay(2026, 3, 7, expected));
  EXPECT_TRUE(ParsePatternDate("YYYY-MM-DD", "2026-03-07", day));
  EXPECT_EQ(day, expected);
  EXPECT_TRUE(ParsePatternDate("M/D/YYYY", "3/7/2026", day));
  EXPECT_EQ(day, expected);
  EXPECT_TRUE(ParsePatternDate("YYYYMMDD", "20260307", day));
  EXPECT_EQ(day, expected);
  EXPECT_EQ(FormatPatternDate("DD.MM.YYYY", expected), "07.03.2026");
  EXPECT_EQ(FormatPatternDate("M/D/YYYY", expected), "3/7/2026");
  for (const char* bad : {"2026-3-07", "2026-03-07 ", "2026-02-30", "26-03-07", "2026-03-0x"})
    EXPECT_FALSE(ParsePatternDate("YYYY-MM-DD", bad, day)) << bad;
  EXPECT_FALSE(ValidDatePattern("YYYY-MM"));
  EXPECT_FALSE(ValidDatePattern("YYYY-MMM-DD"));
}

class StooqAnswer : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(ParseSourcesFile(PresetSourcesText(), sources, error)) << error;
  }
  SourceAnswer Parse(std::string_view body) { return ParseSourceAnswer(sources[0], body); }
  std::vector<UpstreamSource> sources;
};

TEST_F(StooqAnswer, DailyRowsComeOutOldestFirstInCents) {
  const SourceAnswer a = Parse(
      "Date,Open,High,Low,Close,Volume\r\n"
      "2026-12-03,410.5,415.25,409.125,414.999,22000000\r\n"
      "2026-12-02,405,411,404,410.5,18000000\r\n");
  ASSERT_EQ(a.kind, SourceAnswer::Kind::Rows) << a.error;
  ASSERT_EQ(a.rows.size(), 2u);
  EXPECT_EQ(FormatIsoDay(a.rows[0].day), "2026-12-02");
  EXPECT_EQ(FormatIsoDay(a.rows[1].day), "2026-12-03");
  EXPECT_DOUBLE_EQ(a.rows[1].low, 409.13);
  EXPECT_DOUBLE_EQ(a.rows[1].close, 415.0);
  EXPECT_DOUBLE_EQ(a.rows[1].adjClose, 415.0);  // no adjusted column: the close
  EXPECT_DOUBLE_EQ(a.rows[1].volume, 22000000);
  // An index row has no volume; a high below the close is widened to hold it.
  const SourceAnswer index = Parse("Date,Open,High,Low,Close,Volume\n2026-12-03,100,101,99,102,\n");
  ASSERT_EQ(index.kind, SourceAnswer::Kind::Rows) << index.error;
  EXPECT_DOUBLE_EQ(index.rows[0].volume, 0);
  EXPECT_DOUBLE_EQ(index.rows[0].high, 102);
}

TEST_F(StooqAnswer, NoDataHtmlAndBrokenAnswersAreToldApart) {
  EXPECT_EQ(Parse("No data").kind, SourceAnswer::Kind::NoData);
  EXPECT_EQ(Parse("Date,Open,High,Low,Close,Volume\n").kind, SourceAnswer::Kind::NoData);
  const std::pair<const char*, const char*> broken[] = {
      {"<!DOCTYPE html>\n<html><body>Error</body></html>", "an HTML page instead of CSV"},
      {"\n  <HTML>moved</HTML>", "an HTML page instead of CSV"},
      {"", "an empty answer"},
      {"Date,Open,High,Low,Volume\n2026-12-03,1,1,1,1\n", "line 1: no column \"Close\" in the header"},
      {"Date,Open,High,Low,Close,Volume\n12/03/2026,1,1,1,1,1\n", "line 2: bad date \"12/03/2026\""},
      {"Date,Open,High,Low,Close,Volume\n2026-12-03,1,1,1,abc,1\n", "line 2: bad number"},
      {"Date,Open,High,Low,Close,Volume\n2026-12-03,1,1,1,-1,1\n", "line 2: bad number"},
      {"Date,Open,High,Low,Close,Volume\n2026-12-03,1,1,1\n", "line 2: expected at least 6 fields"},
      {"Date,Open,High,Low,Close,Volume\n2026-12-03,1,1,1,0,1\n", "line 2: no closing price"},
      {"Date,Open,High,Low,Close,Volume\n2026-12-03,1,1,1,1,1\n2026-12-03,1,1,1,1,1\n",
       "the date 2026-12-03 appears twice"},
  };
  for (const auto& [body, why] : broken) {
    const SourceAnswer a = Parse(body);
    EXPECT_EQ(a.kind, SourceAnswer::Kind::NotCsv) << body;
    EXPECT_EQ(a.error, why) << body;
    EXPECT_TRUE(a.rows.empty());
  }
  const SourceAnswer longLine = Parse("Date,Open,High,Low,Close,Volume\n" + std::string(5000, '1') + "\n");
  EXPECT_EQ(longLine.error, "line 2: line too long");
}

TEST(UpstreamAnswer, PositionalColumnsWithoutAHeader) {
  std::vector<UpstreamSource> sources;
  std::string error;
  ASSERT_TRUE(
      ParseSourcesFile("[source p]\nurl = http://x/{symbol}\nheader = no\ndate = #2\nclose = #1\n"
                       "open =\nhigh =\nlow =\nvolume = #3\ndate-format = YYYYMMDD\n",
                       sources, error))
      << error;
  const SourceAnswer a = ParseSourceAnswer(sources[0], "12.5,20261203,900\n13,20261204,1000\n");
  ASSERT_EQ(a.kind, SourceAnswer::Kind::Rows) << a.error;
  ASSERT_EQ(a.rows.size(), 2u);
  EXPECT_EQ(FormatIsoDay(a.rows[1].day), "2026-12-04");
  EXPECT_DOUBLE_EQ(a.rows[1].open, 13);
  EXPECT_DOUBLE_EQ(a.rows[1].low, 13);
  EXPECT_DOUBLE_EQ(a.rows[0].volume, 900);
}

TEST(HistoryMerge, NewDaysAreAddedAndCorrectedDaysReplaced) {
  auto bar = [](int day, double close) { return DailyBar{day, close, close, close, close, 100, close}; };
  const std::vector<DailyBar> stored = {bar(10, 1.0), bar(11, 2.0), bar(12, 3.0)};
  const std::vector<DailyBar> fetched = {bar(11, 2.0), bar(12, 3.5), bar(13, 4.0), bar(14, 5.0)};
  const MergedHistory merged = MergeHistory(stored, fetched);
  EXPECT_EQ(merged.added, 2u);
  EXPECT_EQ(merged.replaced, 1u);
  ASSERT_EQ(merged.rows.size(), 5u);
  const double closes[] = {1.0, 2.0, 3.5, 4.0, 5.0};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(merged.rows[i].day, 10 + static_cast<int>(i));
    EXPECT_DOUBLE_EQ(merged.rows[i].close, closes[i]);
  }
}
