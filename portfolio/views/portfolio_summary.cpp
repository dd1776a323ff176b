#include "portfolio/views/portfolio_summary.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "portfolio/columns/number_format.h"
#include "portfolio/columns/position_currency.h"
#include "portfolio/fx/position_base.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/currency_units.h"
#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_currency.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

std::string Printf(const char* format, double a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, a);
  return buf;
}

std::string MoneyText(double amount, const NumberFormat& format) {
  return FormatLocaleNumber(Printf("%04.02f", amount), format);
}

std::string WithPercent(const std::string& text, double percent) {
  return text + "  (" + Printf("%04.02f", percent) + "%)";
}

VLCurrency Minus(VLCurrency a, const VLCurrency& b) {
  a.SubtractMagnitude(b);
  return a;
}

// "-1,234.56": exact cents in the number format's grouping.
std::string CentsText(int64_t cents, const NumberFormat& format) {
  return FormatLocaleNumber(DecimalUnitsText(cents, 2, 2), format);
}

bool AddCents(int64_t* sum, int64_t value) {
  return !__builtin_add_overflow(*sum, value, sum);
}

// The income texts of `s`: the records' sums of this year and of all, and the gain plus the counted
// positions' net income. A sum beyond 64 bits is not given.
void AddIncomeTexts(const SummaryIncome& income, const std::vector<const VLHoldingItem*>& counted,
                    const VLCurrency& gain, const NumberFormat& format, VLPortfolioSummary& s) {
  int64_t thisYear = 0, all = 0, withheld = 0, positions = gain.ToCents();
  bool ok = true;
  for (const VLIncomeItem& record : income.records) {
    ok = ok && AddCents(&all, record.Net());
    if (DateOfDayNumber(DayNumberOfStoredDate(record.payDate)).year != income.year) continue;
    ok = ok && AddCents(&thisYear, record.Net()) && AddCents(&withheld, record.withholding);
  }
  for (const VLHoldingItem* holding : counted) {
    const auto found = income.positionShares.find(holding->id);
    if (found != income.positionShares.end()) ok = ok && AddCents(&positions, found->second.net);
  }
  if (!ok) return;
  s.incomeThisYear = CentsText(thisYear, format);
  s.incomeAll = CentsText(all, format);
  s.withholdingThisYear = CentsText(withheld, format);
  s.totalReturn = CentsText(positions, format);
}

// The base totals of the counted positions: every stock's BaseFigures summed, cash added as it is. The first
// position that cannot be converted stops them with its reason.
SummaryBaseTotals BaseTotalsOf(const SummaryBase& base, const std::vector<const VLHoldingItem*>& counted,
                               const NumberFormat& format) {
  SummaryBaseTotals totals;
  totals.currency = base.currency;
  int64_t value = 0, paid = 0, priceGain = 0, fxGain = 0, rateDay = 0;
  bool stored = false;
  bool ok = true;
  const FxRateBook none;
  for (const VLHoldingItem* holding : counted) {
    if (holding->GetKind() == kHoldingCash) {
      const int64_t amount = static_cast<const VLCashHoldingItem*>(holding)->amount;
      ok = ok && AddCents(&value, amount) && AddCents(&paid, amount);
      continue;
    }
    const VLStockHoldingItem* stock = AsStock(holding);
    if (!stock) continue;
    const BaseFigures figures =
        ComputeBaseFigures(*stock, base.currency, base.book ? *base.book : none, base.today);
    if (!figures.known) {
      if (figures.error.empty()) continue;  // a symbol without a quote adds nothing, as to every total
      totals.error = figures.error;
      return totals;
    }
    ok = ok && AddCents(&value, figures.value) && AddCents(&paid, figures.totalPaid) &&
         AddCents(&priceGain, figures.priceGain) && AddCents(&fxGain, figures.fxGain);
    if (MajorCurrency(PositionCurrency(*stock)) != base.currency)
      rateDay = std::max(rateDay, figures.valueRateDay);
    stored = stored || figures.storedRateUsed;
  }
  if (!ok) {
    totals.error = "the totals are too large to convert";
    return totals;
  }
  totals.value = CentsText(value, format);
  totals.totalPaid = CentsText(paid, format);
  totals.gain = CentsText(value - paid, format);
  totals.priceGain = CentsText(priceGain, format);
  totals.fxGain = CentsText(fxGain, format);
  if (rateDay > 0) totals.rates = "at reference rates of " + IsoDateText(DateOfDayNumber(rateDay));
  if (stored)
    totals.rates += totals.rates.empty() ? "at the positions' own rates" : " and the positions' own rates";
  return totals;
}

