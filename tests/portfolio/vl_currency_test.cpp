#include "portfolio/records/vl_currency.h"

#include <gtest/gtest.h>

#include <string>

namespace {
void ExpectAmount(const VLCurrency& c, uint64_t units, uint32_t cents, bool negative) {
  EXPECT_EQ(c.units, units);
  EXPECT_EQ(c.cents, cents);
  EXPECT_EQ(c.negative, negative);
}

VLCurrency Of(double v) {
  return VLCurrency(v);
}
}  // namespace

TEST(VLCurrencySet, SplitsMagnitudeAndSign) {
  ExpectAmount(VLCurrency(), 0, 0, false);
  ExpectAmount(Of(2.5), 2, 50, false);
  ExpectAmount(Of(-2.5), 2, 50, true);
  EXPECT_DOUBLE_EQ(Of(-2.5).GetValue(), -2.5);
  EXPECT_DOUBLE_EQ(Of(1234567.89).GetValue(), 1234567.89);
}

TEST(VLCurrencySet, RoundsToTheNearestCentInsteadOfLosingOne) {
  // 10.29, 0.29 and 1.15 sit just below the whole cent in binary; truncating would lose a cent.
  ExpectAmount(Of(10.29), 10, 29, false);
  ExpectAmount(Of(0.29), 0, 29, false);
  ExpectAmount(Of(1.15), 1, 15, false);
  ExpectAmount(Of(-10.29), 10, 29, true);
  // Exact halves go away from zero.
  ExpectAmount(Of(0.125), 0, 13, false);
  ExpectAmount(Of(-0.125), 0, 13, true);
}

TEST(VLCurrencySet, ZeroIsNeverNegativeAndHugeValuesClamp) {
  ExpectAmount(Of(-0.001), 0, 0, false);
  ExpectAmount(Of(1e30), VLCurrency::kMaxCents / 100, VLCurrency::kMaxCents % 100, false);
}

TEST(VLCurrencyAdd, SumsBeyondThirtyTwoBitsOfUnitsStayExact) {
  // A million shares at the largest price a record holds, twice, less one cent.
  VLCurrency a = VLCurrency::FromCents(4294967295000000);
  a.Add(VLCurrency::FromCents(4294967295000000));
  ExpectAmount(a, 85899345900000, 0, false);
  a.Add(VLCurrency::FromCents(-1));
  ExpectAmount(a, 85899345899999, 99, false);
  EXPECT_EQ(a.ToCents(), 8589934589999999);
  EXPECT_EQ(a.Compare(VLCurrency::FromCents(8589934590000000)), -1);
}

// The same sign carries cents, different signs subtract, and SubtractMagnitude ignores the other's sign.
TEST(VLCurrencyAdd, AddsSignedAmountsAndSubtractsMagnitudes) {
  const struct {
    double a, b;
    bool magnitude;
    uint64_t units;
    uint32_t cents;
    bool negative;
  } cases[] = {
      {0.75, 0.5, false, 1, 25, false}, {-0.75, -0.5, false, 1, 25, true},
      {1, -0.25, false, 0, 75, false},  {0.25, -1, false, 0, 75, true},
      {1, -1, false, 0, 0, false},      {10.29, -0.01, false, 10, 28, false},
      {5, -2, true, 3, 0, false},       {5, 7.5, true, 2, 50, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.a) + (c.magnitude ? " less size of " : " plus ") + std::to_string(c.b));
    VLCurrency result = Of(c.a);
    if (c.magnitude) {
      result.SubtractMagnitude(Of(c.b));
    } else {
      result.Add(Of(c.b));
    }
    ExpectAmount(result, c.units, c.cents, c.negative);
  }
}

TEST(VLCurrencyCompare, OrdersSignedAmounts) {
  EXPECT_EQ(Of(1.50).Compare(Of(-1.50)), 1);
  EXPECT_EQ(Of(-2.00).Compare(Of(-1.00)), -1);
  EXPECT_EQ(Of(3.10).Compare(Of(3.10)), 0);
  EXPECT_EQ(Of(-1.50).Compare(Of(1.50)), -1);
  EXPECT_EQ(Of(0.01).Compare(Of(0.00)), 1);
}

TEST(VLCurrencyFromCents, SplitsACountOfCents) {
  ExpectAmount(VLCurrency::FromCents(1234), 12, 34, false);
  ExpectAmount(VLCurrency::FromCents(-5), 0, 5, true);
  ExpectAmount(VLCurrency::FromCents(0), 0, 0, false);
}
