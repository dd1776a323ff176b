#include "portfolio/columns/stock_columns.h"

#include <array>
#include <cmath>

#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/clock.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/columns/position_currency.h"
#include "portfolio/records/manual_quote.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {
using H = VLStockHoldingItem;
using TextRule = std::string (*)(const H&);

bool HasTrade(const H& h) {
  return !h.GetTradeText().empty();
}
std::string LocaleZero() {
  return LocaleNumber("0");
}
std::string Money(double v) {
  return LocaleNumber(FixedText(v));
}
std::string Percent(double v) {
  return FixedText(v) + "%";
}
std::string Value(const H& h, int column) {
  return FixedText(StockColumnValue(h, column));
}

// The last trade in the locale's form with two decimals; a price set by hand with every decimal it has.
std::string TradeText(const H& h) {
  if (!HasTrade(h)) return "";
  if (h.quote->exchange != kManualPriceExchange) return LocaleNumber(h.GetTradeText());
  const DecimalTextRead read = ReadDecimalText(h.GetTradeText(), UnitPrice::kPlaces);
  return read.status == DecimalTextStatus::Ok ? LocalePrice(UnitPrice::FromUnits(read.units))
                                              : LocaleNumber(h.GetTradeText());
}

// "N/A" stays; otherwise the locale number, and a zero price is no price.
std::string PriceOrNa(const std::string& text) {
  if (text == "N/A") return text;
  std::string out = LocaleNumber(text);
  return out == LocaleZero() ? "" : out;
}

// "N/A" (the service has no figure) becomes an empty cell; otherwise the locale number.
std::string NumberOrEmpty(const std::string& text) {
  return text == "N/A" ? "" : LocaleNumber(text);
}

std::string Size(const std::string& text) {
  std::string out = NumberOrEmpty(text);
  const std::string noDecimals = GetNumberFormat().decimalPoint + "00";
  if (out.size() >= noDecimals.size() &&
      out.compare(out.size() - noDecimals.size(), noDecimals.size(), noDecimals) == 0)
    out.resize(out.size() - noDecimals.size());
  return out == "0" ? "" : out;
}

std::string ChangeText(const H& h) {
  if (!HasTrade(h)) return "";
  const StockInfo& q = *h.quote;
  const bool realtime = !q.changeRealtime.empty();
  const std::string text = (realtime ? q.changeRealtime : q.change) + "  (" +
                           (realtime ? q.percentChangeRealtime : q.percentChange) + ")";
  return text == "  ()" ? "" : text;
}

// The Gain column shows a figure: a trade, shares and a buy price.
bool GainShown(const H& h) {
  return HasTrade(h) && h.qty.Units() > 0 && h.buyPricePerShare.Units() > 0;
}

std::string MarketCapText(const H& h) {
  const StockInfo& q = *h.quote;
  std::string text =
      (q.marketCapRealtime == "N/A" || q.marketCapRealtime == "0") ? q.marketCap : q.marketCapRealtime;
  for (const char* letter : {"K", "M", "B"}) text = ReplaceAll(text, letter, std::string(" ") + letter);
  return text;
}

std::string Range52Text(const H& h) {
  const StockInfo& q = *h.quote;
  auto missing = [](const std::string& s) { return s.empty() || s == "N/A"; };
  if (missing(q.low52Week) || missing(q.high52Week) || (q.low52Week == "0.00" && q.high52Week == "0.00"))
    return "N/A";
  return LocaleNumber(q.low52Week) + " - " + LocaleNumber(q.high52Week);
}

std::string DayRangeText(const H& h) {
  const StockInfo& q = *h.quote;
  const std::string text =
      q.dayRangeRealtime.find("N/A") != std::string::npos ? q.dayRange : q.dayRangeRealtime;
  return (text == "N/A - N/A" || text == "0.00 - 0.00") ? "N/A" : text;
}

std::string TargetText(UnitPrice target) {
  return target.IsZero() ? "" : LocalePrice(target);
}

std::string TargetDistanceText(const H& h, UnitPrice target) {
  if (target.IsZero() || !HasTrade(h)) return "";
  return SignedPriceDistanceText(TradeDistance(h, target, TradeCents(h)));
}

// Distance of the trade from a target, absolute and as a percentage of the target.
std::string TargetPercentText(const H& h, UnitPrice target) {
  if (target.IsZero() || h.GetLastTradeCents() <= 0) return "";
  const PriceDistance d = TradeDistance(h, target, h.GetLastTradeCents());
  std::string pct = Percent(TargetPercentValue(d, target));
  if (d.units > 0) pct.insert(pct.begin(), '+');
  if (d.units < 0 && pct[0] != '-') pct.insert(pct.begin(), '-');
  return SignedPriceDistanceText(d) + "  (" + pct + ")";
}

std::string AmountText(const H& h, uint32_t amount) {
  return (h.qty.Units() > 0 && amount > 0) ? LocaleNumber(CentsText(amount)) : "";
}

