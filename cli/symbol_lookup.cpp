#include "cli/symbol_lookup.h"

#include "marketdata/stock_info.h"
#include "marketdata/stock_info_provider.h"

SymbolAnswer AskServiceForSymbol(const std::string& symbol, std::string* why) {
  StockInfo info;
  info.symbol = symbol;
  StockInfoProvider provider;
  provider.Fetch({&info});
  if (provider.HasError()) {
    // The transfer's failure says more than the provider's general text, when there is one.
    *why = provider.GetFailure().IsSet() ? provider.GetFailure().Describe() : provider.GetErrorText();
    return SymbolAnswer::NoAnswer;
  }
  return info.IsKnownSymbol() ? SymbolAnswer::Known : SymbolAnswer::Unknown;
}
