// Quantities to 1e-8 share, prices to 1e-6, and the one rule for what they make together: exact, then
// rounded once to the cent, half away from zero.
#include <gtest/gtest.h>

#include <limits>

#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_currency.h"

namespace {

Quantity Shares(const char* text) {
  const DecimalTextRead read = ReadDecimalText(text, Quantity::kPlaces);
  EXPECT_EQ(read.status, DecimalTextStatus::Ok) << text;
  return Quantity::FromUnits(read.units);
}

UnitPrice Price(const char* text) {
  const DecimalTextRead read = ReadDecimalText(text, UnitPrice::kPlaces);
  EXPECT_EQ(read.status, DecimalTextStatus::Ok) << text;
  return UnitPrice::FromUnits(read.units);
}

}  // namespace

TEST(ExactDecimal, ProductsAreExactAndRoundedOnceHalfAwayFromZero) {
  const struct {
    const char* shares;
    const char* price;
    int64_t cents;
  } cases[] = {
      {"0.00000001", "0.000001", 0},  // the smallest of each: 1e-14, far below a cent
      {"1", "0.005", 1},              // half a cent rounds up
      {"1", "0.004999", 0},
      {"3", "0.145", 44},                            // 43.5 cents; binary doubles make it 43.4999...
      {"0.5", "0.01", 1},                            // 0.005
      {"0.029053", "84.2637", 245},                  // 2.44811...
      {"1.6531", "25.635", 4238},                    // 42.37727...
      {"1000000", "42949672.95", 4294967295000000},  // the largest entry: a million shares at the top price
      {"99999999.99999999", "0.000001", 10000},      // 99.99999999...
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProductCents(Shares(c.shares), Price(c.price)), c.cents) << c.shares << " x " << c.price;
  }
  // A negative product (a difference of prices) rounds away from zero too.
  EXPECT_EQ(ProductCents(Shares("1"), UnitPrice::FromUnits(-5000)), -1);
  EXPECT_EQ(ProductCents(Shares("1"), UnitPrice::FromUnits(-4999)), 0);
  // What a record can hold at most, multiplied, is beyond every sum of money: it is clamped, never wrapped.
  EXPECT_EQ(ProductCents(kMaxStoredQuantity, kMaxStoredPrice), VLCurrency::kMaxCents);
  // A quote read to more places than a record keeps: 12.3456785 x 2 = 24.691357 -> 2469 cents.
  EXPECT_EQ(ProductCents(Shares("2"), 123456785, 7), 2469);
  EXPECT_EQ(ProductCents(Shares("1"), 1, 13), 0);  // places beyond what the rule handles give nothing
}

TEST(ExactDecimal, ACommissionIsSharedInCentsAndTheSharesAddUp) {
  const Quantity whole = Shares("3");
  const Quantity sold = Shares("1");
  const int64_t share = ShareOfCents(995, sold, whole);
  EXPECT_EQ(share, 332);  // 331.666...
  EXPECT_EQ(ShareOfCents(995, whole - sold, whole), 663);
  EXPECT_EQ(ShareOfCents(1, Shares("0.5"), Shares("1")), 1);  // half a cent goes up
  EXPECT_EQ(ShareOfCents(995, sold, Quantity()), 0);
  EXPECT_EQ((Shares("1.6531") - Shares("0.6531")).Units(), Quantity::FromWhole(1).Units());
}

TEST(ExactDecimal, SplitsScaleExactlyOrSayTheyCannot) {
  Quantity q;
  ASSERT_TRUE(Shares("1").ScaledExactly(3, 2, q));
  EXPECT_EQ(DecimalText(q), "1.5");
  EXPECT_FALSE(Shares("1").ScaledExactly(1, 3, q));
  EXPECT_EQ(DecimalText(q), "1.5");  // untouched
  UnitPrice p;
  EXPECT_FALSE(Price("10").ScaledExactly(2, 3, p));
  ASSERT_TRUE(Price("10").ScaledRounded(2, 3, p));
  EXPECT_EQ(PriceText(p), "6.666667");
  ASSERT_TRUE(Price("10").ScaledExactly(2, 1, p));
  EXPECT_EQ(PriceText(p), "20.00");
  EXPECT_FALSE(Shares("1").ScaledExactly(1, 0, q));
  EXPECT_FALSE(Quantity::FromUnits(INT64_MAX).ScaledExactly(2, 1, q));
  EXPECT_FALSE(Quantity::FromUnits(INT64_MAX).ScaledRounded(3, 2, q));
}

