#pragma once

#include "service/rate_table.h"

#include <string>
#include <string_view>
#include <vector>

// What a rate source answered.
struct RateAnswer {
  bool ok = false;
  std::vector<RateObservation> observations;
  std::string error;  // why not, when !ok
};

// Reads the European Central Bank's reference rates in its CSV data form (the data portal's "csvdata"): a
// header that names the columns, among them CURRENCY, CURRENCY_DENOM, TIME_PERIOD and OBS_VALUE, then one
// row per currency and day ("EXR.D.USD.EUR.SP00.A,D,USD,EUR,SP00,A,2024-01-02,1.0956,..."). Rows of another
// frequency or kind of rate (FREQ other than D, EXR_TYPE other than SP00), not per euro, without a value or
// of a currency the service does not know are passed over. Anything that is not this form (an HTML page, a
// missing column, a bad date or rate, an over-long line) is refused, naming the line; so is an answer
// without a single rate.
[[nodiscard]] RateAnswer ParseEcbCsv(std::string_view body);
