// Sort values of a stock position's columns, and the alerts built on them.
#include <algorithm>
#include <cmath>

#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/clock.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/columns/stock_columns.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {
using H = VLStockHoldingItem;

constexpr int64_t kSecondsPerDay = 86400;

// The cell text made readable as a plain number: no "%", no digit grouping, "." as the decimal point.
std::string PlainNumberText(const std::string& text) {
  const NumberFormat& format = GetNumberFormat();
  std::string plain = RemoveChars(text, "%,");
  if (!format.thousandsSeparator.empty() && format.thousandsSeparator != ",")
    plain = ReplaceAll(std::move(plain), format.thousandsSeparator, "");
  if (format.decimalPoint != ".") plain = ReplaceAll(std::move(plain), format.decimalPoint, ".");
  return plain;
}

double DefaultValue(const H& h, int column) {
  return NumberOfCellText(StockColumnText(h, column));
}

double ChangeValue(const H& h) {
  if (StockColumnText(h, kColTrade).empty()) return -200.0;
  const StockInfo& q = *h.quote;
  const std::string pct =
      RemoveChars(q.percentChangeRealtime.empty() ? q.percentChange : q.percentChangeRealtime, "%+");
  return IsNumericText(pct) ? ReadLeadingNumber(pct) : -200.0;
}

double MarketCapValue(const H& h) {
  std::string text = RemoveChars(StockColumnText(h, kColMktCap), ",");
  static const struct {
    char letter;
    double factor;
  } kSizes[] = {{'K', 1e3}, {'M', 1e6}, {'B', 1e9}};
  double factor = 1.0;
  for (const auto& size : kSizes) {
    const size_t at = text.find(size.letter);
    if (at == std::string::npos) continue;
    text.erase(at, 1);
    factor = size.factor;
    break;
  }
  text = TrimBlanks(text);
  return IsNumericText(text) ? ReadLeadingNumber(text) * factor : 0.0;
}

}  // namespace

int64_t HeldSeconds(const VLStockHoldingItem& h) {
  if (!h.purchaseDate) return 0;
  const int64_t end = h.saleDate ? DayNumberOfStoredDate(h.saleDate) : TodayDayNumber();
  return DaysBetweenInSeconds(h.purchaseDate, end);
}

VLCurrency EndValue(const VLStockHoldingItem& h) {
  return h.IsSold() ? h.GetSaleValue() : h.GetCurrentValue();
}

namespace {

double GainValue(const H& h) {
  if (h.qty.IsZero() || h.buyPricePerShare.IsZero()) return 0.0;
  VLCurrency gain = h.IsSold() ? h.GetSaleValue() : h.GetCurrentValue();
  gain.SubtractMagnitude(h.GetTotalPaid());
  return gain.GetValue();
}

// The gain in cents, as GainValue has it.
int64_t GainCents(const H& h) {
  if (h.qty.IsZero() || h.buyPricePerShare.IsZero()) return 0;
  VLCurrency gain = h.IsSold() ? h.GetSaleValue() : h.GetCurrentValue();
  gain.SubtractMagnitude(h.GetTotalPaid());
  return gain.ToCents();
}

double HeldDays(const H& h) {
  const int64_t seconds = HeldSeconds(h);
  return seconds > 0 ? static_cast<double>(seconds / kSecondsPerDay) : 0.0;
}

double CagrValue(const H& h) {
  const double t = h.GetTotalPaid().GetValue();
  if (t == 0) return 0.0;
  const double v = EndValue(h).GetValue();
  double years = HeldDays(h) / 365.0;
  if (years < 1) years = 1;  // growth over less than a year is not annualised upwards
  return (std::pow(v / t, 1.0 / years) - 1.0) * 100.0;
}

double DistanceFrom(const H& h, int boundColumn) {
  const double p = StockColumnValue(h, kColTrade);
  const double bound = StockColumnValue(h, boundColumn);
  return (bound > 0 && p > 0) ? p - bound : 0.0;
}

double TargetPercent(const H& h, UnitPrice target) {
  const int64_t cents = h.GetLastTradeCents();
  if (target.IsZero() || cents <= 0) return 0.0;
  return TargetPercentValue(TradeDistance(h, target, cents), target);
}

bool SoldWithShares(const H& h) {
  return h.qty.Units() > 0 && h.IsSold();
}
}  // namespace

bool IsNumericCellText(const std::string& text) {
  return IsNumericText(PlainNumberText(text));
}

double NumberOfCellText(const std::string& text) {
  const std::string plain = PlainNumberText(text);
  return IsNumericText(plain) ? ReadLeadingNumber(plain) : 0.0;
}

int64_t TradeCents(const H& h) {
  return std::llround(ReadLeadingNumber(h.GetTradeText()) * 100.0);
}

PriceDistance TradeDistance(const H& h, UnitPrice stored, int64_t tradeCents) {
  if (IsWholeCents(stored)) return {tradeCents - CentsOfPrice(stored), 2};
  return {ReadLeadingDecimalUnits(h.GetTradeText(), UnitPrice::kPlaces) - stored.Units(), UnitPrice::kPlaces};
}

std::string PriceDistanceText(const PriceDistance& d) {
  if (d.places == 2) return CentsDifferenceText(d.units);
  return DecimalUnitsText(d.units, d.places, 2);
}

std::string SignedPriceDistanceText(const PriceDistance& d) {
  return (d.units > 0 ? "+" : "") + PriceDistanceText(d);
}