struct Totals {
  VLCurrency value, paid, proceeds, marginable, cash, owed;
  VLCurrency change;  // added as amounts, which saturate rather than overflow
  std::set<std::string> currencies;
};

bool Counts(const VLHoldingItem& holding, bool held, const std::vector<uint32_t>* ids) {
  if (ids && std::find(ids->begin(), ids->end(), holding.id) == ids->end()) return false;
  if (holding.GetKind() == kHoldingStock)
    return static_cast<const VLStockHoldingItem&>(holding).IsSold() != held;
  return held;  // cash and margin count only in the held view
}

void AddStock(const VLStockHoldingItem& stock, Totals& t) {
  // A symbol the quote service does not know adds nothing to the totals, so it names no currency either.
  if (std::string currency = PositionCurrency(stock); !currency.empty() && stock.HasKnownSymbol()) {
    t.currencies.insert(std::move(currency));
  }
  const VLCurrency value = stock.GetCurrentValue();
  t.value.Add(value);
  t.paid.Add(stock.GetTotalPaid());
  t.change.Add(VLCurrency::FromCents(stock.GetValueChange()));
  if (stock.IsSold()) {
    t.proceeds.Add(stock.GetSaleValue());
    return;
  }
  if (stock.marginable && stock.qty.Units() > 0 && stock.buyPricePerShare.Units() > 0 &&
      stock.GetLastTradeCents() >= static_cast<int64_t>(stock.mgnThreshold)) {
    t.marginable.Add(VLCurrency(value.GetValue() * stock.mgnEquity / 100.0));
  }
}

}  // namespace

VLPortfolioSummary ComputePortfolioSummary(const std::vector<const VLHoldingItem*>& positions, bool held,
                                           const std::vector<uint32_t>* ids, const NumberFormat& format,
                                           const SummaryIncome* income, const SummaryBase* base) {
  Totals t;
  std::vector<const VLHoldingItem*> counted;
  for (const VLHoldingItem* holding : positions) {
    if (!holding || !Counts(*holding, held, ids)) continue;
    counted.push_back(holding);
    switch (holding->GetKind()) {
      case kHoldingStock:
        AddStock(static_cast<const VLStockHoldingItem&>(*holding), t);
        break;
      case kHoldingCash: {
        const VLCurrency amount =
            VLCurrency::FromCents(static_cast<const VLCashHoldingItem*>(holding)->amount);
        t.value.Add(amount);
        t.paid.Add(amount);
        t.cash.Add(amount);
        break;
      }
      case kHoldingMargin:
        t.owed.Add(VLCurrency::FromCents(static_cast<const VLMarginHoldingItem*>(holding)->amountOwed));
        break;
    }
  }

  const VLCurrency zero;
  const VLCurrency equity = t.value.Compare(t.owed) > 0 ? Minus(t.value, t.owed) : t.cash;
  const VLCurrency available = t.marginable.Compare(t.owed) > 0 ? Minus(t.marginable, t.owed) : zero;
  const VLCurrency gain = held ? Minus(t.value, t.paid) : Minus(t.proceeds, t.paid);
  const VLCurrency postSale = Minus(t.value, t.proceeds);
  const double value = t.value.GetValue();
  const double change = t.change.GetValue();

  VLPortfolioSummary s;
  s.currentValue = MoneyText(value, format);
  s.change = MoneyText(change, format);
  if (value > 0) s.change = WithPercent(s.change, change / value * 100.0);
  s.gain = MoneyText(gain.GetValue(), format);
  if (t.paid.Compare(zero) != 0) {
    s.gain =
        gain.Compare(zero) == 0 ? "0.00" : WithPercent(s.gain, gain.GetValue() / t.paid.GetValue() * 100.0);
  }
  s.equity = MoneyText(equity.GetValue(), format);
  if (value > 0) s.equity += "(" + Printf("%0.02f", equity.GetValue() / value * 100.0) + "%)";
  s.marginableEquity = MoneyText(t.marginable.GetValue(), format);
  s.marginOwed = MoneyText(t.owed.GetValue(), format);
  s.marginAvailable = MoneyText(available.GetValue(), format);
  s.netProceeds = MoneyText(t.proceeds.GetValue(), format);
  s.postSaleGain = MoneyText(postSale.GetValue(), format);
  s.currencies.assign(t.currencies.begin(), t.currencies.end());
  if (income && !income->records.empty()) AddIncomeTexts(*income, counted, gain, format, s);
  if (base && !base->currency.empty()) s.base = BaseTotalsOf(*base, counted, format);
  return s;
}

std::string MixedCurrenciesText(const VLPortfolioSummary& summary) {
  const std::vector<std::string>& names = summary.currencies;
  if (names.size() < 2) return {};
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text + ", not converted";
}
