#include "portfolio/checks/holding_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "portfolio/columns/number_format.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"

namespace {

constexpr int64_t kDay = 86400;
constexpr int64_t kJan2 = 1704153600;  // 2024-01-02 00:00 UTC

// A new held position that passes every check.
StockHoldingEntry ValidEntry() {
  StockHoldingEntry entry;
  entry.symbol = "IBM";
  entry.quantity = "100";
  entry.buyPrice = "12.50";
  return entry;
}

// An edited sold position that passes every check.
StockHoldingEntry ValidSoldEntry() {
  StockHoldingEntry entry = ValidEntry();
  entry.symbolFixed = true;
  entry.sold = true;
  entry.buyDate = kJan2;
  entry.salePrice = "14";
  entry.saleDate = kJan2 + 30 * kDay;
  return entry;
}

// Runs the checks, answering the margin question with `answer` and recording each question asked.
struct CheckRun {
  EntryCheck check;
  std::vector<StringId> questions;
  VLStockHoldingItem holding;
};

CheckRun Check(const StockHoldingEntry& entry, bool answer = false) {
  CheckRun run;
  run.holding.name = "OLD";
  run.holding.comment = "kept";
  run.check = CheckStockHolding(
      entry,
      [&](StringId question) {
        run.questions.push_back(question);
        return answer;
      },
      run.holding);
  return run;
}

void ExpectFailure(const StockHoldingEntry& entry, StringId message, EntryPage page, EntryField field) {
  const CheckRun run = Check(entry);
  EXPECT_EQ(run.check.message, message);
  EXPECT_EQ(run.check.page, page);
  EXPECT_EQ(run.check.field, field);
  // A failed check writes nothing.
  EXPECT_EQ(run.holding.name, "OLD");
  EXPECT_EQ(run.holding.comment, "kept");
  EXPECT_EQ(run.holding.qty, Shares(0));
}

class HoldingChecks : public ::testing::Test {
  ScopedNumberFormat english{NumberFormat::English()};
};

TEST_F(HoldingChecks, ValidEntryIsStoredWithTrimmedSymbolAsName) {
  StockHoldingEntry entry = ValidEntry();
  entry.symbol = "  IBM ";
  entry.quantity = "1,000";
  entry.buyDate = kJan2;
  entry.buyCommission = "9.99";
  entry.buyTarget = "10";
  entry.sellTarget = "20.512345";
  entry.stopLossTarget = "";
  entry.marginable = true;
  entry.marginPercent = "50";
  entry.marginThreshold = "5";
  entry.comment = "long term";
  const CheckRun run = Check(entry);
  ASSERT_TRUE(run.check.Ok());
  EXPECT_TRUE(run.questions.empty());
  const VLStockHoldingItem& h = run.holding;
  EXPECT_EQ(h.name, "IBM");
  EXPECT_EQ(h.qty, Shares(1000));
  EXPECT_EQ(h.buyPricePerShare, Cents(1250));
  EXPECT_EQ(h.purchaseDate, kJan2);
  EXPECT_EQ(h.buyCommission, 999u);
  EXPECT_EQ(h.perShareBuyTarget, Cents(1000));
  EXPECT_EQ(h.perShareSellTarget, PriceOf("20.512345"));
  EXPECT_EQ(h.perShareStopLossTarget, Cents(0));
  EXPECT_TRUE(h.marginable);
  EXPECT_EQ(h.mgnEquity, 50);
  EXPECT_EQ(h.mgnThreshold, 500u);
  EXPECT_EQ(h.comment, "long term");
  EXPECT_EQ(h.salePricePerShare, Cents(0));
}

TEST_F(HoldingChecks, SymbolIsRequiredUnlessFixed) {
  StockHoldingEntry entry = ValidEntry();
  entry.symbol = "   ";
  ExpectFailure(entry, StringId::SymbolMissing, EntryPage::None, EntryField::Symbol);
  entry.symbolFixed = true;
  const CheckRun run = Check(entry);
  ASSERT_TRUE(run.check.Ok());
  EXPECT_EQ(run.holding.name, "OLD");  // only Change Symbol alters a fixed symbol
}

// The currency field: empty for the exchange's, an accepted code, or the code the position already keeps.
TEST_F(HoldingChecks, CurrencyIsACodeTakenAsTypedOrNothing) {
  StockHoldingEntry entry = ValidEntry();
  entry.currency = " GBp ";
  CheckRun run = Check(entry);
  ASSERT_TRUE(run.check.Ok());
  EXPECT_EQ(run.holding.currency, "GBp");

  for (const char* refused : {"gbp", "US", "EURO", "\xE2\x82\xAC", "U$D"}) {
    entry.currency = refused;
    run = Check(entry);
    EXPECT_EQ(run.check.message, StringId::CurrencyNotValid) << refused;
    EXPECT_EQ(run.check.field, EntryField::Currency) << refused;
    EXPECT_EQ(run.check.arguments, (std::vector<std::string>{refused, "GBp, ZAc or ILA"})) << refused;
    EXPECT_EQ(run.holding.currency, "") << refused;
    EXPECT_EQ(run.holding.name, "OLD") << "a refused currency stores nothing else either";
  }

  // Emptied, the position takes its exchange's currency again.
  VLStockHoldingItem holding;
  holding.currency = "USD";
  entry.currency = "";
  ASSERT_TRUE(CheckStockHolding(entry, {}, holding).Ok());
  EXPECT_EQ(holding.currency, "");
  // A code an older file stored in a form no longer typed is kept while unchanged, and refused when typed
  // for another position.
  holding.currency = "usd";
  entry.currency = "usd";
  ASSERT_TRUE(CheckStockHolding(entry, {}, holding).Ok());
  EXPECT_EQ(holding.currency, "usd");
  VLStockHoldingItem other;
  EXPECT_EQ(CheckStockHolding(entry, {}, other).message, StringId::CurrencyNotValid);
}

// The rates the broker charged are kept against the base currency they were typed for; rates of another
// base stay until one is typed for this one, which replaces them both.
TEST_F(HoldingChecks, BrokerRatesAreKeptAgainstTheBaseTheyWereTypedFor) {
  StockHoldingEntry entry = ValidEntry();
  VLStockHoldingItem holding;
  entry.buyRate = "1.0875";
  EXPECT_EQ(CheckStockHolding(entry, {}, holding).message, StringId::FxRateWithoutBase);
  entry.baseCurrency = "USD";
  for (const char* refused : {"0", "-1.2", "1,08", "abc"}) {
    entry.buyRate = refused;
    const EntryCheck check = CheckStockHolding(entry, {}, holding);
    EXPECT_EQ(check.message, StringId::FxRateNotValid) << refused;
    EXPECT_EQ(check.field, EntryField::BuyRate) << refused;
  }
  entry.buyRate = " 1.0875 ";
  ASSERT_TRUE(CheckStockHolding(entry, {}, holding).Ok());
  EXPECT_EQ(holding.rateCurrency, "USD");
  EXPECT_EQ(FxRateText(holding.buyRate), "1.0875");
  holding.saleRate = holding.buyRate;

  // Another base: the dollar rates stay while nothing is typed, and go when a euro rate is.
  entry.baseCurrency = "EUR";
  entry.buyRate = "";
  entry.saleRate = "";
  ASSERT_TRUE(CheckStockHolding(entry, {}, holding).Ok());
  EXPECT_EQ(holding.rateCurrency, "USD");
  EXPECT_TRUE(holding.saleRate.IsValid());
  entry.buyRate = "0.92";
  entry.saleRate.reset();  // a held position's dialog has no sale page
  ASSERT_TRUE(CheckStockHolding(entry, {}, holding).Ok());
  EXPECT_EQ(holding.rateCurrency, "EUR");
  EXPECT_EQ(FxRateText(holding.buyRate), "0.92");
  EXPECT_FALSE(holding.saleRate.IsValid());
  // Emptied, no rate is left to keep.
  entry.buyRate = "";
  ASSERT_TRUE(CheckStockHolding(entry, {}, holding).Ok());
  EXPECT_EQ(holding.rateCurrency, "");
  EXPECT_FALSE(holding.HasStoredRates());
}

TEST_F(HoldingChecks, QuantityLimitIsOneMillion) {
  StockHoldingEntry entry = ValidEntry();
  entry.quantity = "1000000";
  EXPECT_TRUE(Check(entry).check.Ok());
  entry.quantity = "1000001";
  ExpectFailure(entry, StringId::QuantityTooLarge, EntryPage::None, EntryField::Quantity);
  entry.quantity = "99999999999";
  ExpectFailure(entry, StringId::QuantityTooLarge, EntryPage::None, EntryField::Quantity);
  // Not a number of shares: refused as such, never cut to "1".
  for (const char* typed : {"twelve", "1,0", "1.5.0"}) {
    entry.quantity = typed;
    ExpectFailure(entry, StringId::DecimalNotANumber, EntryPage::None, EntryField::Quantity);
    EXPECT_EQ(Check(entry).check.arguments, (std::vector<std::string>{typed, "1,234.5678"}));
  }
  // Fractions of a share to 1e-8, trailing zeros not counted; more are refused with the limit.
  entry.quantity = "0.0290530000";
  ASSERT_TRUE(Check(entry).check.Ok());
  EXPECT_EQ(Check(entry).holding.qty, SharesOf("0.029053"));
  entry.quantity = "999,999.99999999";
  EXPECT_TRUE(Check(entry).check.Ok());
  entry.quantity = "1,000,000.00000001";
  ExpectFailure(entry, StringId::QuantityTooLarge, EntryPage::None, EntryField::Quantity);
  entry.quantity = "12.123456789";
  ExpectFailure(entry, StringId::TooManyDecimals, EntryPage::None, EntryField::Quantity);
  EXPECT_EQ(Check(entry).check.arguments, (std::vector<std::string>{"12.123456789", "8"}));
  entry.quantity = "-3";
  ExpectFailure(entry, StringId::QuantityNegative, EntryPage::None, EntryField::Quantity);
}

TEST_F(HoldingChecks, PurchasePageChecksInOrder) {
  StockHoldingEntry entry = ValidEntry();
  entry.buyPrice = "-1";
  entry.buyCommission = "-1";
  ExpectFailure(entry, StringId::BuyPriceNegative, EntryPage::Purchase, EntryField::BuyPrice);
  entry.buyPrice = "12.3456789";  // seven decimals are refused, not rounded
  ExpectFailure(entry, StringId::TooManyDecimals, EntryPage::Purchase, EntryField::BuyPrice);
  EXPECT_EQ(Check(entry).check.arguments, (std::vector<std::string>{"12.3456789", "6"}));
  entry.buyPrice = "12.3x";
  ExpectFailure(entry, StringId::AmountNotANumber, EntryPage::Purchase, EntryField::BuyPrice);
  entry.buyPrice = "42949672.96";  // one cent beyond what the record holds
  ExpectFailure(entry, StringId::AmountTooLarge, EntryPage::Purchase, EntryField::BuyPrice);
  EXPECT_EQ(Check(entry).check.arguments, std::vector<std::string>{"42,949,672.95"});
  entry.buyPrice = "42,949,672.95";
  ExpectFailure(entry, StringId::BuyCommissionNegative, EntryPage::Purchase, EntryField::BuyCommission);
  entry.buyCommission = "1,5";
  ExpectFailure(entry, StringId::AmountNotANumber, EntryPage::Purchase, EntryField::BuyCommission);
  EXPECT_EQ(Check(entry).check.arguments, (std::vector<std::string>{"1,5", "1,234.56"}));
}

TEST_F(HoldingChecks, TargetsAcceptEmptyAndRefuseWhatIsNotAnAmount) {
  StockHoldingEntry entry = ValidEntry();
  entry.sellTarget = "abc";
  entry.stopLossTarget = "-2";
  ExpectFailure(entry, StringId::AmountNotANumber, EntryPage::Targets, EntryField::SellTarget);
  entry.sellTarget = "";
  ExpectFailure(entry, StringId::AmountNegative, EntryPage::Targets, EntryField::StopLossTarget);
  entry.stopLossTarget = "99999999";
  ExpectFailure(entry, StringId::AmountTooLarge, EntryPage::Targets, EntryField::StopLossTarget);
}

TEST_F(HoldingChecks, MarginEquityRules) {
  StockHoldingEntry entry = ValidEntry();
  entry.marginable = true;
  ExpectFailure(entry, StringId::MarginEquityOutOfRange, EntryPage::MarginEquity, EntryField::MarginPercent);
  for (const char* typed : {"0", "101", "-5"}) {
    entry.marginPercent = typed;
    ExpectFailure(entry, StringId::MarginEquityOutOfRange, EntryPage::MarginEquity,
                  EntryField::MarginPercent);
  }
  entry.marginPercent = "50.5";
  ExpectFailure(entry, StringId::WholeNumberNotANumber, EntryPage::MarginEquity, EntryField::MarginPercent);
  entry.marginPercent = "100";
  entry.marginThreshold = "x";
  ExpectFailure(entry, StringId::AmountNotANumber, EntryPage::MarginEquity, EntryField::MarginThreshold);
  entry.marginThreshold = "";
  EXPECT_TRUE(Check(entry).check.Ok());
  entry.marginPercent = "1";
  EXPECT_TRUE(Check(entry).check.Ok());
  // A bad percentage is refused before any question, even when the box is not ticked.
  entry.marginable = false;
  entry.marginPercent = "0";
  const CheckRun bad = Check(entry, true);
  EXPECT_EQ(bad.check.message, StringId::MarginEquityOutOfRange);
  EXPECT_TRUE(bad.questions.empty());
}

TEST_F(HoldingChecks, EquityOfNonMarginableSecurityIsAskedFor) {
  StockHoldingEntry entry = ValidEntry();
  entry.marginPercent = "50";
  const CheckRun yes = Check(entry, true);
  ASSERT_TRUE(yes.check.Ok());
  EXPECT_EQ(yes.questions, std::vector<StringId>{StringId::MarginEquityNotMarginable});
  EXPECT_FALSE(yes.holding.marginable);
  EXPECT_EQ(yes.holding.mgnEquity, 50);

  const CheckRun no = Check(entry, false);
  EXPECT_EQ(no.check.message, StringId::MarginEquityNotMarginable);
  EXPECT_TRUE(no.check.alreadyShown);
  EXPECT_EQ(no.check.page, EntryPage::MarginEquity);
  EXPECT_EQ(no.holding.qty, Shares(0));
}

TEST_F(HoldingChecks, QuantityAndPriceGoTogether) {
  StockHoldingEntry entry = ValidEntry();
  entry.quantity = "0";
  entry.buyPrice = "";
  EXPECT_TRUE(Check(entry).check.Ok());  // a watched symbol: neither shares nor price
  entry.quantity = "";
  EXPECT_TRUE(Check(entry).check.Ok());
  entry.quantity = "10";
  ExpectFailure(entry, StringId::BuyPriceMissing, EntryPage::Purchase, EntryField::BuyPrice);
  entry.quantity = "0";
  entry.buyPrice = "5";
  ExpectFailure(entry, StringId::QuantityMissing, EntryPage::None, EntryField::Quantity);
}

TEST_F(HoldingChecks, SoldPositionChecks) {
  const CheckRun valid = Check(ValidSoldEntry());
  ASSERT_TRUE(valid.check.Ok());
  EXPECT_EQ(valid.holding.salePricePerShare, Cents(1400));
  EXPECT_EQ(valid.holding.saleDate, kJan2 + 30 * kDay);

  StockHoldingEntry entry = ValidSoldEntry();
  entry.saleCommission = "-0.01";
  ExpectFailure(entry, StringId::SaleCommissionNegative, EntryPage::Sale, EntryField::SaleCommission);
  entry.saleCommission = "";
  entry.salePrice = "1.2.3";
  ExpectFailure(entry, StringId::AmountNotANumber, EntryPage::Sale, EntryField::SalePrice);
  entry.salePrice = "-14";
  ExpectFailure(entry, StringId::AmountNegative, EntryPage::Sale, EntryField::SalePrice);

  entry = ValidSoldEntry();
  entry.salePrice = "";
  ExpectFailure(entry, StringId::SoldPositionIncomplete, EntryPage::Sale, EntryField::SalePrice);
  entry.buyPrice = "";
  entry.quantity = "";
  ExpectFailure(entry, StringId::SoldPositionIncomplete, EntryPage::None, EntryField::Quantity);
  entry.quantity = "0";
  entry.buyPrice = "3";
  ExpectFailure(entry, StringId::QuantityMissing, EntryPage::None, EntryField::Quantity);

  entry = ValidSoldEntry();
  entry.saleDate = kJan2 - kDay;
  ExpectFailure(entry, StringId::SaleDateBeforePurchase, EntryPage::Purchase, EntryField::BuyDate);
  entry.saleDate = kJan2;  // the same day is fine
  EXPECT_TRUE(Check(entry).check.Ok());
  entry.saleDate.reset();
  EXPECT_TRUE(Check(entry).check.Ok());
}

TEST_F(HoldingChecks, CashAndMarginAmounts) {
  VLCashHoldingItem cash;
  cash.name = "old";
  EXPECT_EQ(CheckCashHolding({"0", "Savings"}, cash).message, StringId::AmountMissing);
  EXPECT_EQ(CheckCashHolding({"", "Savings"}, cash).field, EntryField::Amount);
  EXPECT_EQ(CheckCashHolding({"-5", "Savings"}, cash).message, StringId::AmountNegative);
  EXPECT_EQ(CheckCashHolding({"5.001", "Savings"}, cash).message, StringId::TooManyDecimals);
  EXPECT_EQ(CheckCashHolding({"5.001", "Savings"}, cash).arguments, (std::vector<std::string>{"5.001", "2"}));
  EXPECT_EQ(CheckCashHolding({"1234,56", "Savings"}, cash).message, StringId::AmountNotANumber);
  EXPECT_EQ(CheckCashHolding({"42949673", "Savings"}, cash).message, StringId::AmountTooLarge);
  const EntryCheck noDescription = CheckCashHolding({"5", "  "}, cash);
  EXPECT_EQ(noDescription.message, StringId::DescriptionMissing);
  EXPECT_EQ(noDescription.field, EntryField::Description);
  EXPECT_EQ(cash.name, "old");
  EXPECT_EQ(cash.amount, 0u);
  ASSERT_TRUE(CheckCashHolding({"2,500.75", " Savings "}, cash).Ok());
  EXPECT_EQ(cash.name, "Savings");
  EXPECT_EQ(cash.amount, 250075u);

  VLMarginHoldingItem margin;
  EXPECT_EQ(CheckMarginHolding({"0.00", "Broker"}, margin).message, StringId::AmountMissing);
  EXPECT_EQ(CheckMarginHolding({"42949672.96", "Broker"}, margin).message, StringId::AmountTooLarge);
  ASSERT_TRUE(CheckMarginHolding({"42949672.95", "Broker"}, margin).Ok());
  EXPECT_EQ(margin.amountOwed, 4294967295u);
  ASSERT_TRUE(CheckMarginHolding({"0.01", "Broker"}, margin).Ok());
  EXPECT_EQ(margin.amountOwed, 1u);
  EXPECT_EQ(margin.name, "Broker");
}

}  // namespace
