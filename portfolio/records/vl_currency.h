#pragma once
#include <cstdint>

// A signed amount of money with exactly two decimals, kept as magnitude (units and cents) and sign.
// Positions keep whole cents; this is what their money figures return and what totals add up. It lives only
// in memory (no record stores it), so its unit count is 64 bits wide: a million shares at the largest price
// a record holds (42,949,672.95) is 42,949,672,950,000.00, far beyond 32 bits of units.
class VLCurrency {
 public:
  uint64_t units = 0;
  uint32_t cents = 0;  // 0 to 99 after every operation
  bool negative = false;

  VLCurrency() = default;
  explicit VLCurrency(double value) { Set(value); }
  VLCurrency(const VLCurrency&) = default;
  VLCurrency& operator=(const VLCurrency&) = default;
  virtual ~VLCurrency() = default;

  // Rounds to the nearest cent, half away from zero, so 10.29 stays 10.29 despite its binary form.
  // A zero amount is never negative; magnitudes beyond kMaxCents are clamped.
  void Set(double value);
  double GetValue() const;
  // Adds the signed amount `other`, exactly, in whole cents.
  void Add(const VLCurrency& other);
  // This amount minus the magnitude of `other`, whatever other's sign (how gains are formed).
  void SubtractMagnitude(const VLCurrency& other);
  // 0 when equal, 1 when this amount is greater, -1 when smaller; exact.
  int Compare(const VLCurrency& other) const;

  // The signed amount in cents.
  int64_t ToCents() const;
  // From a count of cents (units = c / 100, cents = c % 100).
  static VLCurrency FromCents(int64_t cents);

  // The largest magnitude kept, in cents: sums beyond it (about 92 trillion) are clamped, never wrapped.
  static constexpr int64_t kMaxCents = INT64_MAX / 1000;
};
