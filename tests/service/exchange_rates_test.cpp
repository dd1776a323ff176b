// Currency pairs as securities of their own: quotes and daily history with six significant digits on the
// working days of the euro's reference calendar, cross rates through the euro, and real reference rates read
// from the European Central Bank's CSV data form.
#include "service/currency_table.h"
#include "service/decimal_text.h"
#include "service/ecb_csv.h"
#include "service/fx_market.h"
#include "service/history_fetcher.h"
#include "service/rate_table.h"
#include "service/reference_calendar.h"
#include "service/text_format.h"

#include "fake_upstream.h"
#include "service_fixture.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>

namespace {

int Day(int y, int m, int d) {
  int day = 0;
  EXPECT_TRUE(MakeDay(y, m, d, day));
  return day;
}

// A pair's served history over a span: day to the rate's text.
std::map<int, std::string> RateHistory(const Market& market, const std::string& pair,
                                       const std::string& span) {
  const ServiceResponse r = Get(market, "/table.csv?s=" + pair + span);
  EXPECT_EQ(r.status, 200) << pair;
  std::map<int, std::string> rates;
  size_t start = r.body.find('\n') + 1;
  std::string_view line;
  std::vector<std::string> f;
  while (NextTextLine(r.body, start, line)) {
    EXPECT_TRUE(SplitCsvLine(line, f) && f.size() == 7) << line;
    EXPECT_TRUE(f[1] == f[4] && f[2] == f[4] && f[3] == f[4] && f[6] == f[4] && f[5] == "0") << line;
    int y = 0, m = 0, d = 0;
    EXPECT_EQ(std::sscanf(f[0].c_str(), "%d-%d-%d", &y, &m, &d), 3);
    rates[Day(y, m, d)] = f[4];
  }
  return rates;
}

int SignificantDigits(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9' && (!digits.empty() || c != '0')) digits += c;
  }
  return static_cast<int>(digits.size());
}

double Rate(const std::string& text) {
  Decimal d;
  EXPECT_TRUE(ParseDecimal(text, d)) << text;
  return ToDouble(d);
}

}  // namespace

TEST(ReferenceCalendar, EasterAndTheClosingDays) {
  for (const auto& [year, month, day] : std::vector<std::tuple<int, int, int>>{
           {2000, 4, 23}, {2019, 4, 21}, {2024, 3, 31}, {2025, 4, 20}, {2026, 4, 5}}) {
    EXPECT_EQ(ReferenceCalendar::EasterSunday(year), Day(year, month, day)) << year;
  }
  for (const auto& [y, m, d] : std::vector<std::tuple<int, int, int>>{{2024, 1, 1},
                                                                      {2024, 3, 29},
                                                                      {2024, 4, 1},
                                                                      {2024, 5, 1},
                                                                      {2024, 12, 25},
                                                                      {2024, 12, 26},
                                                                      {2024, 3, 30}})
    EXPECT_FALSE(ReferenceCalendar::IsWorkingDay(Day(y, m, d))) << y << "-" << m << "-" << d;
  // Ascension, Whit Monday and the national holidays of the euro countries are working days of the calendar.
  for (const auto& [y, m, d] : std::vector<std::tuple<int, int, int>>{
           {2024, 5, 9}, {2024, 5, 20}, {2024, 10, 3}, {2024, 12, 24}, {2024, 12, 31}, {2024, 1, 2}})
    EXPECT_TRUE(ReferenceCalendar::IsWorkingDay(Day(y, m, d))) << y << "-" << m << "-" << d;
  EXPECT_EQ(ReferenceCalendar::NextWorkingDay(Day(2024, 3, 28)), Day(2024, 4, 2));
  EXPECT_EQ(ReferenceCalendar::PreviousWorkingDay(Day(2024, 12, 27)), Day(2024, 12, 24));
}

