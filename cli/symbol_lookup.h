#pragma once
#include <string>

// Whether the market-data service (the hosts in force, see marketdata/service_hosts.h) knows a symbol, asked
// with one quote request.
enum class SymbolAnswer { Known, Unknown, NoAnswer };

// NoAnswer, with the reason in `why`, when the request failed: the service did not answer or sent no quote.
SymbolAnswer AskServiceForSymbol(const std::string& symbol, std::string* why);
