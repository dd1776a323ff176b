#include "portfolio/checks/sell_checks.h"

#include <gtest/gtest.h>

#include "portfolio/checks/portfolio_name_check.h"
#include "portfolio/columns/number_format.h"
#include "tests/support/exact_values.h"

namespace {

class SellChecks : public ::testing::Test {
  ScopedNumberFormat english{NumberFormat::English()};
};

// Whole shares held: the message names them from 1 (a part of a share may still be sold).
TEST_F(SellChecks, QuantityMustBeFromOneToTheSharesHeld) {
  for (const char* typed : {"0", "101", "", "-1", "99999999999"}) {
    SellResult result;
    const EntryCheck check = CheckSell({typed, "10", std::nullopt, ""}, Shares(100), result);
    EXPECT_EQ(check.message, StringId::SoldQuantityOutOfRange) << typed;
    EXPECT_EQ(check.field, EntryField::Quantity);
    EXPECT_EQ(check.arguments, std::vector<std::string>{"100"});
    EXPECT_EQ(result.soldQty, Shares(0));
  }
  for (const char* typed : {"1,5", "x", "1.2.3"}) {
    SellResult result;
    EXPECT_EQ(CheckSell({typed, "10", std::nullopt, ""}, Shares(100), result).message,
              StringId::DecimalNotANumber)
        << typed;
  }
  SellResult part;
  ASSERT_TRUE(CheckSell({"1.5", "10", std::nullopt, ""}, Shares(100), part).Ok());
  EXPECT_EQ(part.soldQty, SharesOf("1.5"));
  const EntryCheck tooFine = CheckSell({"0.000000001", "10", std::nullopt, ""}, Shares(100), part);
  EXPECT_EQ(tooFine.message, StringId::TooManyDecimals);
  EXPECT_EQ(tooFine.arguments, (std::vector<std::string>{"0.000000001", "8"}));
  SellResult all;
  ASSERT_TRUE(CheckSell({"100", "10", std::nullopt, ""}, Shares(100), all).Ok());
  EXPECT_EQ(all.soldQty, Shares(100));
}

TEST_F(SellChecks, PriceThenCommissionThenResults) {
  SellResult result;
  EntryCheck check = CheckSell({"10", "0", std::nullopt, "-1"}, Shares(100), result);
  EXPECT_EQ(check.message, StringId::SalePriceInvalid);
  EXPECT_EQ(check.field, EntryField::SalePrice);
  EXPECT_EQ(CheckSell({"10", "", std::nullopt, ""}, Shares(100), result).message, StringId::SalePriceInvalid);
  check = CheckSell({"10", "5", std::nullopt, "-1"}, Shares(100), result);
  EXPECT_EQ(check.message, StringId::SaleCommissionNegative);
  EXPECT_EQ(check.field, EntryField::SaleCommission);
  EXPECT_EQ(CheckSell({"10", "5", std::nullopt, "abc"}, Shares(100), result).message,
            StringId::AmountNotANumber);
  EXPECT_EQ(CheckSell({"10", "-5", std::nullopt, ""}, Shares(100), result).message, StringId::AmountNegative);
  EXPECT_EQ(CheckSell({"10", "42949673", std::nullopt, ""}, Shares(100), result).message,
            StringId::AmountTooLarge);

  ASSERT_TRUE(CheckSell({"40", "12.25", 1704153600, ""}, Shares(100), result).Ok());
  EXPECT_EQ(result.soldQty, Shares(40));
  EXPECT_EQ(result.salePrice, Cents(1225));
  EXPECT_EQ(result.saleDate, 1704153600);
  EXPECT_EQ(result.saleCommission, 0u);
  ASSERT_TRUE(CheckSell({"1", "1", std::nullopt, "0"}, Shares(1), result).Ok());
  EXPECT_EQ(result.saleDate, 0);
}

// A fraction held (or less than one share) is said as the quantity above 0 it is; any part of it sells.
TEST_F(SellChecks, AFractionHeldSellsInPartsToTheLastUnit) {
  SellResult result;
  for (const char* typed : {"0", "1.6532", "-0.5", ""}) {
    const EntryCheck check = CheckSell({typed, "10", std::nullopt, ""}, SharesOf("1.6531"), result);
    EXPECT_EQ(check.message, StringId::SoldQuantityFraction) << typed;
    EXPECT_EQ(check.arguments, std::vector<std::string>{"1.6531"});
  }
  EXPECT_EQ(CheckSell({"1", "10", std::nullopt, ""}, SharesOf("0.75"), result).message,
            StringId::SoldQuantityFraction);
  ASSERT_TRUE(CheckSell({"1.6531", "84.2637", std::nullopt, "0.5"}, SharesOf("1.6531"), result).Ok());
  EXPECT_EQ(result.soldQty, SharesOf("1.6531"));
  EXPECT_EQ(result.salePrice, PriceOf("84.2637"));
  EXPECT_EQ(result.saleCommission, 50u);
  ASSERT_TRUE(CheckSell({"0.00000001", "0.000001", std::nullopt, ""}, SharesOf("1.6531"), result).Ok());
  EXPECT_EQ(result.soldQty.Units(), 1);
  EXPECT_EQ(result.salePrice.Units(), 1);
  // A commission keeps cents; a price per share six decimals.
  EXPECT_EQ(CheckSell({"1", "10", std::nullopt, "0.005"}, Shares(5), result).message,
            StringId::TooManyDecimals);
  EXPECT_EQ(CheckSell({"1", "10.0000001", std::nullopt, ""}, Shares(5), result).message,
            StringId::TooManyDecimals);
  ASSERT_TRUE(CheckSell({"1", "10.1234500", std::nullopt, "0.500"}, Shares(5), result).Ok());
  EXPECT_EQ(result.salePrice, PriceOf("10.12345"));
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
