#pragma once
#include <cstdint>

#include "cli/command_table.h"

class DbSession;

// Readies the conversion of a portfolio's figures into its base currency for a command that prints them:
// --base-currency CODE converts a portfolio for this look only (nothing is stored); then, when the portfolio
// has a base currency, the rates its positions need are fetched from the market-data service (started if
// need be). A pair that could not be fetched is a warning; the figures it would convert say which rate is
// missing. kExitOk, or the exit code of a refused --base-currency.
int PrepareBaseConversion(const CliArgs& args, CliIo& io, const char* command, DbSession& session,
                          uint32_t portfolioId);
