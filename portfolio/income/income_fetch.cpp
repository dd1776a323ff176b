#include "portfolio/income/income_fetch.h"

#include <algorithm>
#include <map>
#include <set>

#include "framework/text_util.h"
#include "portfolio/corporate_actions/service_events.h"
#include "portfolio/income/income_entitlement.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// Millionths of a unit per share times shares (units of 1e-8) in cents, half away from zero: / 1e12.
int64_t GrossCents(int64_t amountMicros, Quantity shares) {
  const Int128 product = static_cast<Int128>(amountMicros) * shares.Units();
  return static_cast<int64_t>(DivideRounded(product, static_cast<Int128>(1000000000000LL)));
}

}  // namespace

bool ServiceDividendSource::GetDividends(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                                         std::vector<KnownDividend>& dividends, std::string& error,
                                         FetchFailure& failure) {
  dividends.clear();
  std::vector<CorporateEvent> events;
  if (!FetchServiceEvents(symbol, firstDay, lastDay, events, error, failure)) return false;
  for (const CorporateEvent& e : events) {
    if (e.kind != CorporateEvent::Kind::Dividend || e.amountMicros <= 0) continue;
    dividends.push_back({e.date.Number(), e.hasPayDate ? e.payDate.Number() : 0, e.amountMicros, e.currency});
  }
  return true;
}

Quantity SharesOnExDate(const VLStockHoldingItem& stock, int64_t exDay,
                        const std::vector<VLCorporateActionItem>& actions) {
  Int128 numerator = 1, denominator = 1;
  const int64_t saleDay = stock.IsSold() ? DayNumberOrZero(stock.saleDate) : 0;
  for (const VLCorporateActionItem& action : actions) {
    if (action.kind != CorporateActionKind::Split || !EqualNoCase(action.name, stock.name)) continue;
    const int64_t splitDay = DayNumberOfStoredDate(action.exDate);
    if (splitDay <= exDay || (saleDay != 0 && saleDay < splitDay)) continue;
    numerator *= action.oldShares;
    denominator *= action.newShares;
  }
  if (numerator == denominator) return stock.qty;
  return Quantity::FromUnits(static_cast<int64_t>(DivideRounded(stock.qty.Units() * numerator, denominator)));
}

IncomeFetch ProposeIncome(const VLHoldingItemList& positions, uint32_t portfolioId,
                          const std::vector<VLCorporateActionItem>& actions,
                          const std::vector<VLIncomeItem>& incomes, IDividendSource& source, int64_t fromDay,
                          int64_t today) {
  IncomeFetch fetch;
  // The portfolio's stock positions by symbol, and the first purchase of each (0: one has no known day).
  std::map<std::string, std::vector<const VLStockHoldingItem*>> bySymbol;
  std::map<std::string, int64_t> firstPurchase;
  for (const auto& item : positions) {
    const VLStockHoldingItem* stock = AsStock(static_cast<const VLHoldingItem*>(item.get()));
    if (!stock || stock->ownerPortfolioId != portfolioId || stock->name.empty()) continue;
    const std::string symbol = AsciiUpper(stock->name);
    bySymbol[symbol].push_back(stock);
    const int64_t bought = DayNumberOrZero(stock->purchaseDate);
    const auto [it, added] = firstPurchase.try_emplace(symbol, bought);
    if (!added) it->second = (bought == 0 || it->second == 0) ? 0 : std::min(it->second, bought);
  }
  std::set<std::pair<std::string, int64_t>> recorded;  // symbol, pay day of the portfolio's dividends
  for (const VLIncomeItem& income : incomes) {
    if (income.portfolioId == portfolioId && income.kind == IncomeKind::Dividend)
      recorded.emplace(AsciiUpper(income.name), DayNumberOfStoredDate(income.payDate));
  }
  for (const auto& [symbol, stocks] : bySymbol) {
    const int64_t first =
        std::max(fromDay, firstPurchase[symbol] == 0 ? DayNumberOf(kEarliestDate) : firstPurchase[symbol]);
    if (first > today) continue;
    ++fetch.asked;
    std::vector<KnownDividend> dividends;
    std::string error;
    FetchFailure failure;
    if (!source.GetDividends(symbol, first, today, dividends, error, failure)) {
      if (fetch.unasked.empty()) fetch.failure = failure;
      fetch.unasked.push_back(symbol + ": " + error);
      continue;
    }
    for (const KnownDividend& d : dividends) {
      const int64_t payDay = d.payDay != 0 ? d.payDay : d.exDay;
      if (d.exDay < first || payDay > today || payDay < d.exDay) continue;
      Quantity shares;
      for (const VLStockHoldingItem* stock : stocks) {
        if (IsEntitled(*stock, d.exDay)) shares = shares + SharesOnExDate(*stock, d.exDay, actions);
      }
      if (shares.IsZero()) continue;
      IncomeProposal p;
      p.amountMicros = d.amountMicros;
      p.income.portfolioId = portfolioId;
      p.income.name = symbol;
      p.income.kind = IncomeKind::Dividend;
      p.income.exDate = StoredDateOf(DateOfDayNumber(d.exDay));
      p.income.payDate = StoredDateOf(DateOfDayNumber(payDay));
      p.income.shares = shares;
      p.income.gross = GrossCents(d.amountMicros, shares);
      p.income.currency = d.currency;
      p.recorded = recorded.count({symbol, payDay}) != 0;
      // A payment too small to reach a cent, or beyond what a record holds, is no record.
      if (p.income.gross == 0 || !p.income.FitsRecord()) continue;
      fetch.proposals.push_back(std::move(p));
    }
  }
  std::stable_sort(fetch.proposals.begin(), fetch.proposals.end(), [](const auto& a, const auto& b) {
    return DayNumberOfStoredDate(a.income.payDate) < DayNumberOfStoredDate(b.income.payDate);
  });
  return fetch;
}
