// vellumar-cli and vellumar-marketd as a user runs them: the real programs, a database in a temporary
// folder, the service on a free loopback port with a fixed clock. The view and summary texts are compared
// with the expected files; VL_UPDATE_EXPECTED=1 rewrites them after a deliberate change of the market.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_call.h"
#include "tests/cli/running_service.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kBin = std::string(VL_BINARY_DIR) + "/bin/";
const std::string kExpected = std::string(VL_FIXTURES_DIR) + "/cli/end_to_end/";

using Output = ShellRun;

// The program's standard output; its standard error goes to `errorTo` ("&1": into the output too).
Output Cli(const std::string& arguments, const std::string& errorTo = "/dev/null") {
  return RunShell(kBin + "vellumar-cli " + arguments + " 2>" + errorTo);
}

// A tab-separated view: the header line, then one row per position keyed by its symbol (the "Symbol"
// column, else the first).
class Table {
 public:
  explicit Table(const std::string& text) : rows(TsvRows(text)) {}
  // The cell under `header` (a sort mark after it does not count; the trade header is "Trade " with its
  // blank); "?" when there is none.
  std::string Cell(const std::string& key, const std::string& header) const {
    if (rows.empty()) return "?";
    size_t keyColumn = 0;
    for (size_t c = 0; c < rows[0].size(); ++c) {
      if (rows[0][c].rfind("Symbol", 0) == 0) keyColumn = c;
    }
    for (size_t c = 0; c < rows[0].size(); ++c) {
      if (rows[0][c].substr(0, rows[0][c].find("  ")) != header) continue;
      for (size_t r = 1; r < rows.size(); ++r) {
        if (keyColumn < rows[r].size() && rows[r][keyColumn] == key && c < rows[r].size()) return rows[r][c];
      }
    }
    return "?";
  }

 private:
  std::vector<std::vector<std::string>> rows;
};

// "32,070.60" as 3207060 cents.
long long Cents(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ','), text.end());
  return std::llround(std::strtod(text.c_str(), nullptr) * 100.0);
}

// 3207060 cents as "32,070.60".
std::string Money(long long cents) {
  std::string digits = std::to_string(std::llabs(cents) / 100);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<size_t>(at), ",");
  char rest[8];
  std::snprintf(rest, sizeof rest, ".%02lld", std::llabs(cents) % 100);
  return (cents < 0 ? "-" : "") + digits + rest;
}

std::string Percent(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f%%", value);
  return text;
}

std::string Expected(const std::string& name, const std::string& actual) {
  const std::string path = kExpected + name;
  if (std::getenv("VL_UPDATE_EXPECTED")) std::ofstream(path, std::ios::binary | std::ios::trunc) << actual;
  return ReadText(path);
}

}  // namespace

