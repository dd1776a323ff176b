#include "portfolio/records/vl_currency.h"

#include <cmath>

namespace {

int64_t Clamped(int64_t cents) {
  if (cents > VLCurrency::kMaxCents) return VLCurrency::kMaxCents;
  if (cents < -VLCurrency::kMaxCents) return -VLCurrency::kMaxCents;
  return cents;
}

}  // namespace

void VLCurrency::Set(double value) {
  if (std::isnan(value)) {
    *this = FromCents(0);
    return;
  }
  double a = std::fabs(value) * 100.0;
  if (a > static_cast<double>(kMaxCents)) a = static_cast<double>(kMaxCents);
  // std::round rounds half away from zero; the product is what the binary double gives, so 0.29 * 100
  // (28.999...) becomes 29 cents.
  const int64_t total = static_cast<int64_t>(std::round(a));
  *this = FromCents(value < 0 ? -total : total);
}

double VLCurrency::GetValue() const {
  const double v = static_cast<double>(units) + static_cast<double>(cents) / 100.0;
  return negative ? -v : v;
}

int64_t VLCurrency::ToCents() const {
  const int64_t magnitude = static_cast<int64_t>(units) * 100 + cents;
  return negative ? -magnitude : magnitude;
}

void VLCurrency::Add(const VLCurrency& other) {
  // Both magnitudes are at most kMaxCents, so the sum cannot overflow 64 bits before it is clamped.
  *this = FromCents(Clamped(ToCents() + other.ToCents()));
}

void VLCurrency::SubtractMagnitude(const VLCurrency& other) {
  VLCurrency negated = other;
  negated.negative = true;
  Add(negated);
}

int VLCurrency::Compare(const VLCurrency& other) const {
  const int64_t a = ToCents();
  const int64_t b = other.ToCents();
  return a > b ? 1 : (a < b ? -1 : 0);
}

VLCurrency VLCurrency::FromCents(int64_t c) {
  c = Clamped(c);
  VLCurrency v;
  const uint64_t magnitude = static_cast<uint64_t>(c < 0 ? -c : c);
  v.units = magnitude / 100;
  v.cents = static_cast<uint32_t>(magnitude % 100);
  v.negative = c < 0;
  return v;
}