std::string LocalePriceDistance(const PriceDistance& d) {
  const std::string text = PriceDistanceText(d);
  const size_t point = text.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
  return LocaleNumberWithDecimals(text, decimals);
}

double TargetPercentValue(const PriceDistance& d, UnitPrice target) {
  if (target.IsZero()) return 0.0;
  if (d.places == 2) return static_cast<double>(d.units) * 100.0 / static_cast<double>(CentsOfPrice(target));
  return static_cast<double>(d.units) * 100.0 / static_cast<double>(target.Units());
}

double StockColumnValue(const VLStockHoldingItem& h, int column) {
  switch (column) {
    case kColSymbol:
    case kColName:
    case kColTime:
    case kColDivShr:
    case kColYield:
    case kColDivDate:
    case kColRange52Wk:
    case kColDayRange:
    case kColComment:
    case kColExchange:
    case kColAlert:
      return 0.0;
    case kColChange:
      return ChangeValue(h);
    case kColDateBought:
      return h.purchaseDate ? DateSortValue(h.purchaseDate) : 0.0;
    case kColDateSold:
      return h.saleDate ? DateSortValue(h.saleDate) : 0.0;
    case kColGain:
      return GainValue(h);
    case kColMktCap:
      return MarketCapValue(h);
    case kColHeld:
      return HeldDays(h);
    case kColCagr:
      return CagrValue(h);
    case kColEstGain1Yr: {
      const double p = StockColumnValue(h, kColTrade);
      const double e = StockColumnValue(h, kColEst1Yr);
      return (p > 0 && e > 0) ? (e - p) / p * 100.0 : 0.0;
    }
    case kColDistLow52Wk:
      return DistanceFrom(h, kColLow52Wk);
    case kColDistHigh52Wk:
      return DistanceFrom(h, kColHigh52Wk);
    case kColPctAvgVol: {
      const double v = StockColumnValue(h, kColVolume);
      const double a = StockColumnValue(h, kColAvgVolume);
      return (v > 0 && a > 0) ? 100.0 - 100.0 * v / a : 0.0;
    }
    case kColPctSellDist:
      return TargetPercent(h, h.perShareSellTarget);
    case kColPctBuyDist:
      return TargetPercent(h, h.perShareBuyTarget);
    case kColHeldYears:
      return HeldDays(h) / 365.0;
    case kColSaleAge:
      return h.saleDate
                 ? static_cast<double>(DaysBetweenInSeconds(h.saleDate, TodayDayNumber()) / kSecondsPerDay)
                 : 0.0;
    case kColSaleAgeYears:
      return StockColumnValue(h, kColSaleAge) / 365.0;
    case kColPostSalePriceChg:
      if (!SoldWithShares(h)) return 0.0;
      // In cents, as it always was: a whole-cent sale price sorts exactly as before.
      return (StockColumnValue(h, kColTrade) * 100.0 -
              static_cast<double>(h.salePricePerShare.Units()) / static_cast<double>(kPriceUnitsPerCent)) /
             100.0;
    case kColPostSaleGain: {
      if (!SoldWithShares(h)) return 0.0;
      VLCurrency gain = h.GetCurrentValue();
      gain.SubtractMagnitude(h.GetSaleValue());
      return gain.GetValue();
    }
    case kColSaleValue:
      return SoldWithShares(h) ? h.GetSaleValue().GetValue() : 0.0;
    case kColIncome:
      return static_cast<double>(h.income.net) / 100.0;
    case kColTotalReturn:
      return static_cast<double>(TotalReturnCents(h)) / 100.0;
    case kColPctTotalReturn: {
      const int64_t paid = h.GetTotalPaid().ToCents();
      return paid != 0 ? static_cast<double>(TotalReturnCents(h)) * 100.0 / static_cast<double>(paid) : 0.0;
    }
    case kColYieldOnCost: {
      const int64_t paid = h.GetTotalPaid().ToCents();
      return paid > 0 ? static_cast<double>(h.income.netLastYear) * 100.0 / static_cast<double>(paid) : 0.0;
    }
    case kColCostBasis:
      return static_cast<double>(CostBasisCents(h)) / 100.0;
    case kColValueBase:
      return static_cast<double>(h.base.value) / 100.0;
    case kColTotalPaidBase:
      return static_cast<double>(h.base.totalPaid) / 100.0;
    case kColGainBase:
      return static_cast<double>(h.base.gain) / 100.0;
    case kColPriceGainBase:
      return static_cast<double>(h.base.priceGain) / 100.0;
    case kColFxGainBase:
      return static_cast<double>(h.base.fxGain) / 100.0;
    default:
      return IsValidColumn(column) ? DefaultValue(h, column) : 0.0;
  }
}

bool HasBuyAlert(const VLStockHoldingItem& h) {
  return StockColumnValue(h, kColBuyTgt) > 0 && StockColumnValue(h, kColBuyDist) <= 0;
}

bool HasSellAlert(const VLStockHoldingItem& h) {
  return StockColumnValue(h, kColSellTgt) > 0 && StockColumnValue(h, kColSellDist) >= 0;
}

bool HasStopLossAlert(const VLStockHoldingItem& h) {
  return StockColumnValue(h, kColStopLossTgt) > 0 && StockColumnValue(h, kColStopLossDist) <= 0;
}

int64_t TotalReturnCents(const VLStockHoldingItem& h) {
  return GainCents(h) + h.income.net;
}

int64_t CostBasisCents(const VLStockHoldingItem& h) {
  return std::max<int64_t>(0, h.GetTotalPaid().ToCents() - h.income.returnOfCapital);
}
