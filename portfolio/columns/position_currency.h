#pragma once
#include <string>

class VLStockHoldingItem;

// The currency a stock position's prices are in: its own when it has one, else the currency of the exchange
// its quote names (ExchangeCurrency); empty when neither is known. What the Currency column shows and what
// the totals and the performance figures count as the position's currency.
std::string PositionCurrency(const VLStockHoldingItem& position);
