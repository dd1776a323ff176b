#include "portfolio/fx/fx_rate_request.h"

#include <algorithm>

void AddRateNeed(std::vector<FxRateRequest>& needs, const std::string& base, const std::string& quote,
                 int64_t firstDay, int64_t lastDay) {
  for (FxRateRequest& need : needs) {
    if (need.base == base && need.quote == quote) {
      need.firstDay = std::min(need.firstDay, firstDay);
      need.lastDay = std::max(need.lastDay, lastDay);
      return;
    }
  }
  needs.push_back({base, quote, firstDay, lastDay});
}
