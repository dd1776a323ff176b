#pragma once
#include <cstdint>
#include <string>

// An exact decimal read from a page: dividend amounts and exchange rates go from the text to the stored
// figure without a binary fraction in between.
struct ExactDecimal {
  int64_t digits = 0;  // the number without its point: 1.08450 is 108450
  int decimals = 0;    // how many of them follow the point: 5

  // The text it was read from, in its plain form ("1.08450", "0.00661234", "163").
  std::string Text() const;
  // The same value as a whole number of 10^-scale units (scale 6: millionths); false when that would drop a
  // digit that is not 0, or overflow.
  [[nodiscard]] bool ToUnits(int scale, int64_t* units) const;
  friend bool operator==(const ExactDecimal&, const ExactDecimal&) = default;
};

// A positive plain decimal: digits with at most one point between them, at most 18 digits, not 0. No sign,
// no exponent, no blanks, no thousands separators: false for anything else, and `out` is left as it was.
[[nodiscard]] bool ParseExactDecimal(const std::string& text, ExactDecimal* out);

// A calendar day as the market-data pages write it, "2024-06-10".
struct MarketDay {
  int year = 0;
  int month = 0;
  int day = 0;

  // Days since 1970-01-01 (negative before).
  int64_t Number() const;
  std::string IsoText() const;
  friend bool operator==(const MarketDay&, const MarketDay&) = default;
  friend bool operator<(const MarketDay& a, const MarketDay& b) { return a.Number() < b.Number(); }
};

// Exactly YYYY-MM-DD naming a real day of the years 1900 to 9999; false otherwise.
[[nodiscard]] bool ParseMarketDay(const std::string& text, MarketDay* out);
