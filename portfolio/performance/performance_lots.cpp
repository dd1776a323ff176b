#include "portfolio/performance/performance_lots.h"

#include <algorithm>
#include <map>
#include <set>

#include "framework/text_util.h"
#include "portfolio/columns/position_currency.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// Exchange suffixes of the symbols the quote service uses, and the currency each exchange quotes in, named
// as ExchangeCurrency names it: London quotes in pence ("GBp").
const std::map<std::string, std::string>& SuffixCurrencies() {
  static const std::map<std::string, std::string> table = {
      {"AS", "EUR"},  {"AX", "AUD"},  {"BA", "ARS"}, {"BO", "INR"}, {"BR", "EUR"},  {"CBT", "USD"},
      {"CME", "USD"}, {"CMX", "USD"}, {"CO", "DKK"}, {"DE", "EUR"}, {"F", "EUR"},   {"HE", "EUR"},
      {"HK", "HKD"},  {"IR", "EUR"},  {"KQ", "KRW"}, {"KS", "KRW"}, {"L", "GBp"},   {"LS", "EUR"},
      {"MC", "EUR"},  {"MI", "EUR"},  {"MX", "MXN"}, {"NS", "INR"}, {"NYM", "USD"}, {"NZ", "NZD"},
      {"OL", "NOK"},  {"PA", "EUR"},  {"SA", "BRL"}, {"SI", "SGD"}, {"SS", "CNY"},  {"ST", "SEK"},
      {"SW", "CHF"},  {"SZ", "CNY"},  {"T", "JPY"},  {"TO", "CAD"}, {"TW", "TWD"},  {"V", "CAD"},
      {"VI", "EUR"},
  };
  return table;
}

}  // namespace

std::string CurrencyOfSymbol(const std::string& symbol) {
  if (symbol.empty() || symbol[0] == '^') return {};
  const size_t dot = symbol.rfind('.');
  if (dot == std::string::npos) return "USD";
  const std::string suffix = AsciiUpper(std::string_view(symbol).substr(dot + 1));
  const auto it = SuffixCurrencies().find(suffix);
  return it == SuffixCurrencies().end() ? std::string() : it->second;
}

void CollectLots(const VLHoldingItemList& positions, PerformanceLots* lots) {
  PerformanceLots& out = *lots;
  for (int i = 0; i < positions.GetCount(); ++i) {
    const auto* holding = static_cast<const VLHoldingItem*>(positions.GetAt(i));
    if (holding->GetKind() != kHoldingStock) {
      ++out.cashAndMargin;
      continue;
    }
    const auto* stock = static_cast<const VLStockHoldingItem*>(holding);
    PerformanceLot lot;
    lot.positionId = stock->id;
    lot.symbol = stock->name;
    lot.qty = stock->qty;
    lot.buyPrice = stock->buyPricePerShare;
    // What a split left of what was paid counts with the commission: both are paid beyond the shares' price.
    lot.buyCommissionCents = static_cast<int64_t>(stock->buyCommission) + stock->paidRemainder;
    lot.sold = stock->IsSold();
    lot.salePrice = stock->salePricePerShare;
    lot.saleCommissionCents = stock->saleCommission;
    if (stock->purchaseDate == 0 || (lot.sold && stock->saleDate == 0)) {
      ++out.skipped;
      continue;
    }
    lot.purchaseDay = DayNumberOfStoredDate(stock->purchaseDate);
    if (lot.sold) lot.saleDay = DayNumberOfStoredDate(stock->saleDate);
    if (lot.sold && lot.saleDay < lot.purchaseDay) {
      ++out.skipped;
      continue;
    }
    // The position's own currency or its exchange's, as the Currency column shows it; else the symbol's
    // suffix (a quote not fetched yet names no exchange).
    lot.currency = PositionCurrency(*stock);
    lot.rateCurrency = stock->rateCurrency;
    lot.buyRate = stock->buyRate;
    lot.saleRate = stock->saleRate;
    if (lot.currency.empty()) lot.currency = CurrencyOfSymbol(lot.symbol);
    const std::string& currency = lot.currency;
    if (!currency.empty() &&
        std::find(out.currencies.begin(), out.currencies.end(), currency) == out.currencies.end()) {
      out.currencies.push_back(currency);
    }
    out.lots.push_back(std::move(lot));
  }
  std::sort(out.currencies.begin(), out.currencies.end());
}

