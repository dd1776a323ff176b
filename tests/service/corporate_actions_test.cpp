// Dividends, splits and symbol changes: the classic dividend download, the events form, prices as traded
// around a split and the adjusted close that agrees with both.
#include "service/corporate_actions.h"
#include "service/decimal_text.h"
#include "service/dividend_history.h"
#include "service/headlines_page.h"
#include "service/text_format.h"

#include "service_fixture.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>

namespace {

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  size_t start = 0;
  std::string_view line;
  std::vector<std::string> fields;
  while (NextTextLine(text, start, line)) {
    EXPECT_TRUE(SplitCsvLine(line, fields)) << line;
    rows.push_back(fields);
  }
  return rows;
}

int Day(const std::string& iso) {
  int y = 0, m = 0, d = 0, day = 0;
  EXPECT_EQ(std::sscanf(iso.c_str(), "%d-%d-%d", &y, &m, &d), 3) << iso;
  EXPECT_TRUE(MakeDay(y, m, d, day)) << iso;
  return day;
}

// The served history of a symbol since a date: bars oldest first.
std::vector<DailyBar> History(const Market& market, const std::string& symbol, const std::string& from) {
  int y = 0, m = 0, d = 0;
  std::sscanf(from.c_str(), "%d-%d-%d", &y, &m, &d);
  const ServiceResponse r = Get(market, "/table.csv?s=" + symbol + "&a=" + std::to_string(m - 1) +
                                            "&b=" + std::to_string(d) + "&c=" + std::to_string(y));
  EXPECT_EQ(r.status, 200) << symbol;
  std::vector<DailyBar> bars;
  std::string error;
  EXPECT_TRUE(ParseHistoryCsv(r.body, bars, error)) << error;
  return bars;
}

std::string Events(const Market& market, const std::string& symbol, const std::string& span = "&c=1990") {
  return Get(market, "/vellumar/events.csv?s=" + symbol + span).body;
}

}  // namespace

TEST(Dividends, PastAmountsAndHeadlinesDoNotMoveWithTheClock) {
  auto june = BundledMarket("2026-06-01T12:00:00-04:00");
  auto december = BundledMarket("2026-12-04T15:30:00-05:00");
  auto later = BundledMarket("2031-03-02T11:00:00-05:00");
  for (const char* symbol : {"MSFT", "KO", "NVDA", "VOD.L"}) {
    const std::string early = Events(*june, symbol);
    ASSERT_GT(CsvRows(early).size(), 100u) << symbol;
    // Every line the June clock knows is the tail of what the later clocks list, unchanged.
    for (const auto* other : {&december, &later}) {
      const std::string text = Events(**other, symbol);
      ASSERT_GT(text.size(), early.size()) << symbol;
      EXPECT_EQ(text.substr(text.size() - (early.size() - early.find('\n') - 1)),
                early.substr(early.find('\n') + 1))
          << symbol;
    }
  }
  // A dividend headline names the amount paid, whatever the price did since.
  const Security& ko = *december->Securities().Find("KO");
  auto declared = [](const std::vector<Headline>& all) {
    std::map<int, std::string> titles;
    for (const Headline& h : all) {
      if (h.title.find("declares quarterly dividend") != std::string::npos) titles[h.day] = h.title;
    }
    return titles;
  };
  const auto inDecember = declared(MakeHeadlines(*december, ko, december->Now()));
  const auto inJune = declared(MakeHeadlines(*june, ko, june->Now()));
  size_t shared = 0;
  for (const auto& [day, title] : inJune) {
    if (!inDecember.count(day)) continue;
    EXPECT_EQ(inDecember.at(day), title);
    ++shared;
  }
  EXPECT_GE(shared, 2u);
  EXPECT_NE(inDecember.rbegin()->second.find("of $0.515 per share"), std::string::npos)
      << inDecember.rbegin()->second;
}

