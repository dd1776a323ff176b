// A position's currency: the table of codes, the position's own currency over its exchange's, and the
// Currency column, the totals and the performance figures naming the same code.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "holding_fixtures.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/exchange_currency.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/columns/position_currency.h"
#include "portfolio/performance/performance_lots.h"
#include "portfolio/records/currency_units.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/views/portfolio_summary.h"
#include "tests/support/exact_values.h"

namespace {

// A held London position, its quote naming its exchange.
VLStockHoldingItem London(const std::string& symbol, const std::string& ownCurrency = "") {
  VLStockHoldingItem h = HeldIbm();
  h.name = symbol;
  h.quote.Edit().symbol = symbol;
  h.quote.Edit().exchange = "LSE";
  h.currency = ownCurrency;
  return h;
}

std::vector<std::string> SummaryCurrencies(const std::vector<const VLHoldingItem*>& positions) {
  return ComputePortfolioSummary(positions, true, nullptr, NumberFormat::English()).currencies;
}

}  // namespace

TEST(CurrencyUnits, MinorUnitsBelongToTheirMajorCurrencyAndLooseSpellingsAreRefused) {
  const struct {
    const char* code;
    const char* major;
    int divisor;
  } accepted[] = {
      {"GBp", "GBP", 100}, {"ZAc", "ZAR", 100}, {"ILA", "ILS", 100},
      {"GBP", "GBP", 1},   {"USD", "USD", 1},   {"ZAR", "ZAR", 1},
  };
  for (const auto& c : accepted) {
    EXPECT_TRUE(IsAcceptedCurrencyCode(c.code)) << c.code;
    EXPECT_EQ(MajorCurrency(c.code), c.major) << c.code;
    EXPECT_EQ(CurrencyDivisor(c.code), c.divisor) << c.code;
  }
  // Pounds and pence differ by a factor of 100: a code in the wrong letter case is never guessed at.
  for (const char* refused : {"gbp", "GBP ", "Gbp", "gBp", "zac", "ila", "usd", "US", "USDX", "US1", "U$D",
                              "", "\xE2\x82\xAC", "GB\np"}) {
    EXPECT_FALSE(IsAcceptedCurrencyCode(refused)) << refused;
    EXPECT_EQ(MajorCurrency(refused), "") << refused;
    EXPECT_EQ(CurrencyDivisor(refused), 0) << refused;
  }
  // What a stored record takes is wider: any three letters (older files), or none.
  for (const char* form : {"", "usd", "GBp", "XyZ"}) EXPECT_TRUE(IsCurrencyCodeForm(form)) << form;
  for (const char* notForm : {"US", "US1", "USDX", "U D"})
    EXPECT_FALSE(IsCurrencyCodeForm(notForm)) << notForm;
  EXPECT_EQ(MinorCurrencyUnitsText(), "GBp, ZAc or ILA");
}

// Every security of the bundled market: its exchange's currency is a code this program takes, and its
// symbol's suffix names the same code, so the performance warning and the Currency column agree.
TEST(CurrencyUnits, SuffixAndExchangeTablesAgreeOnEveryBundledSecurity) {
  std::ifstream in(std::string(VL_FIXTURES_DIR) + "/../../service/data/securities.csv");
  ASSERT_TRUE(in) << "the bundled securities";
  std::string line;
  std::getline(in, line);  // symbol,name,exchange,...
  int compared = 0;
  int london = 0;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string symbol, name, exchange;
    std::getline(fields, symbol, ',');
    std::getline(fields, name, ',');
    std::getline(fields, exchange, ',');
    const std::string fromExchange = ExchangeCurrency(exchange);
    EXPECT_TRUE(IsAcceptedCurrencyCode(fromExchange)) << symbol << " on " << exchange;
    if (symbol.empty() || symbol[0] == '^') continue;  // an index names no currency of its own
    EXPECT_EQ(CurrencyOfSymbol(symbol), fromExchange) << symbol << " on " << exchange;
    ++compared;
    if (exchange == "LSE") ++london;
  }
  EXPECT_GT(compared, 300);
  EXPECT_GT(london, 10);
}

TEST(PositionCurrency, APositionsOwnCurrencyWinsInTheColumnAndTheTotals) {
  FixedEnvironment env;
  VLStockHoldingItem pence = London("HSBA.L");
  VLStockHoldingItem dollars = London("SHEL.L", "USD");  // bought through an American listing, say
  EXPECT_EQ(PositionCurrency(pence), "GBp");
  EXPECT_EQ(Text(pence, kColCurrency), "GBp");
  EXPECT_EQ(PositionCurrency(dollars), "USD");
  EXPECT_EQ(Text(dollars, kColCurrency), "USD");

  // Two London positions of the exchange's currency add up unmixed; one in dollars mixes them.
  VLStockHoldingItem morePence = London("VOD.L");
  EXPECT_EQ(MixedCurrenciesText(
                ComputePortfolioSummary({&pence, &morePence}, true, nullptr, NumberFormat::English())),
            "");
  const std::vector<std::string> mixed = SummaryCurrencies({&pence, &dollars});
  EXPECT_EQ(mixed, (std::vector<std::string>{"GBp", "USD"}));
  EXPECT_EQ(MixedCurrenciesText(
                ComputePortfolioSummary({&pence, &dollars}, true, nullptr, NumberFormat::English())),
            "GBp and USD, not converted");

  // Without a quote the position still has its own currency; without either it has none.
  VLStockHoldingItem unquoted;
  unquoted.name = "NEW";
  EXPECT_EQ(PositionCurrency(unquoted), "");
  unquoted.currency = "ZAc";
  EXPECT_EQ(PositionCurrency(unquoted), "ZAc");
  // A symbol the service does not know adds nothing to the totals, and names no currency in them.
  dollars.quote.Edit().exchange = "N/A";
  EXPECT_EQ(SummaryCurrencies({&pence, &dollars}), std::vector<std::string>{"GBp"});
}

TEST(PositionCurrency, ThePerformanceWarningNamesTheCodeTheColumnShows) {
  FixedEnvironment env;
  VLHoldingItemList positions;
  positions.InsertAt(0, std::make_unique<VLStockHoldingItem>(London("HSBA.L")));
  positions.InsertAt(1, std::make_unique<VLStockHoldingItem>(London("VOD.L")));
  PerformanceLots lots;
  CollectLots(positions, &lots);
  ASSERT_EQ(lots.lots.size(), 2u);
  EXPECT_EQ(lots.currencies, std::vector<std::string>{
                                 Text(static_cast<const VLHoldingItem&>(*positions.GetAt(0)), kColCurrency)});
  EXPECT_EQ(lots.currencies, std::vector<std::string>{"GBp"});

  // Its own currency wins over the exchange and the suffix; a position never quoted falls back on the
  // suffix, which names London's pence as the exchange table does.
  auto own = std::make_unique<VLStockHoldingItem>(London("BP.L", "USD"));
  auto unquoted = std::make_unique<VLStockHoldingItem>(London("AZN.L"));
  unquoted->quote = SharedStockInfo();
  positions.InsertAt(2, std::move(own));
  positions.InsertAt(3, std::move(unquoted));
  lots = {};
  CollectLots(positions, &lots);
  ASSERT_EQ(lots.lots.size(), 4u);
  EXPECT_EQ(lots.lots[2].currency, "USD");
  EXPECT_EQ(lots.lots[3].currency, "GBp");
  EXPECT_EQ(lots.currencies, (std::vector<std::string>{"GBp", "USD"}));
  EXPECT_EQ(Text(static_cast<const VLHoldingItem&>(*positions.GetAt(2)), kColCurrency), "USD");
}