// A figure in the portfolio's base currency: empty without one, "N/A" when a rate is missing (the summary
// names the pair and the day).
std::string BaseText(const H& h, int64_t cents) {
  if (!h.base.known) return h.base.error.empty() ? "" : "N/A";
  return LocaleNumber(CentsDifferenceText(cents));
}

std::string AlertText(const H& h) {
  if (HasStopLossAlert(h)) return "Stop loss";
  if (HasSellAlert(h)) return "Sell target";
  if (HasBuyAlert(h)) return "Buy target";
  return "";
}

std::string AvgVolumePercentText(const H& h) {
  if (ReadLeadingNumber(h.quote->volume) <= 0 || ReadLeadingNumber(h.quote->averageVolume) <= 0) return "";
  const double v = StockColumnValue(h, kColPctAvgVol);
  const std::string text = Percent(v);
  return (v > 0 && text != "0.00%") ? "+" + text : text;
}

std::string PostSalePriceChangeText(const H& h) {
  if (!h.IsSold()) return "";
  const double v = StockColumnValue(h, kColPostSalePriceChg);
  return (v > 0 ? "+" : "") + FixedText(v);
}

// One rule per column id, in id order.
const std::array<TextRule, kColumnCount> kTextRules{{
    [](const H& h) { return h.quote->symbol; },
    [](const H& h) { return h.quote->name; },
    [](const H& h) {
      const std::string& rt = h.quote->lastTradeTimeRealtime;
      return (rt.empty() || rt == "N/A") ? h.quote->lastTradeTime : rt;
    },
    &TradeText,
    &ChangeText,
    [](const H& h) { return h.quote->peRatio; },
    [](const H& h) { return h.quote->priceSales; },
    [](const H& h) { return h.quote->pegRatio; },
    [](const H& h) { return h.qty.Units() > 0 ? LocaleQuantity(h.qty) : ""; },
    [](const H& h) {
      return (h.qty.Units() > 0 && !h.IsSold() && HasTrade(h)) ? Money(h.GetCurrentValue().GetValue()) : "";
    },
    [](const H& h) {
      return (HasTrade(h) && h.qty.Units() > 0) ? LocaleNumber(CentsDifferenceText(h.GetValueChange())) : "";
    },
    [](const H& h) { return h.purchaseDate ? DateText(h.purchaseDate) : ""; },
    [](const H& h) { return h.qty.Units() > 0 ? LocalePrice(h.buyPricePerShare) : ""; },
    [](const H& h) {
      if (!HasTrade(h) || h.buyPricePerShare.IsZero()) return std::string();
      return LocalePriceDistance(TradeDistance(h, h.buyPricePerShare, TradeCents(h)));
    },
    [](const H& h) {
      return (h.qty.Units() > 0 && h.buyPricePerShare.Units() > 0) ? Money(h.GetTotalPaid().GetValue()) : "";
    },
    [](const H& h) {
      const bool ok = HasTrade(h) && h.qty.Units() > 0 && h.buyPricePerShare.Units() > 0;
      return ok ? Money(StockColumnValue(h, kColGain)) : "";
    },
    [](const H& h) {
      const double paid = h.GetTotalPaid().GetValue();
      if (!HasTrade(h) || h.qty.IsZero() || h.buyPricePerShare.IsZero() || paid == 0) return std::string();
      return Percent(StockColumnValue(h, kColGain) * 100.0 / paid);
    },
    [](const H& h) { return TargetText(h.perShareBuyTarget); },
    [](const H& h) { return TargetDistanceText(h, h.perShareBuyTarget); },
    &MarketCapText,
    [](const H& h) { return h.quote->dividendPerShare; },
    [](const H& h) { return h.quote->dividendYield; },
    [](const H& h) { return h.quote->dividendPayDate; },
    [](const H& h) { return CutDecimals(LocaleNumber(h.quote->averageVolume)); },
    &Range52Text,
    [](const H& h) { return NumberOrEmpty(h.quote->targetPrice1Year); },
    [](const H& h) {
      return h.quote->volume == "N/A" ? h.quote->volume : CutDecimals(LocaleNumber(h.quote->volume));
    },
    [](const H& h) { return PriceOrNa(h.quote->open); },
    [](const H& h) { return PriceOrNa(h.quote->bid); },
    [](const H& h) { return PriceOrNa(h.quote->ask); },
    &DayRangeText,
    [](const H& h) { return h.purchaseDate ? DurationText(HeldSeconds(h)) : ""; },
    [](const H& h) { return h.comment; },
    [](const H& h) { return h.quote->symbol.find('^') == std::string::npos ? h.quote->floatShares : ""; },
    [](const H& h) { return h.quote->exchange != "N/A" ? h.quote->exchange : ""; },
    [](const H& h) {
      const bool ok = h.GetTotalPaid().GetValue() > 0 && EndValue(h).GetValue() > 0 && h.purchaseDate;
      return ok ? Percent(StockColumnValue(h, kColCagr)) : "";
    },
    [](const H& h) {
      const bool ok = IsNumericCellText(StockColumnText(h, kColTrade)) &&
                      IsNumericCellText(StockColumnText(h, kColEst1Yr));
      return ok ? Percent(StockColumnValue(h, kColEstGain1Yr)) : "";
    },
    [](const H& h) { return TargetText(h.perShareSellTarget); },
    [](const H& h) { return TargetDistanceText(h, h.perShareSellTarget); },
    [](const H& h) { return TargetText(h.perShareStopLossTarget); },
    [](const H& h) { return TargetDistanceText(h, h.perShareStopLossTarget); },
    &AlertText,
    [](const H& h) { return h.quote->peEstimateThisYear; },
    [](const H& h) { return h.quote->peEstimateNextYear; },
    [](const H& h) { return h.quote->epsEstimateNextQuarter; },
    [](const H& h) { return h.quote->epsEstimateThisYear; },
    [](const H& h) { return h.quote->epsEstimateNextYear; },
    [](const H& h) { return PriceOrNa(h.quote->previousClose); },
    [](const H& h) { return h.quote->movingAverage50; },
    [](const H& h) { return h.quote->change50; },
    [](const H& h) { return h.quote->percentChange50; },
    [](const H& h) { return h.quote->movingAverage200; },
    [](const H& h) { return h.quote->change200; },
    [](const H& h) { return h.quote->percentChange200; },
    [](const H& h) { return PriceOrNa(h.quote->low52Week); },
    [](const H& h) { return PriceOrNa(h.quote->high52Week); },
    [](const H&) { return std::string("?"); },
    [](const H&) { return std::string("?"); },
    &AvgVolumePercentText,
    [](const H& h) { return TargetPercentText(h, h.perShareSellTarget); },
    [](const H& h) { return TargetPercentText(h, h.perShareBuyTarget); },
    [](const H& h) { return h.purchaseDate ? Value(h, kColHeldYears) : ""; },
    [](const H& h) { return Size(h.quote->bidSize); },
    [](const H& h) { return Size(h.quote->askSize); },
    [](const H& h) {
      const std::string out = NumberOrEmpty(h.quote->shortRatio);
      return out == LocaleZero() ? "" : out;
    },
    [](const H& h) { return h.saleDate ? DateText(h.saleDate) : ""; },
    [](const H& h) {
      return (h.qty.Units() > 0 && h.salePricePerShare.Units() > 0) ? LocalePrice(h.salePricePerShare) : "";
    },
    [](const H& h) { return AmountText(h, h.saleCommission); },
    [](const H& h) { return AmountText(h, h.buyCommission); },
    [](const H& h) {
      return h.saleDate ? DurationText(DaysBetweenInSeconds(h.saleDate, TodayDayNumber())) : "";
    },
    [](const H& h) { return h.saleDate ? Value(h, kColSaleAgeYears) : ""; },
    &PostSalePriceChangeText,
    [](const H& h) { return h.IsSold() ? Money(StockColumnValue(h, kColPostSaleGain)) : ""; },
    [](const H& h) {
      const double v = StockColumnValue(h, kColSaleValue);
      return (h.IsSold() && v > 0) ? Money(v) : "";
    },
    [](const H& h) { return PositionCurrency(h); },
    [](const H& h) { return h.income.net != 0 ? LocaleNumber(CentsDifferenceText(h.income.net)) : ""; },
    [](const H& h) { return GainShown(h) ? LocaleNumber(CentsDifferenceText(TotalReturnCents(h))) : ""; },
    [](const H& h) {
      const int64_t paid = h.GetTotalPaid().ToCents();
      return GainShown(h) && paid != 0 ? Percent(StockColumnValue(h, kColPctTotalReturn)) : "";
    },
    [](const H& h) {
      const int64_t paid = h.GetTotalPaid().ToCents();
      return h.income.netLastYear != 0 && paid > 0 ? Percent(StockColumnValue(h, kColYieldOnCost)) : "";
    },
    [](const H& h) {
      return (h.qty.Units() > 0 && h.buyPricePerShare.Units() > 0)
                 ? LocaleNumber(CentsText(CostBasisCents(h)))
                 : "";
    },
    [](const H& h) { return BaseText(h, h.base.value); },
    [](const H& h) { return BaseText(h, h.base.totalPaid); },
    [](const H& h) { return BaseText(h, h.base.gain); },
    [](const H& h) { return BaseText(h, h.base.priceGain); },
    [](const H& h) { return BaseText(h, h.base.fxGain); },
}};
}  // namespace

std::string StockColumnText(const VLStockHoldingItem& h, int column) {
  if (!IsValidColumn(column)) return "";
  // A symbol the quote service does not know shows only itself.
  if (!h.HasKnownSymbol() && column != kColSymbol) return column == kColName ? "No such symbol" : "";
  std::string text = kTextRules[static_cast<size_t>(column)](h);
  // Rounding leaves "-0.00" behind; zero has no sign.
  if (text.compare(0, 5, "-0.00") == 0) text = ReplaceAll(std::move(text), "-0.00", "0.00");
  return text;
}