TEST(Dividends, ClassicDownloadListsTheYearsFourAmountsNewestFirst) {
  auto market = BundledMarket();
  const auto rows = CsvRows(Get(*market, "/table.csv?s=MSFT&a=0&b=1&c=2026&d=11&e=31&f=2026&g=v").body);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Date", "Dividends"}));
  int64_t year = 0;
  for (size_t i = 1; i < rows.size(); ++i) {
    int64_t micros = 0;
    ASSERT_TRUE(ParseMicros(rows[i][1], micros)) << rows[i][1];
    year += micros;
    if (i > 1) {
      EXPECT_GT(rows[i - 1][0], rows[i][0]);
    }
  }
  EXPECT_EQ(year, 3400000) << "the bundled annual dividend of 3.40, in four quarters";
  // The same dividends as the events form gives, and none for a payer of none or a currency pair.
  const auto events = CsvRows(Events(*market, "MSFT", "&a=0&b=1&c=2026&d=11&e=31&f=2026"));
  ASSERT_EQ(events.size(), 5u);
  for (size_t i = 1; i < events.size(); ++i) {
    EXPECT_EQ(events[i][0], rows[i][0]);
    EXPECT_EQ(events[i][1], "dividend");
    EXPECT_EQ(events[i][2], rows[i][1]);
    EXPECT_GT(events[i][3], events[i][0]);
    EXPECT_TRUE(TradingCalendar::IsTradingDay(Day(events[i][3]))) << events[i][3];
    EXPECT_EQ(events[i][4], "USD");
  }
  EXPECT_EQ(Get(*market, "/table.csv?s=AMZN&g=v").body, "Date,Dividends\n");
  EXPECT_EQ(Get(*market, "/table.csv?s=EURUSD=X&g=v").body, "Date,Dividends\n");
  EXPECT_EQ(Get(*market, "/table.csv?s=NOSUCH&g=v").status, 404);
  EXPECT_EQ(Get(*market, "/table.csv?s=MSFT&g=w").status, 400);
  // London pays in pence; the quote's annual figure and yield are the bundled ones.
  EXPECT_EQ(CsvRows(Events(*market, "VOD.L", "&c=2026"))[1][4], "GBp");
  EXPECT_EQ(Get(*market, "/d/quotes.csv?s=MSFT&f=d").body, "3.40\r\n");
}

TEST(Dividends, NoneLaterThanTheClock) {
  auto market = BundledMarket();
  const auto rows = CsvRows(Events(*market, "MSFT", "&c=2026&f=2030"));
  ASSERT_GT(rows.size(), 1u);
  EXPECT_LE(Day(rows[1][0]), Day("2026-12-04"));
}

TEST(Splits, HistoryIsAsTradedAroundTheSplitAndTheSameAtAnyLaterClock) {
  auto market = BundledMarket();
  auto before = BundledMarket("2024-06-05T16:30:00-04:00");
  auto after = BundledMarket("2024-09-03T16:30:00-04:00");
  const Security& nvda = *market->Securities().Find("NVDA");
  const auto bars = History(*market, "NVDA", "2024-06-03");
  // Today's shares, as quotes and charts see the past today.
  const auto today = market->Snapshot(nvda, Day("2024-06-03"), market->Now()).bars;
  ASSERT_EQ(today.size(), bars.size());
  for (size_t i = 0; i < 10; ++i) {
    // Before the ex-date in old shares: ten times the price, a tenth of the shares traded.
    const double shares = bars[i].day < Day("2024-06-10") ? 10.0 : 1.0;
    EXPECT_EQ(bars[i].close, std::round(today[i].close * shares * 100) / 100) << FormatIsoDay(bars[i].day);
    EXPECT_EQ(bars[i].high, std::round(today[i].high * shares * 100) / 100);
    EXPECT_EQ(bars[i].volume, std::round(today[i].volume / shares));
  }
  // The adjusted close takes the split out.
  EXPECT_NEAR(bars[4].adjClose, bars[4].close / 10.0, bars[4].close / 10.0 * 0.02);
  // The clock of 5 June 2024 saw the same traded prices, and quoted NVDA in its shares of then.
  const auto early = History(*before, "NVDA", "2024-06-03");
  ASSERT_EQ(early.size(), 3u);
  for (size_t i = 0; i < early.size(); ++i) {
    EXPECT_EQ(early[i].close, bars[i].close) << FormatIsoDay(early[i].day);
    EXPECT_EQ(early[i].open, bars[i].open);
  }
  EXPECT_EQ(Get(*before, "/d/quotes.csv?s=NVDA&f=l1").body, FormatFixed(early.back().close, 2) + "\r\n");
  // Three months after the split the year's high is in the new shares too.
  const double last = std::atof(Get(*after, "/d/quotes.csv?s=NVDA&f=l1").body.c_str());
  const double high = std::atof(Get(*after, "/d/quotes.csv?s=NVDA&f=k").body.c_str());
  EXPECT_GT(high, last);
  EXPECT_LT(high, 2.5 * last);
}

