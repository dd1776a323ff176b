#include "ui/main/quote_line.h"

#include "marketdata/stock_info.h"
#include "portfolio/columns/number_format.h"
#include "ui/widgets/string_table.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// A pair of real-time texts, or the delayed pair when either real-time one is "N/A".
std::pair<QString, QString> Pair(const std::string& realtime1, const std::string& realtime2,
                                 const std::string& delayed1, const std::string& delayed2) {
  if (realtime1 == "N/A" || realtime2 == "N/A") return {Q(delayed1), Q(delayed2)};
  return {Q(realtime1), Q(realtime2)};
}

QString Volume(const std::string& volume) {
  if (volume == "N/A") return Q(volume);
  std::string text = FormatLocaleNumber(volume, GetNumberFormat());
  if (text.empty()) return Q(volume);                 // not a number: shown as the service sent it
  if (text.size() > 3) text.resize(text.size() - 3);  // drop the decimal point and the two decimals
  return Q(text);
}

}  // namespace

QString QuoteLineText(const QString& symbol, const StockInfo& quote, bool fetched) {
  if (!fetched) return LoadString(StringId::QuoteUnavailable);
  if (quote.exchange == "N/A") return FormatString(StringId::NoSuchSymbol, QStringList{symbol});
  const auto [last, time] =
      Pair(quote.lastTradeRealtime, quote.lastTradeTimeRealtime, quote.lastTrade, quote.lastTradeTime);
  const auto [change, percent] =
      Pair(quote.changeRealtime, quote.percentChangeRealtime, quote.change, quote.percentChange);
  QStringList arguments{symbol, Q(quote.name), last, time, change, percent};
  if (symbol.startsWith(QLatin1Char('^'))) return FormatString(StringId::IndexQuoteLine, arguments);
  arguments << Volume(quote.volume) << Q(quote.bid) << Q(quote.ask) << Q(quote.peRatio);
  return FormatString(StringId::QuoteLine, arguments);
}