TEST(ExchangeRates, PairsAreQuotedWithSixSignificantDigits) {
  auto market = FixtureMarket();
  const std::string body =
      Get(*market, "/d/quotes.csv?s=EURUSD=X+usdjpy=x+JPYUSD=X+NOKSEK=X+EURXYZ=X+GBpUSD=X&f=snxl1d1t1p").body;
  std::vector<std::vector<std::string>> lines;
  size_t start = 0;
  std::string_view line;
  std::vector<std::string> f;
  while (NextTextLine(body, start, line)) {
    ASSERT_TRUE(SplitCsvLine(line, f));
    lines.push_back(f);
  }
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0][0], "EURUSD=X");
  EXPECT_EQ(lines[0][1], "EUR/USD (Euro in US Dollar)");
  EXPECT_EQ(lines[0][2], "CCY");
  EXPECT_EQ(lines[1][0], "USDJPY=X");
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(SignificantDigits(lines[i][3]), 6) << lines[i][3];
    EXPECT_EQ(SignificantDigits(lines[i][6]), 6) << lines[i][6];
    EXPECT_EQ(lines[i][4], "12/4/2026");  // Friday's rates were fixed at 14:15 in Frankfurt
    EXPECT_EQ(lines[i][5], "2:15pm");
  }
  EXPECT_NEAR(Rate(lines[1][3]) * Rate(lines[2][3]), 1.0, 2e-5);
  // No such currency, and no pairs of a minor unit (pence are a hundredth of a pound, not a currency).
  for (size_t i = 4; i < 6; ++i) {
    EXPECT_EQ(lines[i][2], "N/A") << lines[i][0];
    EXPECT_EQ(lines[i][3], "N/A");
  }
  // Before 14:15 in Frankfurt the day's rates are not fixed yet.
  auto morning = FixtureMarket("2026-12-04T13:00:00+01:00");
  EXPECT_EQ(Get(*morning, "/d/quotes.csv?s=EURUSD=X&f=d1l1").body,
            "\"12/3/2026\"," + RateHistory(*market, "EURUSD=X", "&c=2026").at(Day(2026, 12, 3)) + "\r\n");
}

TEST(ExchangeRates, HistoryIsOnTheReferenceCalendarsWorkingDays) {
  auto market = FixtureMarket();
  const auto rates = RateHistory(*market, "EURUSD=X", "&a=0&b=1&c=2024&d=11&e=31&f=2024");
  size_t workingDays = 0;
  for (int day = Day(2024, 1, 1); day <= Day(2024, 12, 31); ++day)
    workingDays += ReferenceCalendar::IsWorkingDay(day);
  EXPECT_EQ(rates.size(), workingDays);
  for (const auto& [day, text] : rates) {
    EXPECT_TRUE(ReferenceCalendar::IsWorkingDay(day)) << FormatIsoDay(day);
    EXPECT_EQ(SignificantDigits(text), 6) << text;
    EXPECT_GT(Rate(text), 0.8) << text;
    EXPECT_LT(Rate(text), 1.6) << text;
  }
  EXPECT_FALSE(rates.count(Day(2024, 3, 29)));  // Good Friday
  EXPECT_TRUE(rates.count(Day(2024, 5, 9)));    // Ascension Day is no closing day
  // The euro's rates begin with the euro; nothing is served after the clock.
  const auto all = RateHistory(*market, "EURUSD=X", "&c=1990");
  EXPECT_EQ(all.begin()->first, Day(1999, 1, 4));
  EXPECT_EQ(all.rbegin()->first, Day(2026, 12, 4));
  EXPECT_EQ(Get(*market, "/table.csv?s=EURXYZ=X").status, 404);
}

TEST(ExchangeRates, InverseAndCrossRatesAgreeThroughTheEuro) {
  auto market = FixtureMarket();
  const std::string span = "&a=0&b=1&c=2025&d=11&e=31&f=2025";
  const auto usdJpy = RateHistory(*market, "USDJPY=X", span), jpyUsd = RateHistory(*market, "JPYUSD=X", span);
  const auto eurUsd = RateHistory(*market, "EURUSD=X", span), eurJpy = RateHistory(*market, "EURJPY=X", span);
  ASSERT_GT(usdJpy.size(), 250u);
  for (const auto& [day, text] : usdJpy) {
    // Each rate holds six digits: the product of a pair and its inverse is 1 within their rounding.
    EXPECT_NEAR(Rate(text) * Rate(jpyUsd.at(day)), 1.0, 1.1e-5) << FormatIsoDay(day);
    EXPECT_NEAR(Rate(eurUsd.at(day)) * Rate(text) / Rate(eurJpy.at(day)), 1.0, 1.6e-5) << FormatIsoDay(day);
  }
}