// Between two bars the adjusted closes move by the factors of the events between them: a dividend's
// 1 - amount / the close before it, a split's old / new shares.
TEST(Splits, AdjustedCloseAgreesWithTheDividendsAndSplitsServed) {
  auto market = BundledMarket();
  for (const char* symbol : {"NVDA", "AAPL", "MSFT", "WMT"}) {
    const auto bars = History(*market, symbol, "2019-01-01");
    std::vector<std::pair<int, double>> dividends;
    std::vector<std::pair<int, double>> splits;
    for (const auto& row : CsvRows(Events(*market, symbol))) {
      if (row[1] == "dividend") dividends.emplace_back(Day(row[0]), std::atof(row[2].c_str()));
      if (row[1] == "split") {
        const size_t colon = row[2].find(':');
        splits.emplace_back(Day(row[0]),
                            std::atof(row[2].substr(colon + 1).c_str()) / std::atof(row[2].c_str()));
      }
    }
    size_t checked = 0, withEvents = 0;  // pairs of bars with a dividend or a split between them
    for (size_t i = 0; i + 1 < bars.size(); ++i) {
      const DailyBar &a = bars[i], &b = bars[i + 1];
      double expected = 1.0;
      for (const auto& [day, amount] : dividends) {
        if (day <= a.day || day > b.day) continue;
        double close = a.close;
        for (const auto& [splitDay, ratio] : splits)
          close *= splitDay > a.day && splitDay <= day ? ratio : 1.0;
        expected *= 1.0 - amount / close;
      }
      for (const auto& [day, ratio] : splits) expected *= day > a.day && day <= b.day ? ratio : 1.0;
      withEvents += expected != 1.0;
      if (a.adjClose < 5 || b.adjClose < 5) continue;  // cents would swamp the comparison
      const double actual = (a.adjClose / a.close) / (b.adjClose / b.close);
      const double tolerance = 0.006 / a.adjClose + 0.006 / b.adjClose;
      ASSERT_NEAR(actual, expected, tolerance) << symbol << " " << FormatIsoDay(a.day);
      ++checked;
    }
    EXPECT_GT(checked, 1000u) << symbol;
    EXPECT_GE(withEvents, 24u) << symbol << ": four dividends a year since 2019";
    EXPECT_EQ(bars.back().adjClose, bars.back().close);
  }
}

TEST(Splits, EventsFormListsSplitsAndSymbolChangesNewestFirst) {
  auto market = BundledMarket();
  const auto nvda = CsvRows(Events(*market, "NVDA", "&c=2021&d=11&e=31&f=2024"));
  EXPECT_EQ(nvda[0], (std::vector<std::string>{"Date", "Event", "Value", "Pay Date", "Currency"}));
  std::vector<std::vector<std::string>> splits;
  for (const auto& row : nvda) {
    if (row.size() > 1 && row[1] == "split") splits.push_back(row);
  }
  ASSERT_EQ(splits.size(), 2u);
  EXPECT_EQ(splits[0], (std::vector<std::string>{"2024-06-10", "split", "10:1", "", ""}));
  EXPECT_EQ(splits[1], (std::vector<std::string>{"2021-07-20", "split", "4:1", "", ""}));
  for (size_t i = 2; i < nvda.size(); ++i) EXPECT_GE(nvda[i - 1][0], nvda[i][0]);
  // The dividend of the shares of its day: a quarter after the split pays a tenth of the quarter before.
  std::vector<double> amounts;
  for (const auto& row : nvda) {
    if (row.size() > 1 && row[1] == "dividend" && row[0] > "2024-01-01")
      amounts.push_back(std::atof(row[2].c_str()));
  }
  ASSERT_EQ(amounts.size(), 4u);
  EXPECT_DOUBLE_EQ(amounts[2], amounts[1] * 10);

  // Facebook went on as META: its history under FB ends the day before, and both list the change.
  const std::string change = "2022-06-09,symbol-change,FB->META,,\n";
  EXPECT_NE(Events(*market, "META", "&c=2022&f=2022").find(change), std::string::npos);
  EXPECT_NE(Events(*market, "fb").find(change), std::string::npos);
  const auto fb = History(*market, "FB", "2022-05-01");
  const auto meta = History(*market, "META", "2022-05-01");
  ASSERT_FALSE(fb.empty());
  EXPECT_EQ(fb.back().day, Day("2022-06-08"));
  for (size_t i = 0; i < fb.size(); ++i) EXPECT_EQ(fb[i].close, meta[i].close);
  EXPECT_EQ(Get(*market, "/d/quotes.csv?s=FB&f=x").body, "\"N/A\"\r\n");
  EXPECT_EQ(Get(*market, "/vellumar/events.csv?s=NOSUCH").status, 404);
  EXPECT_EQ(Get(*market, "/vellumar/events.csv").status, 400);
}

