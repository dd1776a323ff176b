#pragma once

#include <string_view>

class Market;
struct PageRequest;
struct ServiceResponse;

inline constexpr int kLookupPageSize = 50;

// GET /lookup?m=US|ALL&t=S|M|E|F&s=TEXT&b=OFFSET : one page of 50 matches with
// "Showing a - b of n"; a search without matches gets a page that says so.
ServiceResponse LookupPage(const Market& market, const PageRequest& request);
