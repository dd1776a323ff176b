#pragma once
#include <vector>

#include "cli/command_table.h"

// quote, history, lookup, market-time, chart-url, chart and news: the market-data providers from the
// command line. Declared with the other groups in cli/command_table.h as MarketCommands().