TEST(ExchangeRates, PastRatesDoNotDependOnTheClockAndLevelsAreRealistic) {
  auto june = FixtureMarket("2026-06-01T12:00:00-04:00");
  auto december = FixtureMarket();
  EXPECT_EQ(RateHistory(*june, "GBPCHF=X", "&c=2025&f=2026&d=4&e=29"),
            RateHistory(*december, "GBPCHF=X", "&c=2025&f=2026&d=4&e=29"));
  // Every currency of the table near its level of early 2026 against the dollar (a few standard deviations).
  int count = 0;
  const CurrencyInfo* all = AllCurrencies(count);
  for (int i = 0; i < count; ++i) {
    if (all[i].IsMinorUnit() || std::string_view(all[i].code) == "USD") continue;
    const std::string pair = std::string("USD") + all[i].code + "=X";
    const auto rates = RateHistory(*december, pair, "&a=0&b=2&c=2026&d=0&e=2&f=2026");
    ASSERT_EQ(rates.size(), 1u) << pair;
    const double perDollar = Rate(rates.begin()->second);
    const double level = std::string_view(all[i].anchor) == "EUR" ? all[i].level * 0.862 : all[i].level;
    EXPECT_GT(perDollar, level * 0.6) << pair;
    EXPECT_LT(perDollar, level / 0.6) << pair;
  }
}

TEST(ExchangeRates, LookUpFindsThePairs) {
  auto market = FixtureMarket();
  const std::string page = Get(*market, "/lookup?s=eurusd&t=C").body;
  EXPECT_NE(page.find("1 results for <b>eurusd</b>"), std::string::npos) << page;
  EXPECT_NE(page.find("<td>EUR/USD (Euro in US Dollar)</td><td>CCY</td><td>Currency</td>"),
            std::string::npos);
  const std::string yen = Get(*market, "/lookup?s=yen&t=C&m=ALL").body;
  int count = 0;
  AllCurrencies(count);
  EXPECT_NE(yen.find("Showing 1 - 50 of " + std::to_string(2 * (count - 3 - 1))), std::string::npos) << yen;
  // Stocks stay stocks.
  EXPECT_EQ(Get(*market, "/lookup?s=eurusd&t=S").body.find("EURUSD=X"), std::string::npos);
}

TEST(Decimals, ExactTextsAndRounding) {
  Decimal d;
  for (const char* bad :
       {"", ".", "1.", ".5", "-1", "+1", "1e3", "1,5", "0", "0.000", "1.2.3", "12345678901234567"})
    EXPECT_FALSE(ParseDecimal(bad, d)) << bad;
  ASSERT_TRUE(ParseDecimal("0.00661234", d));
  EXPECT_EQ(FormatDecimal(d), "0.00661234");
  ASSERT_TRUE(ParseDecimal("162.7900", d));
  EXPECT_EQ(FormatDecimal(RoundRate(d)), "162.790");
  EXPECT_EQ(FormatDecimal(DivideRates({1, 0}, {3, 0})), "0.333333");
  EXPECT_EQ(FormatDecimal(DivideRates({2, 0}, {3, 0})), "0.666667");
  EXPECT_EQ(FormatDecimal(DivideRates({9999995, -6}, {1, 0})), "10.0000");  // a carry into a new digit
  EXPECT_EQ(FormatDecimal(DivideRates({1234567, 0}, {1, 0})), "1234570");
  EXPECT_EQ(FormatDecimal(RateFromDouble(1.0845)), "1.08450");
  EXPECT_EQ(FormatDecimal(RateFromDouble(0.000123456789)), "0.000123457");
  EXPECT_FALSE(RateFromDouble(std::nan("")).Valid());
  EXPECT_FALSE(RateFromDouble(-2).Valid());
  int64_t micros = 0;
  for (const char* bad : {"0.1234567", "-1", "1e2", "1000000000", ""})
    EXPECT_FALSE(ParseMicros(bad, micros)) << bad;
  ASSERT_TRUE(ParseMicros("0.2725", micros));
  EXPECT_EQ(micros, 272500);
  EXPECT_EQ(FormatMicros(micros), "0.2725");
  EXPECT_EQ(FormatMicros(850000), "0.85");
  EXPECT_EQ(FormatMicros(1), "0.000001");
  EXPECT_EQ(FormatMicrosFixed(1095000, 2), "1.10");
  EXPECT_EQ(ScaleMicros(81, 10, 1), 810);
  EXPECT_EQ(ScaleMicros(5, 1, 2), 3);  // half away from zero
}

