#pragma once

#include <string>
#include <string_view>

class Market;
class QueryString;
struct Security;
struct ServiceResponse;

// The symbol and span of a history request: s=SYMBOL and the dates a/b/c (start month 0-based, day, year)
// and d/e/f (end), as the historical download takes them. A former symbol (before a symbol change) stands for
// its security up to its last day under that symbol.
struct HistoryRequest {
  std::string symbol;  // as asked, upper case
  const Security* security = nullptr;
  int fromDay = 0;
  int toDay = 0;
  int retiredOn = 0;  // for a former symbol: the day of the change that retired it (toDay stops before it)
};

// False with the answer to send instead: 400 for a missing symbol or a bad date, 404 for an unknown symbol.
// A currency pair is no security: `security` stays null for it and the caller answers it.
[[nodiscard]] bool ReadHistoryRequest(const Market& market, const QueryString& query, HistoryRequest& request,
                                      ServiceResponse& refusal);
