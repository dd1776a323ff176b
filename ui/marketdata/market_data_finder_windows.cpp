#include "ui/marketdata/market_data_finder_windows.h"

#include "ui/marketdata/c_dlg_historical_price_finder.h"
#include "ui/marketdata/c_dlg_symbol_finder.h"
#include "ui/widgets/dialog_runner.h"

namespace {

// More digits than any price needs, and few enough that the cents fit.
constexpr int kMaxWholeDigits = 12;

}  // namespace

std::optional<QString> MarketDataFinderWindows::FindSymbol(QWidget* parent, const QString& symbol) {
  CDlgSymbolFinder finder(parent);
  finder.SetInitialText(symbol.trimmed());
  if (RunDialog(finder) != QDialog::Accepted || finder.ChosenSymbol().isEmpty()) return std::nullopt;
  return finder.ChosenSymbol();
}

std::optional<int64_t> MarketDataFinderWindows::FindPrice(QWidget* parent, const QString& symbol,
                                                          const QDate& date) {
  CDlgHistoricalPriceFinder finder(parent);
  finder.SetInitialSymbol(symbol.trimmed());
  finder.SetInitialDate(date);
  if (RunDialog(finder) != QDialog::Accepted) return std::nullopt;
  return PriceTextToCents(finder.ChosenPrice());
}

std::optional<int64_t> MarketDataFinderWindows::PriceTextToCents(const QString& text) {
  const QString trimmed = text.trimmed();
  const qsizetype point = trimmed.indexOf(u'.');
  const QString whole = point < 0 ? trimmed : trimmed.left(point);
  const QString fraction = point < 0 ? QString() : trimmed.mid(point + 1);
  auto digits = [](const QString& s) {
    for (QChar c : s) {
      if (c < u'0' || c > u'9') return false;
    }
    return true;
  };
  if (whole.isEmpty() || whole.size() > kMaxWholeDigits || !digits(whole) || !digits(fraction))
    return std::nullopt;
  int64_t cents = whole.toLongLong() * 100;
  if (!fraction.isEmpty()) cents += fraction.at(0).digitValue() * 10;
  if (fraction.size() > 1) cents += fraction.at(1).digitValue();
  if (fraction.size() > 2 && fraction.at(2).digitValue() >= 5) cents += 1;
  return cents;
}