// A stand-in for the European Central Bank's answer, in the layout of its data portal's CSV data form:
// every attribute column, quoted titles with commas in them, a row per currency and day.
static const char kEcbStandIn[] =
    "KEY,FREQ,CURRENCY,CURRENCY_DENOM,EXR_TYPE,EXR_SUFFIX,TIME_PERIOD,OBS_VALUE,OBS_STATUS,OBS_CONF,OBS_PRE_"
    "BREAK,"
    "OBS_COM,TIME_FORMAT,BREAKS,COLLECTION,COMPILING_ORG,DISS_ORG,DOM_SER_IDS,PUBL_ECB,PUBL_MU,PUBL_PUBLIC,"
    "UNIT_INDEX_BASE,COMPILATION,COVERAGE,DECIMALS,NAT_TITLE,SOURCE_AGENCY,SOURCE_PUB,TITLE,TITLE_COMPL,UNIT,"
    "UNIT_MULT\n"
    "EXR.D.USD.EUR.SP00.A,D,USD,EUR,SP00,A,2026-12-03,1.0832,A,F,,,P1D,,A,,,,,,,,,,4,,4F0,,US dollar/Euro,"
    "\"ECB reference exchange rate, US dollar/Euro, 2:15 pm (C.E.T.)\",USD,0\n"
    "EXR.D.USD.EUR.SP00.A,D,USD,EUR,SP00,A,2026-12-04,1.0845,A,F,,,P1D,,A,,,,,,,,,,4,,4F0,,US dollar/Euro,"
    "\"ECB reference exchange rate, US dollar/Euro, 2:15 pm (C.E.T.)\",USD,0\n"
    "EXR.D.JPY.EUR.SP00.A,D,JPY,EUR,SP00,A,2026-12-03,162.79,A,F,,,P1D,,A,,,,,,,,,,2,,4F0,,Japanese yen/Euro,"
    "\"ECB reference exchange rate, Japanese yen/Euro, 2:15 pm (C.E.T.)\",JPY,0\n"
    "EXR.D.JPY.EUR.SP00.A,D,JPY,EUR,SP00,A,2026-12-04,163.45,A,F,,,P1D,,A,,,,,,,,,,2,,4F0,,Japanese yen/Euro,"
    "\"ECB reference exchange rate, Japanese yen/Euro, 2:15 pm (C.E.T.)\",JPY,0\n"
    "EXR.D.GBP.EUR.SP00.A,D,GBP,EUR,SP00,A,2026-12-04,0.85355,A,F,,,P1D,,A,,,,,,,,,,5,,4F0,,UK pound "
    "sterling/Euro,"
    "\"ECB reference exchange rate, UK pound sterling/Euro, 2:15 pm (C.E.T.)\",GBP,0\n"
    "EXR.D.CYP.EUR.SP00.A,D,CYP,EUR,SP00,A,2007-12-31,0.585274,A,F,,,P1D,,A,,,,,,,,,,6,,4F0,,Cyprus "
    "pound/Euro,"
    "\"ECB reference exchange rate, Cyprus pound/Euro, 2:15 pm (C.E.T.)\",CYP,0\n"
    "EXR.M.USD.EUR.SP00.A,M,USD,EUR,SP00,A,2026-11,1.0790,A,F,,,P1M,,A,,,,,,,,,,4,,4F0,,US dollar/Euro,"
    "\"ECB reference exchange rate, US dollar/Euro, 2:15 pm (C.E.T.)\",USD,0\n"
    "EXR.D.GBP.EUR.SP00.A,D,GBP,EUR,SP00,A,2026-12-03,NaN,A,F,,,P1D,,A,,,,,,,,,,5,,4F0,,UK pound "
    "sterling/Euro,"
    "\"ECB reference exchange rate, UK pound sterling/Euro, 2:15 pm (C.E.T.)\",GBP,0\n";

