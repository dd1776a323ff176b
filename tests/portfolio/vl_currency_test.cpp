#include "portfolio/records/vl_currency.h"

#include <gtest/gtest.h>

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

TEST(VLCurrencyAdd, SameSignCarriesCents) {
  VLCurrency a = Of(0.75);
  a.Add(Of(0.50));
  ExpectAmount(a, 1, 25, false);
  VLCurrency b = Of(-0.75);
  b.Add(Of(-0.50));
  ExpectAmount(b, 1, 25, true);
}

TEST(VLCurrencyAdd, DifferentSignsSubtract) {
  VLCurrency a = Of(1.00);
  a.Add(Of(-0.25));
  ExpectAmount(a, 0, 75, false);
  VLCurrency b = Of(0.25);
  b.Add(Of(-1.00));
  ExpectAmount(b, 0, 75, true);
  VLCurrency c = Of(1.00);
  c.Add(Of(-1.00));
  ExpectAmount(c, 0, 0, false);
  VLCurrency d = Of(10.29);
  d.Add(Of(-0.01));
  ExpectAmount(d, 10, 28, false);
}

TEST(VLCurrencyAdd, SubtractMagnitudeIgnoresTheOthersSign) {
  VLCurrency a = Of(5.00);
  a.SubtractMagnitude(Of(-2.00));
  ExpectAmount(a, 3, 0, false);
  VLCurrency b = Of(5.00);
  b.SubtractMagnitude(Of(7.50));
  ExpectAmount(b, 2, 50, true);
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
