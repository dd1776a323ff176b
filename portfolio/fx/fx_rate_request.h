#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/fx/fx_rate_book.h"

// The fixings a conversion needs of one pair: one `base` in `quote`, from firstDay to lastDay (day numbers).
struct FxRateRequest {
  std::string base;
  std::string quote;
  int64_t firstDay = 0;
  int64_t lastDay = 0;
};

// Adds a need to `needs`, widening the request of the same pair when there is one already.
void AddRateNeed(std::vector<FxRateRequest>& needs, const std::string& base, const std::string& quote,
                 int64_t firstDay, int64_t lastDay);
