// vellumar-cli performance against the real vellumar-marketd at a fixed clock. The test asks the service for
// the same daily history with `history` and works the figures out again on its own, straight from their
// definitions, so what the tool prints has to agree with the prices the service serves.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/cli/running_service.h"
#include "tests/support/noon_utc.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kBin = std::string(VL_BINARY_DIR) + "/bin/";

ShellRun Cli(const std::string& arguments, const std::string& errorTo = "/dev/null") {
  return RunShell(kBin + "vellumar-cli " + arguments + " 2>" + errorTo);
}

long Day(int y, int m, int d) {
  return static_cast<long>(NoonUtc(y, m, d) / 86400);
}

// "6-Dec-2026" as a day number.
long DayOfText(const std::string& text) {
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int d = 0, y = 0;
  char month[4] = {};
  if (std::sscanf(text.c_str(), "%d-%3s-%d", &d, month, &y) != 3) return -1;
  for (int m = 0; m < 12; ++m) {
    if (std::string(month) == kMonths[m]) return Day(y, m + 1, d);
  }
  return -1;
}

std::string IsoOf(long day) {
  const time_t t = static_cast<time_t>(day) * 86400;
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
  return text;
}

struct Lot {
  std::string symbol;
  long qty, price, commission;  // cents
  long bought;
  bool sold = false;
  long salePrice = 0, saleCommission = 0, saleDay = 0;
  long Paid() const { return qty * price + commission; }
  long Proceeds() const { return qty * salePrice - saleCommission; }
};

// The closes in cents by day, from the service's history of the months that cover `from`..`to`.
std::map<long, long> Closes(const std::string& symbol, const std::string& service) {
  const ShellRun run = Cli("history " + symbol + " 2023-11 2026-12 --json" + service);
  std::map<long, long> closes;
  for (const auto& row : nlohmann::json::parse(run.out)) {
    closes[DayOfText(row["dateText"].get<std::string>())] =
        std::llround(std::stod(row["close"].get<std::string>()) * 100);
  }
  return closes;
}

struct Expected {
  double ttwror = 0;
  double irr = 0;
  std::map<int, long> gains;
  std::vector<std::array<long, 3>> series;  // day, value, invested
};

// The figures by their definitions, one day at a time.
Expected WorkOut(const std::vector<Lot>& lots, const std::map<std::string, std::map<long, long>>& history,
                 long from, long to) {
  const auto held = [](const Lot& l, long d) { return l.bought <= d && (!l.sold || l.saleDay > d); };
  const auto close = [&](const std::string& symbol, long d) {
    const auto& c = history.at(symbol);
    auto it = c.upper_bound(d);
    return it == c.begin() ? -1L : std::prev(it)->second;
  };
  const auto value = [&](long d) {
    long v = 0;
    for (const Lot& l : lots) {
      if (held(l, d)) v += l.qty * close(l.symbol, d);
    }
    return v;
  };
  long first = lots[0].bought;
  for (const Lot& l : lots) first = std::min(first, l.bought);
  const long start = std::max(first, from);
  std::vector<long> days;
  for (const auto& [symbol, closes] : history) {
    for (const auto& [d, c] : closes) {
      if (d >= start && d <= to) days.push_back(d);
    }
  }
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());

  long cutoff = start - 1;
  long previous = 0;
  std::vector<std::pair<long, double>> flows;  // day, amount for the IRR
  if (start > first) {
    long lastBefore = -1;
    for (const auto& [symbol, closes] : history) {
      for (const auto& [d, c] : closes) {
        if (d < start) lastBefore = std::max(lastBefore, d);
      }
    }
    if (lastBefore >= 0) cutoff = lastBefore;
    previous = value(cutoff);
    flows.push_back({cutoff, -static_cast<double>(previous)});
  }
  for (const Lot& l : lots) {
    if (l.bought > cutoff) flows.push_back({l.bought, -static_cast<double>(l.Paid())});
    if (l.sold && l.saleDay > cutoff && l.saleDay <= to)
      flows.push_back({l.saleDay, static_cast<double>(l.Proceeds())});
  }
  Expected e;
  double product = 1;
  long last = cutoff;
  for (long d : days) {
    long in = 0, out = 0, invested = 0;
    for (const Lot& l : lots) {
      if (l.bought > last && l.bought <= d) in += l.Paid();
      if (l.sold && l.saleDay > last && l.saleDay <= d) out += l.Proceeds();
      if (held(l, d)) invested += l.Paid();
    }
    const long v = value(d);
    if (previous + in != 0) product *= static_cast<double>(v + out) / static_cast<double>(previous + in);
    e.series.push_back({d, v, invested});
    previous = v;
    last = d;
  }
  e.ttwror = product - 1;
  flows.push_back({to, static_cast<double>(value(to))});
  long t0 = flows[0].first;
  for (const auto& f : flows) t0 = std::min(t0, f.first);
  const auto npv = [&](double r) {
    double sum = 0;
    for (const auto& [d, amount] : flows) sum += amount * std::pow(1 + r, -static_cast<double>(d - t0) / 365);
    return sum;
  };
  double lo = -0.9, hi = 5;
  for (int i = 0; i < 200; ++i) ((npv((lo + hi) / 2) > 0) == (npv(lo) > 0) ? lo : hi) = (lo + hi) / 2;
  e.irr = (lo + hi) / 2;
  for (const Lot& l : lots) {
    if (l.sold && l.saleDay >= start && l.saleDay <= to)
      e.gains[std::stoi(IsoOf(l.saleDay).substr(0, 4))] += l.Proceeds() - l.Paid();
  }
  return e;
}

