#include "portfolio/checks/sell_checks.h"

#include <gtest/gtest.h>

#include "portfolio/checks/portfolio_name_check.h"
#include "portfolio/columns/number_format.h"

namespace {

class SellChecks : public ::testing::Test {
  ScopedNumberFormat english{NumberFormat::English()};
};

TEST_F(SellChecks, QuantityMustBeFromOneToTheSharesHeld) {
  for (const char* typed : {"0", "101", "", "-1", "99999999999"}) {
    SellResult result;
    const EntryCheck check = CheckSell({typed, "10", std::nullopt, ""}, 100, result);
    EXPECT_EQ(check.message, StringId::SoldQuantityOutOfRange) << typed;
    EXPECT_EQ(check.field, EntryField::Quantity);
    EXPECT_EQ(check.arguments, std::vector<std::string>{"100"});
    EXPECT_EQ(result.soldQty, 0u);
  }
  for (const char* typed : {"1.5", "x"}) {
    SellResult result;
    EXPECT_EQ(CheckSell({typed, "10", std::nullopt, ""}, 100, result).message,
              StringId::WholeNumberNotANumber);
  }
  SellResult all;
  ASSERT_TRUE(CheckSell({"100", "10", std::nullopt, ""}, 100, all).Ok());
  EXPECT_EQ(all.soldQty, 100u);
}

TEST_F(SellChecks, PriceThenCommissionThenResults) {
  SellResult result;
  EntryCheck check = CheckSell({"10", "0", std::nullopt, "-1"}, 100, result);
  EXPECT_EQ(check.message, StringId::SalePriceInvalid);
  EXPECT_EQ(check.field, EntryField::SalePrice);
  EXPECT_EQ(CheckSell({"10", "", std::nullopt, ""}, 100, result).message, StringId::SalePriceInvalid);
  check = CheckSell({"10", "5", std::nullopt, "-1"}, 100, result);
  EXPECT_EQ(check.message, StringId::SaleCommissionNegative);
  EXPECT_EQ(check.field, EntryField::SaleCommission);
  EXPECT_EQ(CheckSell({"10", "5", std::nullopt, "abc"}, 100, result).message, StringId::AmountNotANumber);
  EXPECT_EQ(CheckSell({"10", "-5", std::nullopt, ""}, 100, result).message, StringId::AmountNegative);
  EXPECT_EQ(CheckSell({"10", "42949673", std::nullopt, ""}, 100, result).message, StringId::AmountTooLarge);

  ASSERT_TRUE(CheckSell({"40", "12.25", 1704153600, ""}, 100, result).Ok());
  EXPECT_EQ(result.soldQty, 40u);
  EXPECT_EQ(result.salePrice, 1225u);
  EXPECT_EQ(result.saleDate, 1704153600);
  EXPECT_EQ(result.saleCommission, 0u);
  ASSERT_TRUE(CheckSell({"1", "1", std::nullopt, "0"}, 1, result).Ok());
  EXPECT_EQ(result.saleDate, 0);
}

TEST(ChangeSymbol, NewSymbolRequiredAndOnlyADifferentOneCounts) {
  std::string symbol = "unchanged";
  const EntryCheck empty = CheckNewSymbol("  ", symbol);
  EXPECT_EQ(empty.message, StringId::NewSymbolMissing);
  EXPECT_EQ(empty.field, EntryField::NewSymbol);
  EXPECT_EQ(symbol, "unchanged");
  ASSERT_TRUE(CheckNewSymbol(" MSFT ", symbol).Ok());
  EXPECT_EQ(ChangedSymbol(symbol, "IBM"), std::optional<std::string>("MSFT"));
  EXPECT_EQ(ChangedSymbol(" IBM", "IBM"), std::nullopt);
}

TEST(PortfolioName, TrimmedAndRequired) {
  std::string name = "before";
  const EntryCheck empty = CheckPortfolioName(" \t ", name);
  EXPECT_EQ(empty.message, StringId::PortfolioNameMissing);
  EXPECT_EQ(empty.field, EntryField::PortfolioName);
  EXPECT_EQ(name, "before");
  ASSERT_TRUE(CheckPortfolioName("  Retirement  ", name).Ok());
  EXPECT_EQ(name, "Retirement");
}

}  // namespace
