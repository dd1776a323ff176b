#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "marketdata/corporate_events_provider.h"
#include "marketdata/fetch_failure.h"

// The dividends, splits and symbol changes of `symbol` with dates from `firstDay` to `lastDay` (day numbers)
// from the market-data service's events page, on the calling thread; false with `error` (and `failure` when
// known) when the service could not be asked or answered something else.
bool FetchServiceEvents(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                        std::vector<CorporateEvent>& events, std::string& error, FetchFailure& failure);