TEST(EcbRates, TheDataFormIsReadAndTheRestPassedOver) {
  const RateAnswer answer = ParseEcbCsv(kEcbStandIn);
  ASSERT_TRUE(answer.ok) << answer.error;
  ASSERT_EQ(answer.observations.size(), 5u)
      << "the Cyprus pound, the monthly row and the NaN are passed over";
  EXPECT_EQ(answer.observations[4].currency, "GBP");
  EXPECT_EQ(answer.observations[4].day, Day(2026, 12, 4));
  EXPECT_EQ(FormatDecimal(answer.observations[4].perEuro), "0.85355");
  const std::pair<std::string, std::string> refused[] = {
      {"<html><body>Maintenance</body></html>", "an HTML page instead of CSV"},
      {"", "an empty answer"},
      {"Date,USD,JPY\n2026-12-04,1.0845,163.45\n",
       "line 1: not the ECB's CSV data form (no CURRENCY, CURRENCY_DENOM, TIME_PERIOD and OBS_VALUE "
       "columns)"},
      {"KEY,FREQ,CURRENCY,CURRENCY_DENOM,TIME_PERIOD,OBS_VALUE\nk,D,USD,EUR,04.12.2026,1.0845\n",
       "line 2: bad date \"04.12.2026\""},
      {"KEY,FREQ,CURRENCY,CURRENCY_DENOM,TIME_PERIOD,OBS_VALUE\nk,D,USD,EUR,2026-12-04,1.08.45\n",
       "line 2: bad rate \"1.08.45\""},
      {"KEY,FREQ,CURRENCY,CURRENCY_DENOM,TIME_PERIOD,OBS_VALUE\nk,D,USD,EUR,2026-12-04\n",
       "line 2: expected at least 6 fields"},
      {"KEY,FREQ,CURRENCY,CURRENCY_DENOM,TIME_PERIOD,OBS_VALUE\nk,D,USD,USD,2026-12-04,1\n",
       "an answer without reference rates"},
      {"CURRENCY,CURRENCY_DENOM,TIME_PERIOD,OBS_VALUE\n\"USD,EUR,2026-12-04,1\n", "line 2: unbalanced quote"},
  };
  for (const auto& [body, why] : refused) {
    const RateAnswer r = ParseEcbCsv(body);
    EXPECT_FALSE(r.ok) << body;
    EXPECT_EQ(r.error, why);
  }
}

