#pragma once
#include <functional>
#include <string>

#include "portfolio/performance/performance_calculator.h"

class IDailyCloseSource;

// Before each symbol's request: how many are done, how many there are, and the symbol asked next (empty
// after the last). Returning false stops the run (Cancelled) before that request.
using PerformanceProgress = std::function<bool(int done, int total, const std::string& symbol)>;

// Asks `source` for the closes of every symbol of the lots bought by TO, one request per symbol, from
// kCloseLookbackDays before the start of the span to TO, then computes the figures. The first symbol the
// source has no history for, or cannot get, ends the run with its status and name: no figures are given
// from a partial history.
PerformanceOutcome RunPerformance(const PerformanceLots& lots, const PerformanceSpan& span,
                                  IDailyCloseSource& source, const PerformanceProgress& progress = {});
