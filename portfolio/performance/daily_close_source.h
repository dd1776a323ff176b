#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "marketdata/fetch_failure.h"
#include "portfolio/records/exact_decimal.h"

// One day's closing price of a symbol: the plain close, not the adjusted one. The service's closes are whole
// cents; a price set by hand keeps its decimals.
struct DailyClose {
  int64_t day = 0;  // days since 1970-01-01
  UnitPrice close;

  DailyClose() = default;
  DailyClose(int64_t day, int64_t closeCents) : day(day), close(PriceOfCents(closeCents)) {}
  DailyClose(int64_t day, UnitPrice close) : day(day), close(close) {}
};

// How a request for a symbol's closes ended.
enum class CloseRequestStatus {
  Ok,           // the closes the source has for the days asked (possibly none)
  NoHistory,    // the source knows no history for the symbol
  Unreachable,  // no answer came back (refused, timed out, broken off)
  Failed,       // an answer came back that is not a history (a server error, say)
};

struct CloseRequestResult {
  CloseRequestStatus status = CloseRequestStatus::Ok;
  std::string errorText;  // the provider's text when the request failed
  FetchFailure failure;   // why the transfer failed, when it did
};

// Where the performance figures take their daily closes from: the historical price service in the product
// (HistoryCloseSource), a table in tests. Requests are made one symbol at a time on the calling thread.
class IDailyCloseSource {
 public:
  virtual ~IDailyCloseSource() = default;
  // Replaces `closes` with the symbol's closes, oldest first and one per day, covering at least the days
  // firstDay..lastDay that the source has (it may add days around them). On failure `closes` is empty.
  virtual CloseRequestResult GetCloses(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                                       std::vector<DailyClose>& closes) = 0;
};