std::vector<std::string> SymbolsOf(const std::vector<PerformanceLot>& lots) {
  std::vector<std::string> symbols;
  for (const PerformanceLot& lot : lots) symbols.push_back(lot.symbol);
  std::sort(symbols.begin(), symbols.end());
  symbols.erase(std::unique(symbols.begin(), symbols.end()), symbols.end());
  return symbols;
}

void AddManualCloses(const std::vector<VLManualPriceItem>& prices, PerformanceLots* lots) {
  std::set<std::string> symbols;
  for (const PerformanceLot& lot : lots->lots) symbols.insert(AsciiUpper(lot.symbol));
  for (const VLManualPriceItem& price : prices) {
    if (!symbols.count(price.name)) continue;  // a price's symbol is kept in upper case
    lots->manualCloses[price.name].emplace_back(DayNumberOfStoredDate(price.date), price.price);
  }
}

Quantity PerformanceLot::QtyOn(int64_t day) const {
  Int128 numerator = 1;
  Int128 denominator = 1;
  for (const Split& split : splits) {
    if (split.day <= day) continue;
    numerator *= split.oldShares;
    denominator *= split.newShares;
  }
  if (numerator == denominator) return qty;
  return Quantity::FromUnits(static_cast<int64_t>(DivideRounded(qty.Units() * numerator, denominator)));
}

void AddCorporateActions(const std::vector<VLCorporateActionItem>& actions, PerformanceLots* lots) {
  std::map<std::string, std::vector<PerformanceLot::Split>> bySymbol;
  for (const VLCorporateActionItem& action : actions) {
    if (action.kind == CorporateActionKind::SymbolChange) {
      lots->formerSymbols[AsciiUpper(action.newSymbol)].push_back(
          {AsciiUpper(action.name), DayNumberOfStoredDate(action.exDate) - 1});
      continue;
    }
    bySymbol[AsciiUpper(action.name)].push_back(
        {DayNumberOfStoredDate(action.exDate), action.newShares, action.oldShares});
  }
  if (bySymbol.empty()) return;
  for (auto& [symbol, splits] : bySymbol) {
    std::sort(splits.begin(), splits.end(), [](const auto& a, const auto& b) { return a.day < b.day; });
  }
  for (PerformanceLot& lot : lots->lots) {
    const auto found = bySymbol.find(AsciiUpper(lot.symbol));
    if (found == bySymbol.end()) continue;
    for (const PerformanceLot::Split& split : found->second) {
      if (lot.HeldAcross(split.day)) lot.splits.push_back(split);
    }
  }
}

void AddIncome(const std::vector<VLIncomeItem>& incomes, PerformanceLots* lots) {
  for (const VLIncomeItem& income : incomes) {
    if (income.payDate == 0) continue;
    std::string currency = income.currency;
    for (size_t i = 0; currency.empty() && i < lots->lots.size(); ++i) {
      if (EqualNoCase(lots->lots[i].symbol, income.name)) currency = lots->lots[i].currency;
    }
    lots->incomes.push_back({DayNumberOfStoredDate(income.payDate), income.gross, income.withholding,
                             income.fees, income.reinvestPositionId, std::move(currency)});
  }
  std::stable_sort(
      lots->incomes.begin(), lots->incomes.end(),
      [](const PerformanceIncome& a, const PerformanceIncome& b) { return a.payDay < b.payDay; });
}