void ExpectFigures(const nlohmann::json& printed, const Expected& e) {
  EXPECT_NEAR(printed["ttwror"].get<double>(), e.ttwror, 1e-9);
  EXPECT_NEAR(printed["irr"].get<double>(), e.irr, 1e-6);
  ASSERT_EQ(printed["series"].size(), e.series.size());
  for (size_t i = 0; i < e.series.size(); ++i) {
    const auto& p = printed["series"][i];
    ASSERT_EQ(p["date"].get<std::string>(), IsoOf(e.series[i][0])) << i;
    EXPECT_EQ(std::llround(p["value"].get<double>() * 100), e.series[i][1]) << p["date"];
    EXPECT_EQ(std::llround(p["invested"].get<double>() * 100), e.series[i][2]) << p["date"];
  }
  std::map<int, long> gains;
  for (const auto& g : printed["realizedGains"])
    gains[g["year"].get<int>()] = std::llround(g["gain"].get<double>() * 100);
  EXPECT_EQ(gains, e.gains);
}

}  // namespace

TEST(PerformanceEndToEnd, TheFiguresFollowTheHistoryTheServiceServes) {
  RunningService marketd({"--now", "2026-12-04T15:30:00-05:00"});
  ASSERT_GT(marketd.port, 0) << "the service did not start";
  const TempFolder folder("vl_perf_e2e");
  const std::string db = " --db " + folder.File("Vellumar.db");
  const std::string service = " --service 127.0.0.1:" + std::to_string(marketd.port);
  ASSERT_EQ(Cli("init" + db).code, 0);
  ASSERT_EQ(Cli("add-portfolio Growth" + db).code, 0);
  const std::string add = "add-stock Growth --no-check ";
  ASSERT_EQ(Cli(add + "MSFT --qty 10 --price 250 --commission 5 --date 2024-01-16" + db).code, 0);
  // Bought on a Saturday, sold whole.
  ASSERT_EQ(Cli(add + "AAPL --qty 20 --price 180 --date 2024-03-09" + db).code, 0);
  ASSERT_EQ(Cli("sell 2 --qty 20 --price 200 --commission 7.50 --date 2025-06-02" + db).code, 0);
  ASSERT_EQ(Cli(add + "KO --qty 30 --price 60 --date 2025-02-03" + db).code, 0);
  ASSERT_EQ(Cli(add + "IBM --qty 5 --price 100" + db).code, 0);        // no date: skipped
  ASSERT_EQ(Cli("add-cash Growth 1000 --comment Cash" + db).code, 0);  // left out

  const std::vector<Lot> lots = {{"MSFT", 10, 25000, 500, Day(2024, 1, 16)},
                                 {"AAPL", 20, 18000, 0, Day(2024, 3, 9), true, 20000, 750, Day(2025, 6, 2)},
                                 {"KO", 30, 6000, 0, Day(2025, 2, 3)}};
  std::map<std::string, std::map<long, long>> history;
  for (const char* symbol : {"MSFT", "AAPL", "KO"}) {
    history[symbol] = Closes(symbol, service);
    ASSERT_GT(history[symbol].size(), 500u) << symbol;
  }
  const long to = Day(2026, 12, 4);

  const ShellRun whole = Cli("performance Growth --to 2026-12-04 --json" + db + service);
  ASSERT_EQ(whole.code, 0);
  const auto printed = nlohmann::json::parse(whole.out);
  EXPECT_EQ(printed["portfolio"], "Growth");
  EXPECT_EQ(printed["from"], "2024-01-16");
  EXPECT_EQ(printed["to"], "2026-12-04");
  EXPECT_EQ(printed["skipped"], 1);
  ExpectFigures(printed, WorkOut(lots, history, 0, to));
  const double days = static_cast<double>(to - Day(2024, 1, 16));
  EXPECT_NEAR(printed["ttwrorAnnualized"].get<double>(),
              std::pow(1 + printed["ttwror"].get<double>(), 365 / days) - 1, 1e-12);

  const ShellRun later = Cli("performance Growth --from 2025-01-01 --to 2026-12-04 --json" + db + service);
  ASSERT_EQ(later.code, 0);
  ExpectFigures(nlohmann::json::parse(later.out), WorkOut(lots, history, Day(2025, 1, 1), to));

  // The table shows the same rates as percentages, and says what was left out.
  const ShellRun table = Cli("performance Growth --to 2026-12-04" + db + service, "&1");
  char rates[64];
  std::snprintf(rates, sizeof rates, "\t%.2f%%\t", printed["ttwror"].get<double>() * 100);
  EXPECT_NE(table.out.find(std::string("Growth\t2024-01-16\t2026-12-04") + rates), std::string::npos)
      << table.out;
  EXPECT_NE(table.out.find("1 cash and margin position(s) are left out"), std::string::npos);
  EXPECT_FALSE(printed.contains("ttwrorPrice"));  // a portfolio without income prints what it always did
  EXPECT_EQ(table.out.find("withholding"), std::string::npos);

  // A dividend of KO: the total return counts it, the price-only rate is the figure of before.
  ASSERT_EQ(Cli("add-income Growth KO --gross 30 --withholding 4.50 --pay-date 2025-04-01" + db).code, 0);
  const ShellRun paid = Cli("performance Growth --to 2026-12-04 --json" + db + service);
  ASSERT_EQ(paid.code, 0);
  const auto withIncome = nlohmann::json::parse(paid.out);
  EXPECT_NEAR(withIncome["ttwrorPrice"].get<double>(), printed["ttwror"].get<double>(), 1e-12);
  EXPECT_GT(withIncome["ttwror"].get<double>(), printed["ttwror"].get<double>());
  EXPECT_GT(withIncome["irr"].get<double>(), printed["irr"].get<double>());
  EXPECT_EQ(withIncome["income"],
            nlohmann::json::parse(R"([{"year":2025,"gross":30,"withholding":4.5,"fees":0,"net":25.5}])"));
  const ShellRun paidTable = Cli("performance Growth --to 2026-12-04" + db + service);
  EXPECT_NE(paidTable.out.find("year\tgross\twithholding\tfees\tnet\n2025\t30.00\t4.50\t0.00\t25.50\n"),
            std::string::npos)
      << paidTable.out;

  // A dated symbol the service has no history for is named, and no figures are given.
  ASSERT_EQ(Cli(add + "NOSUCH --qty 1 --price 1 --date 2025-03-03" + db).code, 0);
  const ShellRun refused = Cli("performance Growth --to 2026-12-04 --json" + db + service, "&1");
  EXPECT_EQ(refused.code, 6);
  EXPECT_NE(refused.out.find("no history for \\\"NOSUCH\\\""), std::string::npos) << refused.out;
  EXPECT_EQ(refused.out.find("ttwror"), std::string::npos);
}