TEST(EndToEnd, APortfolioKeptWithTheToolsShowsTheServicesFigures) {
  RunningService marketd({"--now", "2026-12-04T15:30:00-05:00"});
  ASSERT_GT(marketd.port, 0) << "the service did not start";
  const TempFolder folder("vl_e2e");
  const std::string db = " --db " + folder.File("Vellumar.db");
  const std::string service = " --service 127.0.0.1:" + std::to_string(marketd.port);

  ASSERT_EQ(Cli("init" + db).code, 0);
  ASSERT_EQ(Cli("add-portfolio Retirement" + db).code, 0);
  ASSERT_EQ(Cli("add-portfolio Trading" + db).code, 0);
  const std::string stock = "add-stock" + service;
  ASSERT_EQ(
      Cli(stock + " Retirement msft --qty 100 --price 250.50 --commission 9.95 --date 2023-01-15" + db).code,
      0);
  ASSERT_EQ(
      Cli(stock + " Retirement AAPL --qty 50 --price 120 --sell-target 250 --date 2022-06-01" + db).code, 0);
  ASSERT_EQ(Cli(stock + " Trading ^DJI --qty 1 --price 30000" + db).code, 0);
  // A symbol the service does not know is stored all the same (with a warning), unless --strict.
  ASSERT_EQ(Cli(stock + " Retirement NOSUCH --qty 10 --price 1 --strict" + db).code, 6);
  const Output unknown = Cli(stock + " Retirement NOSUCH --qty 10 --price 1" + db, "&1");
  ASSERT_EQ(unknown.code, 0);
  EXPECT_EQ(
      unknown.out,
      "vellumar-cli add-stock: warning: the market-data service does not know the symbol \"NOSUCH\"; the "
      "position is stored, without a value until the service knows the symbol\nid\n4\n");
  // So is a new symbol for a position.
  EXPECT_EQ(Cli("modify-stock 2 --symbol XQZZ --strict" + service + db).code, 6);
  EXPECT_EQ(Cli("modify-stock 2 --symbol AAPL --strict" + service + db).code, 0);
  ASSERT_EQ(Cli("add-cash Retirement 2500 --comment \"Broker cash\"" + db).code, 0);
  ASSERT_EQ(Cli("add-margin Retirement 1000 --comment \"Margin loan\"" + db).code, 0);
  const Output sale = Cli("sell 1 --qty 40 --price 300 --commission 9.95 --date 2024-06-03" + db);
  ASSERT_EQ(sale.code, 0);

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

  // Figures worked out by hand from what was entered and from the trade prices the list shows, so that
  // they hold whatever the expected files say.
  const Table heldView(held.out), soldView(sold.out);
  const long long msftTrade = Cents(heldView.Cell("MSFT", "Trade "));
  const long long aaplTrade = Cents(heldView.Cell("AAPL", "Trade "));
  ASSERT_GT(msftTrade, 0);
  ASSERT_GT(aaplTrade, 0);
  EXPECT_EQ(heldView.Cell("MSFT", "Qty"), "60");  // 100 bought, 40 sold
  // The ids the views print are the ones the sale reported: the sold part keeps 1, the rest is new.
  EXPECT_EQ(sale.out, "id\tremainderId\n1\t" + heldView.Cell("MSFT", "Id") + "\n");
  EXPECT_EQ(heldView.Cell("AAPL", "Id"), "2");
  EXPECT_EQ(heldView.Cell("MSFT", "Curr Value"), Money(60 * msftTrade));
  EXPECT_EQ(heldView.Cell("AAPL", "Curr Value"), Money(50 * aaplTrade));
  EXPECT_EQ(heldView.Cell("AAPL", "Total Paid"), "6,000.00");  // 50 x 120.00, no commission
  EXPECT_EQ(heldView.Cell("AAPL", "Gain"), Money(50 * aaplTrade - 600000));
  EXPECT_EQ(heldView.Cell("AAPL", "% Gain"), Percent((50.0 * aaplTrade - 600000) / 600000 * 100));
  const long long msftPaid = Cents(heldView.Cell("MSFT", "Total Paid"));
  EXPECT_EQ(heldView.Cell("MSFT", "Gain"), Money(60 * msftTrade - msftPaid));
  EXPECT_EQ(heldView.Cell("[Cash]", "Curr Value"), "2,500.00");
  EXPECT_EQ(heldView.Cell("[Margin]", "Curr Value"), "-1,000.00");

  EXPECT_EQ(soldView.Cell("MSFT", "Id"), "1");
  EXPECT_EQ(soldView.Cell("MSFT", "Qty"), "40");
  EXPECT_EQ(soldView.Cell("MSFT", "Sale Value"), "11,990.05");  // 40 x 300.00 - 9.95
  EXPECT_EQ(soldView.Cell("MSFT", "Date Bought"), "15-Jan-2023");
  EXPECT_EQ(soldView.Cell("MSFT", "Date Sold"), "03-Jun-2024");
  const long long soldPaid = Cents(soldView.Cell("MSFT", "Total Paid"));
  EXPECT_EQ(msftPaid + soldPaid, 100 * 25050 + 995) << "the two parts share the purchase and its commission";
  EXPECT_EQ(soldView.Cell("MSFT", "Gain"), Money(1199005 - soldPaid));
  EXPECT_EQ(soldView.Cell("MSFT", "% Gain"), Percent((1199005.0 - soldPaid) / soldPaid * 100));

  // Held summary: the stock values and the cash; paid likewise (the unknown symbol adds nothing);
  // equity is the value less the 1,000.00 owed.
  const Table heldTotals("key\t" + summary.out.substr(0, summary.out.find('\n') + 1) + "totals\t" +
                         summary.out.substr(summary.out.find('\n') + 1));
  const long long value = 60 * msftTrade + 50 * aaplTrade + 250000;
  const long long paid = msftPaid + 600000 + 250000;
  EXPECT_EQ(heldTotals.Cell("totals", "currentValue"), Money(value));
  EXPECT_EQ(heldTotals.Cell("totals", "gain"),
            Money(value - paid) + "  (" + Percent(100.0 * (value - paid) / paid) + ")");
  EXPECT_EQ(heldTotals.Cell("totals", "equity"),
            Money(value - 100000) + "(" + Percent(100.0 * (value - 100000) / value) + ")");
  EXPECT_EQ(heldTotals.Cell("totals", "marginOwed"), "1,000.00");
  const Table soldTotals("key\t" + soldSummary.out.substr(0, soldSummary.out.find('\n') + 1) + "totals\t" +
                         soldSummary.out.substr(soldSummary.out.find('\n') + 1));
  EXPECT_EQ(soldTotals.Cell("totals", "netProceeds"), "11,990.05");
  EXPECT_EQ(soldTotals.Cell("totals", "postSaleGain"), Money(40 * msftTrade - 1199005));

  // The unknown symbol is marked, and the quote the list shows is the one the service gives now.
  EXPECT_NE(held.out.find("NOSUCH\tNo such symbol"), std::string::npos);
  const Output quote = Cli("quote MSFT --json" + service);
  EXPECT_NE(quote.out.find("\"exchange\":\"NASDAQ\""), std::string::npos) << quote.out;
}

