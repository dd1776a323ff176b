#pragma once
#include <memory>
#include <string>
#include <vector>

class Market;

// The bundled securities at a fixed clock, as the service would serve them.
std::unique_ptr<Market> BenchMarket();
// The first `count` symbols of the bundled list.
std::vector<std::string> BenchSymbols(const Market& market, size_t count);
// What the service answers for `target`.
std::string ServiceBody(const Market& market, const std::string& target);
