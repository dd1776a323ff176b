#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "marketdata/fetch_failure.h"
#include "portfolio/database/vl_quote_source.h"

// The quote refresh of a database: where it gets its figures, whether one runs, its deadline and how the
// last one that failed went.
struct VLRefreshState {
  // One deadline for a whole refresh, checked before every request; 0 = none.
  static constexpr int64_t kDefaultDeadlineMs = 180000;

  std::unique_ptr<IVLQuoteSource> source;  // owned; the market-data services unless set otherwise
  bool running = false;                    // while it runs, every change is refused
  int64_t deadlineMs = kDefaultDeadlineMs;
  std::string lastError;     // the quote source's error text of the last refresh that failed in a request
  FetchFailure lastFailure;  // why that request failed: the host and the transport error or HTTP status
};
