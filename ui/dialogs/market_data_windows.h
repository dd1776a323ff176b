#pragma once
#include <QDate>
#include <QString>
#include <optional>

class QWidget;

// How the position dialogs reach the market-data windows: the symbol finder and the historical price
// finder. Until those windows are installed, the default answers that the feature is not there yet.
class IMarketDataWindows {
 public:
  virtual ~IMarketDataWindows() = default;
  // Lets the user pick a symbol; nothing when the finder was cancelled.
  virtual std::optional<QString> FindSymbol(QWidget* parent, const QString& symbol);
  // Lets the user pick the per-share price of `symbol` around `date`, in cents; nothing when cancelled.
  virtual std::optional<int64_t> FindPrice(QWidget* parent, const QString& symbol, const QDate& date);
};

// The windows in use; the default one until another is installed. The installer keeps ownership and
// installs null (the default) before it goes away.
IMarketDataWindows& MarketDataWindows();
void SetMarketDataWindows(IMarketDataWindows* windows);
