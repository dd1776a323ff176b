#pragma once
#include <cstdint>
#include <string>

// A stock position's figures in its portfolio's base currency, each amount converted once from the position's
// currency and rounded half away from zero to the cent:
//   value:     the value (held) or the sale value (sold) at the rate of the day valued (today, the sale day);
//   totalPaid: Total Paid at the purchase day's rate;
//   gain:      value - totalPaid;
//   priceGain: (value - Total Paid, in the position's currency) at the purchase day's rate;
//   fxGain:    gain - priceGain, what the currency did.
// A rate the position stores for the base currency (the broker's) stands in for the reference rate.
struct BaseFigures {
  bool known = false;  // false: no base currency, or a figure could not be converted (see error)
  std::string error;   // why not, naming the currency pair and the day ("no EUR/GBP rate on or before ...")
  int64_t value = 0;
  int64_t totalPaid = 0;
  int64_t gain = 0;
  int64_t priceGain = 0;
  int64_t fxGain = 0;
  int64_t valueRateDay = 0;     // the day of the fixing the value was converted at
  bool storedRateUsed = false;  // a rate the position stores stood in for a reference rate
};
