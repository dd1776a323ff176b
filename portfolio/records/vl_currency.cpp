#include "portfolio/records/vl_currency.h"

#include <cmath>
#include <cstdlib>
#include <limits>

void VLCurrency::Set(double value) {
  units = 0;
  cents = 0;
  negative = false;
  if (std::isnan(value)) return;
  constexpr double kMaxCents = static_cast<double>(std::numeric_limits<uint32_t>::max()) * 100.0 + 99.0;
  double a = std::fabs(value) * 100.0;
  if (a > kMaxCents) a = kMaxCents;
  // std::round rounds half away from zero; the product is what the binary double gives, so 0.29 * 100
  // (28.999...) becomes 29 cents.
  const uint64_t total = static_cast<uint64_t>(std::round(a));
  units = static_cast<uint32_t>(total / 100);
  cents = static_cast<uint32_t>(total % 100);
  negative = value < 0 && total != 0;
}

double VLCurrency::GetValue() const {
  const double v = static_cast<double>(units) + static_cast<double>(cents) / 100.0;
  return negative ? -v : v;
}

void VLCurrency::Add(const VLCurrency& other) {
  if (negative == other.negative) {
    cents += other.cents;
    units += other.units + cents / 100;
    cents %= 100;
    return;
  }
  const double r = (GetValue() * 100.0 + other.GetValue() * 100.0) / 100.0;
  Set(std::fabs(r));
  negative = r < 0 && (units != 0 || cents != 0);
}

void VLCurrency::SubtractMagnitude(const VLCurrency& other) {
  VLCurrency negated = other;
  negated.negative = true;
  Add(negated);
}

int VLCurrency::Compare(const VLCurrency& other) const {
  if (units == other.units && cents == other.cents && negative == other.negative) return 0;
  const double a = GetValue();
  const double b = other.GetValue();
  if (a > b) return 1;
  if (a < b) return -1;
  return 0;
}

VLCurrency VLCurrency::FromCents(int64_t c) {
  VLCurrency v;
  const uint64_t magnitude = c < 0 ? static_cast<uint64_t>(-(c + 1)) + 1 : static_cast<uint64_t>(c);
  v.units = static_cast<uint32_t>(magnitude / 100);
  v.cents = static_cast<uint32_t>(magnitude % 100);
  v.negative = c < 0;
  return v;
}
