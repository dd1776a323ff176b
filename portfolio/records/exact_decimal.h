#pragma once
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

// Exact decimals for what a position holds: quantities of shares to 1e-8 and prices per share to 1e-6, each
// kept as a whole count of its smallest unit. Money stays in whole cents. Every figure made of a quantity and
// a price is computed exactly in 128 bits and rounded once, to the cent, half away from zero; no
// floating-point number stands between a stored value and a cent.

using Int128 = __int128;

constexpr int64_t Pow10(int n) {
  int64_t p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

// a / b rounded to the nearest whole number, half away from zero. `b` must not be 0.
Int128 DivideRounded(Int128 a, Int128 b);

// A decimal number kept as a whole count of 10^-Places.
template <int Places>
class FixedDecimal {
 public:
  static constexpr int kPlaces = Places;
  static constexpr int64_t kScale = Pow10(Places);

  constexpr FixedDecimal() = default;
  static constexpr FixedDecimal FromUnits(int64_t units) {
    FixedDecimal d;
    d.units = units;
    return d;
  }
  static constexpr FixedDecimal FromWhole(int64_t whole) { return FromUnits(whole * kScale); }

  constexpr int64_t Units() const { return units; }
  constexpr bool IsZero() const { return units == 0; }
  constexpr bool IsWhole() const { return units % kScale == 0; }
  // The whole part, truncated toward zero.
  constexpr int64_t WholePart() const { return units / kScale; }
  // The decimals the value needs: its digits after the point without trailing zeros (0 for a whole value).
  constexpr int Decimals() const {
    int64_t rest = units % kScale;
    if (rest == 0) return 0;
    int decimals = Places;
    while (rest % 10 == 0) rest /= 10, --decimals;
    return decimals;
  }

  friend constexpr auto operator<=>(FixedDecimal, FixedDecimal) = default;
  friend constexpr bool operator==(FixedDecimal, FixedDecimal) = default;
  friend constexpr FixedDecimal operator+(FixedDecimal a, FixedDecimal b) {
    return FromUnits(a.units + b.units);
  }
  friend constexpr FixedDecimal operator-(FixedDecimal a, FixedDecimal b) {
    return FromUnits(a.units - b.units);
  }
  constexpr FixedDecimal& operator+=(FixedDecimal other) {
    units += other.units;
    return *this;
  }
  constexpr FixedDecimal& operator-=(FixedDecimal other) {
    units -= other.units;
    return *this;
  }

  // This value times n / d when the result is a value of this kind exactly (a split of 3 for 2 makes 1.5
  // shares of 1): false, `out` untouched, when it is not, when d is 0 or when it would not fit in 64 bits.
  [[nodiscard]] bool ScaledExactly(int64_t n, int64_t d, FixedDecimal& out) const {
    if (d == 0) return false;
    const Int128 product = static_cast<Int128>(units) * n;
    if (product % d != 0) return false;
    return Store(product / d, out);
  }
  // The same, rounded half away from zero to the last place: false only for d of 0 or a result beyond 64
  // bits.
  [[nodiscard]] bool ScaledRounded(int64_t n, int64_t d, FixedDecimal& out) const {
    if (d == 0) return false;
    return Store(DivideRounded(static_cast<Int128>(units) * n, d), out);
  }

 private:
  static bool Store(Int128 value, FixedDecimal& out) {
    if (value > INT64_MAX || value < INT64_MIN) return false;
    out.units = static_cast<int64_t>(value);
    return true;
  }

  int64_t units = 0;
};

// Shares of a position, to 1e-8 share.
using Quantity = FixedDecimal<8>;
// A price per share, to 1e-6 of the currency unit (1e-4 cent).
using UnitPrice = FixedDecimal<6>;

inline constexpr int64_t kPriceUnitsPerCent = UnitPrice::kScale / 100;

// What a record holds at most: the whole shares and the cents of the 32-bit fields of the record's older
// form, 4,294,967,295 shares and 42,949,672.95 per share.
inline constexpr Quantity kMaxStoredQuantity = Quantity::FromWhole(4294967295LL);
inline constexpr UnitPrice kMaxStoredPrice = UnitPrice::FromUnits(4294967295LL * kPriceUnitsPerCent);

constexpr UnitPrice PriceOfCents(int64_t cents) {
  return UnitPrice::FromUnits(cents * kPriceUnitsPerCent);
}
constexpr bool IsWholeCents(UnitPrice price) {
  return price.Units() % kPriceUnitsPerCent == 0;
}
// The price in cents, rounded half away from zero.
int64_t CentsOfPrice(UnitPrice price);

// quantity x price per share in cents: exact, rounded once half away from zero. A product beyond what sums
// of money keep (VLCurrency::kMaxCents) is clamped to it.
int64_t ProductCents(Quantity quantity, UnitPrice price);
// The same for a price given as `units` of 10^-places (a quote's text read to more places than a record
// keeps), 0 <= places <= 12.
int64_t ProductCents(Quantity quantity, int64_t priceUnits, int places);
// `cents` x part / whole, rounded half away from zero: the share of a commission that goes with `part` of the
// shares. 0 when `whole` is 0.
int64_t ShareOfCents(int64_t cents, Quantity part, Quantity whole);

// `units` of 10^-places as plain text: "-" for a negative value, the digits, "." and as many decimals as the
// value needs but at least `minDecimals` ("1.6531", "12", "12.50"); no grouping.
std::string DecimalUnitsText(int64_t units, int places, int minDecimals = 0);
template <int Places>
std::string DecimalText(FixedDecimal<Places> value, int minDecimals = 0) {
  return DecimalUnitsText(value.Units(), Places, minDecimals);
}
// A price as the lists and files show it: at least 2 and at most 6 decimals ("12.50", "84.2637").
inline std::string PriceText(UnitPrice price) {
  return DecimalText(price, 2);
}

// Reading the plain decimal texts of files and quotes: an optional sign, digits, and "." with digits after
// it (at least one digit in all); nothing else.
enum class DecimalTextStatus {
  Ok,
  Empty,            // nothing at all
  NotANumber,       // anything but the form above
  TooManyDecimals,  // more decimals than `places`, not all zeros (refused unless rounding was asked)
  TooLarge,         // beyond 64 bits of units
};
struct DecimalTextRead {
  DecimalTextStatus status = DecimalTextStatus::Empty;
  int64_t units = 0;
  bool rounded = false;  // decimals beyond `places` were rounded away (only with `round`)
};
// Trailing zeros never count as decimals ("0.0290530000" is 0.029053 to 6 places). With `round`, a text with
// more decimals is rounded half away from zero to `places` instead of refused.
DecimalTextRead ReadDecimalText(std::string_view text, int places, bool round = false);
