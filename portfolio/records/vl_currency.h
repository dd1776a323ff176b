#pragma once
#include <cstdint>

// A signed amount of money with exactly two decimals, kept as magnitude (units and cents) and sign.
// Positions keep whole cents; this is what their money figures return and what totals add up.
class VLCurrency {
 public:
  uint32_t units = 0;
  uint32_t cents = 0;  // 0 to 99 after every operation
  bool negative = false;

  VLCurrency() = default;
  explicit VLCurrency(double value) { Set(value); }
  VLCurrency(const VLCurrency&) = default;
  VLCurrency& operator=(const VLCurrency&) = default;
  virtual ~VLCurrency() = default;

  // Rounds to the nearest cent, half away from zero, so 10.29 stays 10.29 despite its binary form.
  // A zero amount is never negative; magnitudes beyond the 32-bit unit count are clamped.
  void Set(double value);
  double GetValue() const;
  // Adds the signed amount `other`.
  void Add(const VLCurrency& other);
  // This amount minus the magnitude of `other`, whatever other's sign (how gains are formed).
  void SubtractMagnitude(const VLCurrency& other);
  // 0 when equal, 1 when this amount is greater, -1 when smaller.
  int Compare(const VLCurrency& other) const;

  // From a count of cents (units = c / 100, cents = c % 100).
  static VLCurrency FromCents(int64_t cents);
};
