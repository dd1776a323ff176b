#include "portfolio/fx/position_base.h"

#include "portfolio/columns/position_currency.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/currency_units.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// The rate of one of the position's days: the one the position stores for `base` when it has one, else the
// book's of that day. A position without the day (no purchase date stored) has no reference rate.
bool RateFor(const VLStockHoldingItem& position, const FxRate& stored, const std::string& base,
             const std::string& quote, int64_t day, const FxRateBook& book, FxRateUsed& used,
             bool& storedUsed, std::string& error) {
  if (base != quote && stored.IsValid() && position.rateCurrency == base) {
    used = {stored, day};
    storedUsed = true;
    return true;
  }
  if (day <= 0 && base != quote) {
    error = position.name + " has no purchase date to take the " + FxPairName(base, quote) + " rate of";
    return false;
  }
  return book.RateOn(base, quote, day, used, error);
}

}  // namespace

BaseFigures ComputeBaseFigures(const VLStockHoldingItem& position, const std::string& base,
                               const FxRateBook& book, int64_t today) {
  BaseFigures figures;
  if (base.empty() || !position.HasKnownSymbol()) return figures;
  const std::string currency = PositionCurrency(position);
  const std::string quote = MajorCurrency(currency);
  const int divisor = CurrencyDivisor(currency);
  if (quote.empty() || divisor <= 0) {
    figures.error = "the currency of " + position.name + " is not known";
    return figures;
  }
  const int64_t purchaseDay = DayNumberOrZero(position.purchaseDate);
  const bool sold = position.IsSold();
  const int64_t valueDay = sold ? DayNumberOrZero(position.saleDate) : today;
  FxRateUsed buy;
  FxRateUsed valued;
  if (!RateFor(position, position.buyRate, base, quote, purchaseDay, book, buy, figures.storedRateUsed,
               figures.error) ||
      !RateFor(position, sold ? position.saleRate : FxRate(), base, quote, valueDay > 0 ? valueDay : today,
               book, valued, figures.storedRateUsed, figures.error)) {
    return figures;
  }
  const int64_t value = (sold ? position.GetSaleValue() : position.GetCurrentValue()).ToCents();
  const int64_t paid = position.GetTotalPaid().ToCents();
  if (!ConvertCents(value, divisor, valued.rate, figures.value) ||
      !ConvertCents(paid, divisor, buy.rate, figures.totalPaid) ||
      !ConvertCents(value - paid, divisor, buy.rate, figures.priceGain)) {
    figures.error = "the figures of " + position.name + " are too large to convert";
    return figures;
  }
  figures.gain = figures.value - figures.totalPaid;
  figures.fxGain = figures.gain - figures.priceGain;
  figures.valueRateDay = valued.day;
  figures.known = true;
  return figures;
}

bool PositionRateNeed(const VLStockHoldingItem& position, const std::string& base, int64_t today,
                      RateNeed& need) {
  const std::string quote = MajorCurrency(PositionCurrency(position));
  if (base.empty() || quote.empty() || quote == base) return false;
  const int64_t purchaseDay = DayNumberOrZero(position.purchaseDate);
  need.quote = quote;
  need.firstDay = purchaseDay > 0 && purchaseDay < today ? purchaseDay : today;
  return true;
}