// A London position takes its exchange's pence until it is given a currency of its own: the Currency column,
// the summary's note and the performance warning name the same codes throughout.
TEST(EndToEnd, APositionsCurrencyIsNamedAlikeInTheColumnTheSummaryAndThePerformanceWarning) {
  RunningService marketd({"--now", "2026-12-04T15:30:00-05:00"});
  ASSERT_GT(marketd.port, 0) << "the service did not start";
  const TempFolder folder("vl_e2e_currency");
  const std::string db = " --db " + folder.File("Vellumar.db");
  const std::string service = " --service 127.0.0.1:" + std::to_string(marketd.port);
  ASSERT_EQ(Cli("init" + db).code, 0);
  ASSERT_EQ(Cli("add-portfolio Mixed" + db).code, 0);
  ASSERT_EQ(
      Cli("add-stock Mixed HSBA.L --qty 100 --price 600 --date 2025-03-03 --strict" + service + db).code, 0);
  ASSERT_EQ(Cli("add-stock Mixed MSFT --qty 10 --price 400 --date 2025-03-03 --strict" + service + db).code,
            0);
  ASSERT_EQ(Cli("update" + db + service).code, 0);

  const auto column = [&](const std::string& symbol) {
    return Table(Cli("view Mixed --columns 0,1,74" + db).out).Cell(symbol, "Currency");
  };
  const auto warning = [&] {
    // Its standard error only: the warnings.
    const std::string err =
        RunShell(kBin + "vellumar-cli performance Mixed --to 2026-12-04" + db + service + " 2>&1 >/dev/null")
            .out;
    const size_t at = err.find("more than one currency (");
    return at == std::string::npos ? std::string() : err.substr(at, err.find(')', at) - at + 1);
  };
  EXPECT_EQ(column("HSBA.L"), "GBp");
  EXPECT_EQ(column("MSFT"), "USD");
  const std::vector<std::vector<std::string>> mixed = TsvRows(Cli("summary Mixed" + db).out);
  ASSERT_EQ(mixed.size(), 2u);
  EXPECT_EQ(mixed[0].back(), "mixedCurrencies");
  EXPECT_EQ(mixed[1].back(), "GBp and USD, not converted");
  EXPECT_EQ(warning(), "more than one currency (GBp, USD)");

  // Bought in dollars: one currency everywhere, and the totals say nothing more than before.
  ASSERT_EQ(Cli("modify-stock 1 --currency USD" + db).code, 0);
  EXPECT_EQ(column("HSBA.L"), "USD");
  EXPECT_EQ(Cli("summary Mixed" + db).out.find("mixed"), std::string::npos);
  EXPECT_EQ(warning(), "");
}