// The preset's path: a rates source fetched like prices, stored per euro, and every pair of its currencies
// crossed through the euro; a currency it lacks keeps the pair simulated.
TEST(EcbRates, AFetchStoresTheRatesAndThePairsServeThem) {
  FakeUpstream upstream;
  upstream.Answer("ecb", kEcbStandIn);
  const TempFolder folder("vl_ecb");
  auto market = FixtureMarket("2026-12-04T18:00:00-05:00", 1, false);
  const std::string simulatedChf = Get(*market, "/d/quotes.csv?s=EURCHF=X&f=l1").body;
  std::vector<UpstreamSource> sources;
  std::string error;
  ASSERT_TRUE(ParseSourcesFile("[rates ecb]\nurl = " + upstream.Url().substr(0, upstream.Url().find('{')) +
                                   "ecb&from={start}\nform = ecb\ntimeout = 2\n",
                               sources, error))
      << error;
  HistoryFetcher fetcher(std::move(sources), folder.File("history"), *market);
  EXPECT_EQ(fetcher.SourceCountFor("MSFT"), 0u);
  const FetchReport report = fetcher.Fetch("eurusd=x");
  ASSERT_TRUE(report.ok) << report.message;
  EXPECT_EQ(report.message,
            "EURUSD=X: reference rates of 3 currencies, 5 new, 0 corrected, last 2026-12-04 (ecb)");
  EXPECT_EQ(ReadText(folder.File("rates/EUR.csv")),
            "Date,USD,JPY,GBP\n2026-12-04,1.0845,163.45,0.85355\n2026-12-03,1.0832,162.79,\n");
  EXPECT_EQ(upstream.Asked(), std::vector<std::string>{"ecb"});
  EXPECT_EQ(RateHistory(*market, "EURUSD=X", "&c=2026&a=11"),
            (std::map<int, std::string>{{Day(2026, 12, 3), "1.08320"}, {Day(2026, 12, 4), "1.08450"}}));
  // USD/JPY through the euro: 163.45 / 1.0845 = 150.715..., and the day without a pound rate has no GBP pair.
  EXPECT_EQ(RateHistory(*market, "USDJPY=X", "&c=2026&a=11").at(Day(2026, 12, 4)), "150.715");
  EXPECT_EQ(RateHistory(*market, "GBPJPY=X", "&c=2026&a=11").size(), 1u);
  EXPECT_EQ(Get(*market, "/d/quotes.csv?s=EURCHF=X&f=l1").body, simulatedChf);

  // A service started later reads the stored rates; a file that does not parse leaves the simulation.
  auto restarted = FixtureMarket("2026-12-04T18:00:00-05:00", 1, false);
  std::vector<std::string> messages;
  restarted->LoadRatesFile(folder.File("rates/EUR.csv"), messages);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("reference rates of 3 currencies on 2 days"), std::string::npos) << messages[0];
  EXPECT_EQ(Get(*restarted, "/d/quotes.csv?s=USDJPY=X&f=l1").body, "150.715\r\n");
  WriteText(folder.File("rates/EUR.csv"), "Date,USD,XXX\n2026-12-04,1.0845,1\n");
  auto broken = FixtureMarket("2026-12-04T18:00:00-05:00", 1, false);
  broken->LoadRatesFile(folder.File("rates/EUR.csv"), messages);
  EXPECT_NE(messages.back().find("the column \"XXX\" is no currency"), std::string::npos) << messages.back();
  EXPECT_NE(Get(*broken, "/d/quotes.csv?s=EURUSD=X&f=l1").body, "1.08450\r\n");
  const FetchReport refused = fetcher.Fetch("EURUSD=X");
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.message.find("repair or remove it before fetching"), std::string::npos)
      << refused.message;
}

TEST(EcbRates, StoredTableRoundTripsAndMergesObservations) {
  RateTable table;
  std::string error;
  ASSERT_TRUE(ParseRateTableCsv("Date,USD,JPY\n2026-12-04,1.0845,\n2026-12-03,1.0832,162.79\n", table, error))
      << error;
  ASSERT_EQ(table.days.size(), 2u);
  EXPECT_FALSE(table.perEuro[1][1].Valid());
  EXPECT_EQ(FormatRateTableCsv(table), "Date,USD,JPY\n2026-12-04,1.0845,\n2026-12-03,1.0832,162.79\n");
  Decimal corrected, added;
  ASSERT_TRUE(ParseDecimal("1.0846", corrected));
  ASSERT_TRUE(ParseDecimal("0.8536", added));
  const RateMerge merge = MergeRates(table, {{table.days[1], "USD", corrected},
                                             {table.days[1], "GBP", added},
                                             {table.days[0], "USD", table.perEuro[0][0]}});
  EXPECT_EQ(merge.added, 1u);
  EXPECT_EQ(merge.replaced, 1u);
  EXPECT_EQ(FormatRateTableCsv(table),
            "Date,USD,JPY,GBP\n2026-12-04,1.0846,,0.8536\n2026-12-03,1.0832,162.79,\n");
  for (const char* bad : {"Date,USD,USD\n", "Date,EUR\n", "Day,USD\n", "Date,USD\n2026-12-04,1.08,1\n",
                          "Date,USD\n2026-12-04,-1\n", "Date,USD\n2026-12-04,1\n2026-12-04,1\n", ""}) {
    EXPECT_FALSE(ParseRateTableCsv(bad, table, error)) << bad;
  }
  EXPECT_EQ(table.currencies.size(), 3u) << "a refused file changes nothing";
}
