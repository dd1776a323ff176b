#pragma once

#include <chrono>
#include <string_view>

class HistoryFetcher;
class Market;
struct ServiceResponse;

inline constexpr std::string_view kFetchPath = "/vellumar/fetch";
inline constexpr std::chrono::milliseconds kFetchPageBudget{15000};

// POST /vellumar/fetch?s=SYMBOL : fetches one symbol's real prices from the sources while the caller
// waits (for a currency pair such as EURUSD=X: the reference rates of every currency), and answers one line
// saying what happened: 200 when a source gave prices, 404 for a symbol the service does not know, 502 when
// every source failed, 503 when no sources for it are set up.
// One symbol a request, so that a client can show progress; `fetcher` may be null (no sources).
// The sources' requests together get kFetchPageBudget, so the answer comes before a client's
// low-speed limit (20 s without a byte) gives up on a silent connection.
ServiceResponse FetchPage(const Market& market, HistoryFetcher* fetcher, std::string_view rawQuery);