TEST(ExactDecimal, TextsShowTheDecimalsTheValueHas) {
  EXPECT_EQ(DecimalText(Shares("1.65310000")), "1.6531");
  EXPECT_EQ(DecimalText(Shares("12")), "12");
  EXPECT_EQ(DecimalText(Shares("0.00000001")), "0.00000001");
  EXPECT_EQ(DecimalText(Quantity::FromUnits(-50000000)), "-0.5");
  EXPECT_EQ(PriceText(Price("12.5")), "12.50");
  EXPECT_EQ(PriceText(Price("84.2637")), "84.2637");
  EXPECT_EQ(PriceText(Price("0.000001")), "0.000001");
  EXPECT_EQ(PriceText(kMaxStoredPrice), "42949672.95");
  EXPECT_EQ(Shares("1.6531").Decimals(), 4);
  EXPECT_EQ(Shares("7").Decimals(), 0);
  EXPECT_TRUE(IsWholeCents(Price("12.34")));
  EXPECT_FALSE(IsWholeCents(Price("12.345")));
  EXPECT_EQ(CentsOfPrice(Price("12.345")), 1235);
  EXPECT_EQ(CentsOfPrice(PriceOfCents(1234)), 1234);
  // Half a cent goes away from zero on both sides, and the ends of 64 bits round as the exact division does.
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  for (int64_t units : {int64_t{5000}, int64_t{4999}, int64_t{-5000}, int64_t{-4999}, int64_t{-15000}, kMax,
                        kMax - 4999, kMax - 5000, kMax - 5001, kMin, kMin + 4999, kMin + 5000, kMin + 5001}) {
    EXPECT_EQ(CentsOfPrice(UnitPrice::FromUnits(units)), static_cast<int64_t>(DivideRounded(units, 10000)))
        << units;
  }
  EXPECT_EQ(CentsOfPrice(UnitPrice::FromUnits(-5000)), -1);
  EXPECT_EQ(CentsOfPrice(UnitPrice::FromUnits(-4999)), 0);
}

TEST(ExactDecimal, ReadingRefusesOrRoundsWhatHasTooManyDecimals) {
  const struct {
    const char* text;
    bool round;
    DecimalTextStatus status;
    int64_t units;
    bool rounded;
  } cases[] = {
      {"0.0290530000", false, DecimalTextStatus::Ok, 29053, false},  // trailing zeros do not count
      {"+1.5", false, DecimalTextStatus::Ok, 1500000, false},
      {"-2.5", false, DecimalTextStatus::Ok, -2500000, false},
      {".5", false, DecimalTextStatus::Ok, 500000, false},
      {"7.", false, DecimalTextStatus::Ok, 7000000, false},
      {"1.1234567", false, DecimalTextStatus::TooManyDecimals, 0, false},
      {"1.1234565", true, DecimalTextStatus::Ok, 1123457, true},
      {"1.12345649", true, DecimalTextStatus::Ok, 1123456, true},
      {"-1.1234565", true, DecimalTextStatus::Ok, -1123457, true},
      {"0.9999999", true, DecimalTextStatus::Ok, 1000000, true},
      {"", false, DecimalTextStatus::Empty, 0, false},
      {".", false, DecimalTextStatus::NotANumber, 0, false},
      {"-", false, DecimalTextStatus::NotANumber, 0, false},
      {"1,5", false, DecimalTextStatus::NotANumber, 0, false},
      {"1.2.3", false, DecimalTextStatus::NotANumber, 0, false},
      {" 1", false, DecimalTextStatus::NotANumber, 0, false},
      {"1e3", false, DecimalTextStatus::NotANumber, 0, false},
      {"9223372036854.775807", false, DecimalTextStatus::Ok, INT64_MAX, false},
      {"9223372036854.775808", false, DecimalTextStatus::TooLarge, 0, false},
      {"99999999999999999999", false, DecimalTextStatus::TooLarge, 0, false},
  };
  for (const auto& c : cases) {
    const DecimalTextRead read = ReadDecimalText(c.text, UnitPrice::kPlaces, c.round);
    EXPECT_EQ(read.status, c.status) << c.text;
    if (read.status != DecimalTextStatus::Ok) continue;
    EXPECT_EQ(read.units, c.units) << c.text;
    EXPECT_EQ(read.rounded, c.rounded) << c.text;
  }
}

TEST(ExactDecimal, DivisionRoundsHalfAwayFromZeroWhateverTheSigns) {
  EXPECT_EQ(static_cast<int64_t>(DivideRounded(5, 2)), 3);
  EXPECT_EQ(static_cast<int64_t>(DivideRounded(-5, 2)), -3);
  EXPECT_EQ(static_cast<int64_t>(DivideRounded(5, -2)), -3);
  EXPECT_EQ(static_cast<int64_t>(DivideRounded(-5, -2)), 3);
  EXPECT_EQ(static_cast<int64_t>(DivideRounded(7, 3)), 2);
  EXPECT_EQ(static_cast<int64_t>(DivideRounded(-7, 3)), -2);
}