TEST(Splits, EventsFileRowsAreCheckedAndALaterFileReplacesARow) {
  CorporateActions actions;
  std::string error;
  ASSERT_TRUE(
      actions.ParseCsv("# comment\nsymbol,date,event,value\nabc,2020-01-02,split,6:4\n"
                       "XYZ,2021-05-03,symbol-change,old\n",
                       "bundled", error))
      << error;
  ASSERT_EQ(actions.Splits("ABC").size(), 1u);
  EXPECT_EQ(actions.Splits("ABC")[0].newShares, 3);  // kept in lowest terms
  EXPECT_EQ(actions.Splits("ABC")[0].oldShares, 2);
  ASSERT_NE(actions.ChangeFrom("OLD"), nullptr);
  EXPECT_EQ(actions.ChangeFrom("OLD")->newSymbol, "XYZ");
  ASSERT_TRUE(actions.ParseCsv("symbol,date,event,value\nABC,2020-01-02,split,1:10\n", "own", error))
      << error;
  EXPECT_EQ(actions.Splits("ABC")[0].oldShares, 10);

  const std::pair<const char*, const char*> refused[] = {
      {"ABC,2020-01-02,split,1:1", "own:2: a split needs new:old shares such as 10:1, each from 1 to 10000"},
      {"ABC,2020-01-02,split,0:1", "own:2: a split needs new:old shares such as 10:1, each from 1 to 10000"},
      {"ABC,2020-01-02,split,+2:1", "own:2: a split needs new:old shares such as 10:1, each from 1 to 10000"},
      {"ABC,2020-01-02,split,10", "own:2: a split needs new:old shares such as 10:1, each from 1 to 10000"},
      {"ABC,2020-02-30,split,2:1", "own:2: bad date \"2020-02-30\""},
      {"A<B,2020-01-02,split,2:1", "own:2: bad symbol \"A<B\""},
      {"ABC,2020-01-02,merger,2:1", "own:2: the event must be split or symbol-change"},
      {"ABC,2020-01-02,symbol-change,ABC", "own:2: a symbol change needs the former symbol as its value"},
      {"ABC,2020-01-02,split", "own:2: expected 4 fields, found 3"},
  };
  for (const auto& [row, message] : refused) {
    EXPECT_FALSE(actions.ParseCsv(std::string("symbol,date,event,value\n") + row + "\n", "own", error))
        << row;
    EXPECT_EQ(error, message);
  }
  std::string many = "symbol,date,event,value\n";
  for (int year = 2000; year < 2004; ++year) many += "ABC," + std::to_string(year) + "-01-05,split,1000:1\n";
  EXPECT_FALSE(actions.ParseCsv(many, "own", error));
  EXPECT_EQ(error, "own: the splits of ABC multiply to more than 1000000000 shares");
  EXPECT_EQ(actions.Splits("ABC")[0].oldShares, 10) << "a refused file changes nothing";
}

