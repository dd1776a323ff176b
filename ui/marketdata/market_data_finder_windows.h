#pragma once
#include "ui/dialogs/market_data_windows.h"

// The position dialogs' way to the symbol finder and the historical price finder. The application installs
// one for its whole run (SetMarketDataWindows).
class MarketDataFinderWindows : public IMarketDataWindows {
 public:
  std::optional<QString> FindSymbol(QWidget* parent, const QString& symbol) override;
  // The chosen day's price, as the finder shows it, in whole cents (rounded half up).
  std::optional<int64_t> FindPrice(QWidget* parent, const QString& symbol, const QDate& date) override;

  // "29.645" -> 2965; nothing for a text that is not a non-negative decimal number.
  static std::optional<int64_t> PriceTextToCents(const QString& text);
};