// A portfolio kept in euros: each amount converted once at its own day's fixing (a Saturday's purchase at
// Friday's), pence as hundredths of a pound, the gain split exactly, and a currency the service has no rates
// of refused by pair and day. A look in another currency changes nothing stored.
TEST(EndToEnd, ABaseCurrencyConvertsEachAmountAtItsDaysRateAndNamesAMissingOne) {
  RunningService marketd({"--now", "2026-12-04T15:30:00-05:00"});
  ASSERT_GT(marketd.port, 0) << "the service did not start";
  const TempFolder folder("vl_e2e_base");
  const std::string db = " --db " + folder.File("Vellumar.db");
  const std::string service = " --service 127.0.0.1:" + std::to_string(marketd.port);
  ASSERT_EQ(Cli("init" + db).code, 0);
  ASSERT_EQ(Cli("add-portfolio Euro --base-currency EUR" + db).code, 0);
  ASSERT_EQ(Cli("add-stock Euro HSBA.L --qty 100 --price 1000 --commission 500 --date 2025-03-03 --strict" +
                service + db)
                .code,
            0);
  ASSERT_EQ(Cli("add-stock Euro MSFT --qty 10 --price 400 --date 2025-03-01 --strict" + service + db).code,
            0);
  ASSERT_EQ(Cli("update" + db + service).code, 0);

  // fx-rate's rate and the day of the fixing it took.
  const auto fixing = [&](const std::string& pair) {
    const auto rows = TsvRows(Cli("fx-rate " + pair + service).out);
    return rows.size() == 2 && rows[1].size() == 3 ? std::make_pair(rows[1][1], rows[1][2])
                                                   : std::make_pair(std::string("?"), std::string("?"));
  };
  // `cents` divided by a rate such as "1.14182", rounded half away from zero, in integers.
  const auto divided = [](long long cents, const std::string& rate) {
    const size_t point = rate.find('.');
    long long units = std::stoll(rate.substr(0, point) + rate.substr(point + 1));
    long long scaled = cents;
    for (size_t d = point + 1; d < rate.size(); ++d) scaled *= 10;
    return (2 * scaled + units) / (2 * units);
  };
  const auto [dollar, dollarDay] = fixing("EUR USD --date 2025-03-01");
  EXPECT_EQ(dollarDay, "2025-02-28");  // Saturday's rate is Friday's fixing
  const auto [pence, penceDay] = fixing("EUR GBp --date 2025-03-03");
  EXPECT_EQ(penceDay, "2025-03-03");
  ASSERT_NE(pence, "?");
  ASSERT_NE(dollar, "?");
  const auto [back, backDay] = fixing("USD EUR --date 2025-02-28");
  EXPECT_NEAR(std::stod(back) * std::stod(dollar), 1.0, 1e-5) << back << " against " << dollar;

  const Table view(Cli("view Euro --columns 0,80,81,82,83,84" + db + service).out);
  EXPECT_EQ(Cents(view.Cell("MSFT", "Total Paid (base)")), divided(400000, dollar));
  // 100,500 pence are 1,005.00 pounds; the rate is pence per euro.
  EXPECT_EQ(Cents(view.Cell("HSBA.L", "Total Paid (base)")), divided(100500 * 100, pence));
  long long values = 0;
  for (const char* symbol : {"MSFT", "HSBA.L"}) {
    const long long value = Cents(view.Cell(symbol, "Value (base)"));
    const long long gain = Cents(view.Cell(symbol, "Gain (base)"));
    EXPECT_EQ(gain, value - Cents(view.Cell(symbol, "Total Paid (base)"))) << symbol;
    EXPECT_EQ(gain,
              Cents(view.Cell(symbol, "Price Gain (base)")) + Cents(view.Cell(symbol, "FX Gain (base)")))
        << symbol;
    values += value;
  }

  // The summary's cell under `header`; "?" when there is none.
  const auto summary = [&](const std::string& options, const std::string& header) {
    const auto rows = TsvRows(Cli("summary Euro" + options + db + service).out);
    for (size_t c = 0; rows.size() == 2 && c < rows[0].size() && c < rows[1].size(); ++c) {
      if (rows[0][c] == header) return rows[1][c];
    }
    return std::string("?");
  };
  EXPECT_EQ(summary("", "baseCurrency"), "EUR");
  EXPECT_EQ(Cents(summary("", "valueBase")), values);
  EXPECT_EQ(summary("", "rates"), "at reference rates of 2026-12-04");

  // A currency without rates: its cells say N/A and the totals name the rate missing, never 1:1.
  ASSERT_EQ(
      Cli("add-stock Euro AAPL --qty 1 --price 100 --date 2025-03-03 --currency ZZZ --strict" + service + db)
          .code,
      0);
  EXPECT_EQ(summary("", "baseError"), "no EUR/ZZZ rate on or before 2025-03-03");
  EXPECT_EQ(summary("", "valueBase"), "?");
  EXPECT_EQ(Table(Cli("view Euro --columns 0,80" + db + service).out).Cell("AAPL", "Value (base)"), "N/A");
  EXPECT_NE(Cli("fx-rate EUR ZZZ" + service).code, 0);

  // Without a base currency, a look in dollars converts for that command only.
  ASSERT_EQ(Cli("modify-portfolio Euro --base-currency -" + db).code, 0);
  EXPECT_EQ(summary("", "baseCurrency"), "?");
  EXPECT_EQ(summary(" --base-currency USD", "baseCurrency"), "USD");
  EXPECT_EQ(summary("", "baseCurrency"), "?");
  const Output none = Cli("summary Euro --base-currency -" + db + service, "&1");
  EXPECT_EQ(none.code, 4);
  EXPECT_NE(none.out.find("is not a currency to convert into"), std::string::npos) << none.out;
}