// A user's dividend file stands for a security's dividends, on real prices as well; without one, real
// prices have none (a simulated dividend would not match them).
TEST(Dividends, AUsersFileReplacesTheSimulationAndShapesTheAdjustedClose) {
  auto market = FixtureMarket();
  const TempFolder folder("vl_dividend_files");
  WriteText(folder.File("MSFT.csv"),
            "Date,Dividends,Pay Date,Currency\n2026-11-19,0.91,2026-12-10,USD\n"
            "2026-08-20,0.83,,\n");
  WriteText(folder.File("REAL.csv"), "Date,Dividends\n2026-12-02,0.50\n");
  WriteText(folder.File("T.csv"), "Date,Dividends\n2026-12-02,-0.50\n");
  WriteText(folder.File("NOSUCH.csv"), "Date,Dividends\n2026-12-02,0.50\n");
  EXPECT_EQ(Events(*market, "REAL"), "Date,Event,Value,Pay Date,Currency\n");
  std::vector<std::string> messages;
  market->LoadDividendFolder(folder.Path(), messages);
  ASSERT_EQ(messages.size(), 4u);
  std::sort(messages.begin(), messages.end());
  EXPECT_NE(messages[0].find("MSFT.csv: 2 dividends of MSFT"), std::string::npos) << messages[0];
  EXPECT_NE(messages[1].find("NOSUCH.csv: no security NOSUCH"), std::string::npos) << messages[1];
  EXPECT_NE(messages[2].find("REAL.csv: 1 dividends of REAL"), std::string::npos) << messages[2];
  EXPECT_NE(messages[3].find("T.csv: line 2: bad amount \"-0.50\""), std::string::npos) << messages[3];
  EXPECT_EQ(Events(*market, "MSFT", "&c=2026"),
            "Date,Event,Value,Pay Date,Currency\n2026-11-19,dividend,0.91,2026-12-10,USD\n"
            "2026-08-20,dividend,0.83,,USD\n");
  EXPECT_GE(CsvRows(Get(*market, "/table.csv?s=T&c=2026&g=v").body).size(), 4u)
      << "a refused file leaves the simulation in charge";
  // REAL's file has no adjusted figures of its own, so the dividend shapes them: 0.50 against the close
  // of 10.20 before its ex-date.
  const auto real = History(*market, "REAL", "2026-11-30");
  ASSERT_EQ(real.size(), 5u);
  EXPECT_DOUBLE_EQ(real[0].adjClose, std::round(10.00 * (1 - 0.50 / 10.20) * 100) / 100);
  EXPECT_DOUBLE_EQ(real[1].adjClose, 9.70);
  EXPECT_EQ(real[2].adjClose, real[2].close);
  // The quote's annual figure is the last twelve months of the file; no ex-date is ahead.
  EXPECT_EQ(Get(*market, "/d/quotes.csv?s=MSFT&f=dq").body, "1.74,\"N/A\"\r\n");
}

TEST(Dividends, FileRowsAreChecked) {
  std::vector<DividendPayment> rows(1);
  std::string error;
  const std::pair<const char*, const char*> refused[] = {
      {"Date,Amount\n2026-01-02,1\n",
       "expected the header \"Date,Dividends\" (with \",Pay Date\" and \",Currency\" when known)"},
      {"Date,Dividends\n2026-01-02,0.1234567\n",
       "line 2: bad amount \"0.1234567\" (a positive number with at most 6 decimals)"},
      {"Date,Dividends\n2026-01-02,1e2\n",
       "line 2: bad amount \"1e2\" (a positive number with at most 6 decimals)"},
      {"Date,Dividends\n2026-01-02,0\n",
       "line 2: bad amount \"0\" (a positive number with at most 6 decimals)"},
      {"Date,Dividends\n02/01/2026,1\n", "line 2: bad date \"02/01/2026\""},
      {"Date,Dividends,Pay Date\n2026-01-02,1,2026-01-01\n",
       "line 2: bad pay date \"2026-01-01\" (YYYY-MM-DD, not before the ex-date)"},
      {"Date,Dividends,Pay Date,Currency\n2026-01-02,1,,XYZ\n", "line 2: unknown currency \"XYZ\""},
      {"Date,Dividends\n2026-01-02,1,2\n", "line 2: expected 2 fields, found 3"},
  };
  for (const auto& [text, message] : refused) {
    EXPECT_FALSE(ParseDividendCsv(text, "USD", rows, error)) << text;
    EXPECT_EQ(error, message);
  }
  EXPECT_EQ(rows.size(), 1u) << "a refused file leaves the rows as they were";
  ASSERT_TRUE(ParseDividendCsv(
      "Date,Dividends,Pay Date,Currency\r\n2026-05-04,0.1,,GBp\r\n2026-01-02,1.5,2026-01-20,\r\n", "USD",
      rows, error))
      << error;
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].exDay, Day("2026-01-02"));  // oldest first
  EXPECT_EQ(rows[0].amountMicros, 1500000);
  EXPECT_EQ(rows[0].payDay, Day("2026-01-20"));
  EXPECT_EQ(rows[0].currency, "USD");
  EXPECT_EQ(rows[1].payDay, 0);
  EXPECT_EQ(rows[1].currency, "GBp");
}
