#pragma once
#include <string>

// The currency a security's prices are quoted in, from the exchange its quote names: an ISO 4217 code, or
// "GBp" for London, whose prices are in pence. The exchanges are those the bundled market-data service
// names (and the classic service's names for the U.S. markets); empty for an exchange not known here
// ("N/A" of an unknown symbol, a misspelt name).
std::string ExchangeCurrency(const std::string& exchange);
