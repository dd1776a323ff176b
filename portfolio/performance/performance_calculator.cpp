#include "portfolio/performance/performance_calculator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "portfolio/performance/irr_solver.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_currency.h"

namespace {

constexpr double kDaysPerYear = 365.0;
constexpr int64_t kNoClose = -1;
// Beyond a million times the money (100,000,000%) a rate says nothing a person could use: a span of a
// few days annualized, or a price that is wrong. Such a rate is given as none, never as a huge number.
constexpr double kLargestRate = 1e6;

std::optional<double> SaneRate(double rate) {
  if (!std::isfinite(rate) || std::fabs(rate) > kLargestRate) return std::nullopt;
  return rate;
}

bool AddTo(int64_t* sum, int64_t value) {
  return !__builtin_add_overflow(*sum, value, sum);
}
bool SubtractFrom(int64_t* sum, int64_t value) {
  return !__builtin_sub_overflow(*sum, value, sum);
}

// A lot with its symbol's index and its two amounts, checked against overflow once.
struct Lot {
  const PerformanceLot* lot = nullptr;
  size_t symbol = 0;
  int64_t paid = 0;       // "Total Paid"
  int64_t saleValue = 0;  // when sold
};

// Walks forward through the days: which lots are held at the close, each symbol's last close so far, and
// the value and invested capital that follow.
class HoldingWalk {
 public:
  HoldingWalk(const std::vector<Lot>& lots, std::vector<const std::vector<DailyClose>*> closesBySymbol,
              const PerformanceConversion& conversion)
      : lots(lots), closes(std::move(closesBySymbol)), conversion(conversion) {
    for (size_t i = 0; i < lots.size(); ++i) {
      events.push_back({lots[i].lot->purchaseDay, i, Event::kEnters});
      for (const PerformanceLot::Split& split : lots[i].lot->splits)
        events.push_back({split.day, i, Event::kSplits});
      if (lots[i].lot->sold) events.push_back({lots[i].lot->saleDay, i, Event::kLeaves});
    }
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
      return a.day != b.day ? a.day < b.day : a.kind < b.kind;
    });
    lotQty.assign(lots.size(), 0);
    held.assign(closes.size(), 0);
    nextClose.assign(closes.size(), 0);
    close.assign(closes.size(), kNoClose);
    // A symbol's value is in the currency of its first lot.
    currency.assign(closes.size(), std::string());
    std::vector<char> named(closes.size(), 0);
    for (const Lot& lot : lots) {
      if (named[lot.symbol]) continue;
      named[lot.symbol] = 1;
      currency[lot.symbol] = lot.lot->currency;
    }
  }

  // Moves to the close of `day` (days only go forward); false when a sum leaves 64 bits.
  [[nodiscard]] bool AdvanceTo(int64_t day) {
    for (; nextEvent < events.size() && events[nextEvent].day <= day; ++nextEvent) {
      const Event& e = events[nextEvent];
      const Lot& lot = lots[e.lot];
      int64_t& shares = lotQty[e.lot];  // in the shares of the day
      bool ok = true;
      switch (e.kind) {
        case Event::kEnters:
          shares = lot.lot->QtyOn(e.day).Units();
          ok = AddTo(&held[lot.symbol], shares) && AddTo(&invested, lot.paid);
          break;
        case Event::kSplits: {
          const int64_t before = shares;
          shares = lot.lot->QtyOn(e.day).Units();
          ok = SubtractFrom(&held[lot.symbol], before) && AddTo(&held[lot.symbol], shares);
          break;
        }
        case Event::kLeaves:
          ok = SubtractFrom(&held[lot.symbol], shares) && SubtractFrom(&invested, lot.paid);
          break;
      }
      if (!ok) return false;
    }
    for (size_t s = 0; s < closes.size(); ++s) {
      const std::vector<DailyClose>& list = *closes[s];
      while (nextClose[s] < list.size() && list[nextClose[s]].day <= day)
        close[s] = list[nextClose[s]++].close.Units();
    }
    return true;
  }

  // V at the current day `day`, or the status that prevents it (with the symbol's index, or the missing
  // rate in `error`).
  PerformanceStatus Value(int64_t day, int64_t* value, size_t* missing, std::string* error) const {
    *value = 0;
    for (size_t s = 0; s < closes.size(); ++s) {
      if (held[s] == 0) continue;
      if (close[s] == kNoClose) {
        *missing = s;
        return PerformanceStatus::NoClose;
      }
      // Shares and close multiply exactly, rounded once to the cent.
      int64_t product = ProductCents(Quantity::FromUnits(held[s]), UnitPrice::FromUnits(close[s]));
      if (product >= VLCurrency::kMaxCents) return PerformanceStatus::TooLarge;
      if (const PerformanceStatus status = conversion.Convert(product, currency[s], day, product, *error);
          status != PerformanceStatus::Ok)
        return status;
      if (!AddTo(value, product)) return PerformanceStatus::TooLarge;
    }
    return PerformanceStatus::Ok;
  }

  int64_t Invested() const { return invested; }

 private:
  // On one day a lot enters before a split changes its shares, and leaves after.
  struct Event {
    enum Kind { kEnters, kSplits, kLeaves };
    int64_t day;
    size_t lot;
    Kind kind;
  };

  const std::vector<Lot>& lots;
  std::vector<const std::vector<DailyClose>*> closes;
  std::vector<Event> events;
  size_t nextEvent = 0;
  std::vector<int64_t> lotQty;  // each lot's shares as it entered or its last split left them
  std::vector<int64_t> held;    // shares held per symbol, in the shares of the day
  std::vector<size_t> nextClose;
  std::vector<int64_t> close;         // last close so far per symbol, kNoClose before the first
  std::vector<std::string> currency;  // per symbol
  const PerformanceConversion& conversion;
  int64_t invested = 0;
};

// The days from `first` to `last` on which any of the symbols has a close, ascending.
std::vector<int64_t> ValuationDays(const std::vector<const std::vector<DailyClose>*>& closes, int64_t first,
                                   int64_t last) {
  // Only the days the closes cover can be marked: a date read from a damaged file must not size the marks.
  int64_t earliest = std::numeric_limits<int64_t>::max(), latest = std::numeric_limits<int64_t>::min();
  for (const auto* list : closes) {
    if (list->empty()) continue;
    earliest = std::min(earliest, list->front().day);
    latest = std::max(latest, list->back().day);
  }
  first = std::max(first, earliest);
  last = std::min(last, latest);
  if (first > last) return {};
  std::vector<char> marked(static_cast<size_t>(last - first + 1), 0);
  for (const auto* list : closes) {
    auto it = std::lower_bound(list->begin(), list->end(), first,
                               [](const DailyClose& c, int64_t day) { return c.day < day; });
    for (; it != list->end() && it->day <= last; ++it) marked[static_cast<size_t>(it->day - first)] = 1;
  }
  std::vector<int64_t> days;
  for (size_t i = 0; i < marked.size(); ++i) {
    if (marked[i]) days.push_back(first + static_cast<int64_t>(i));
  }
  return days;
}

// The last day before `day` on which any of the symbols has a close; nullopt when none has.
std::optional<int64_t> LastCloseDayBefore(const std::vector<const std::vector<DailyClose>*>& closes,
                                          int64_t day) {
  std::optional<int64_t> best;
  for (const auto* list : closes) {
    auto it = std::lower_bound(list->begin(), list->end(), day,
                               [](const DailyClose& c, int64_t d) { return c.day < d; });
    if (it == list->begin()) continue;
    --it;
    if (!best || it->day > *best) best = it->day;
  }
  return best;
}

PerformanceOutcome Refused(PerformanceStatus status, const std::string& symbol = {}, int64_t day = 0) {
  PerformanceOutcome outcome;
  outcome.status = status;
  outcome.symbol = symbol;
  outcome.day = day;
  return outcome;
}

// The lots bought by TO with what they cost and what their sales brought, in the base currency when the
// conversion is active; Ok, TooLarge or NoRate.
PerformanceOutcome PricedLots(const std::vector<PerformanceLot>& taking,
                              const std::vector<std::string>& symbols,
                              const PerformanceConversion& conversion, std::vector<Lot>& lots) {
  for (const PerformanceLot& lot : taking) {
    Lot l;
    l.lot = &lot;
    l.symbol =
        static_cast<size_t>(std::lower_bound(symbols.begin(), symbols.end(), lot.symbol) - symbols.begin());
    int64_t cost = ProductCents(lot.qty, lot.buyPrice), proceeds = ProductCents(lot.qty, lot.salePrice);
    if (cost >= VLCurrency::kMaxCents || proceeds >= VLCurrency::kMaxCents ||
        !AddTo(&cost, lot.buyCommissionCents) || !SubtractFrom(&proceeds, lot.saleCommissionCents)) {
      return Refused(PerformanceStatus::TooLarge);
    }
    std::string error;
    if (const PerformanceStatus status = conversion.Convert(cost, lot.currency, lot.purchaseDay, l.paid,
                                                            error, lot.buyRate, lot.rateCurrency);
        status != PerformanceStatus::Ok)
      return Refused(status, error);
    if (lot.sold) {
      if (const PerformanceStatus status = conversion.Convert(
              proceeds, lot.currency, lot.saleDay, l.saleValue, error, lot.saleRate, lot.rateCurrency);
          status != PerformanceStatus::Ok)
        return Refused(status, error);
    } else {
      l.saleValue = proceeds;
    }
    lots.push_back(l);
  }
  return {};
}

// The income in the base currency: gross, withholding and fees each at the pay day's rate.
PerformanceOutcome ConvertedIncome(const std::vector<PerformanceIncome>& incomes,
                                   const PerformanceConversion& conversion,
                                   std::vector<PerformanceIncome>& converted) {
  converted = incomes;
  if (!conversion.Active()) return {};
  std::string error;
  for (PerformanceIncome& income : converted) {
    for (int64_t* amount : {&income.grossCents, &income.withholdingCents, &income.feesCents}) {
      if (const PerformanceStatus status =
              conversion.Convert(*amount, income.currency, income.payDay, *amount, error);
          status != PerformanceStatus::Ok)
        return Refused(status, error);
    }
  }
  return {};
}

// What is held on `day` at its closes, into `value`; Ok, or the refusal (a symbol without a close names it).
PerformanceOutcome ValueOn(HoldingWalk& walk, const std::vector<std::string>& symbols, int64_t day,
                           int64_t* value) {
  size_t missing = 0;
  std::string error;
  const PerformanceStatus status = walk.Value(day, value, &missing, &error);
  if (status == PerformanceStatus::NoClose) return Refused(status, symbols[missing], day);
  return Refused(status, error);
}

// Money put in or taken out on one day.
struct Flow {
  int64_t day;
  int64_t cents;
  bool in;
};

void SortByDay(std::vector<Flow>& flows) {
  std::stable_sort(flows.begin(), flows.end(), [](const Flow& a, const Flow& b) { return a.day < b.day; });
}

// Purchases go in, sales come out, each on its own day: those after `cutoff` and by `to`, into `flows`. A
// purchase puts in its Total Paid less what payments reinvested in it (`reinvested`, by position id); a
// negative rest goes out. False when a sum is too large.
bool AddLotFlows(const std::vector<Lot>& lots, int64_t cutoff, int64_t to,
                 const std::map<uint32_t, int64_t>& reinvested, std::vector<Flow>& flows) {
  for (const Lot& l : lots) {
    if (l.lot->purchaseDay > cutoff) {
      const auto bought = reinvested.find(l.lot->positionId);
      int64_t in = l.paid;
      if (bought != reinvested.end() && !SubtractFrom(&in, bought->second)) return false;
      if (in >= 0) {
        flows.push_back({l.lot->purchaseDay, in, true});
      } else {
        flows.push_back({l.lot->purchaseDay, -in, false});
      }
    }
    if (l.lot->sold && l.lot->saleDay > cutoff && l.lot->saleDay <= to) {
      flows.push_back({l.lot->saleDay, l.saleValue, false});
    }
  }
  SortByDay(flows);
  return true;
}

// The flows of the prices alone: every purchase money put in, every sale money taken out.
std::vector<Flow> PriceFlows(const std::vector<Lot>& lots, int64_t cutoff, int64_t to) {
  std::vector<Flow> flows;
  (void)AddLotFlows(lots, cutoff, to, {}, flows);  // nothing is subtracted, so nothing can overflow
  return flows;
}

// The flows with income: the net of each payment from `start` (after `cutoff`) to `to` goes out on its pay
// day, except a payment whose cash bought a lot of the span, which only lowers what that purchase puts in.
// False when a sum is too large.
bool TotalFlows(const std::vector<Lot>& lots, const std::vector<PerformanceIncome>& incomes, int64_t cutoff,
                int64_t start, int64_t to, std::vector<Flow>& flows) {
  std::map<uint32_t, int64_t> reinvested;  // by position id: the net income its purchase took
  for (const Lot& l : lots) {
    if (l.lot->positionId != 0 && l.lot->purchaseDay > cutoff) reinvested.emplace(l.lot->positionId, 0);
  }
  for (const PerformanceIncome& income : incomes) {
    if (income.payDay < start || income.payDay > to) continue;  // `start` is after `cutoff`
    const auto bought = reinvested.find(income.reinvestPositionId);
    if (income.reinvestPositionId != 0 && bought != reinvested.end()) {
      if (!AddTo(&bought->second, income.NetCents())) return false;
    } else {
      flows.push_back({income.payDay, income.NetCents(), false});
    }
  }
  return AddLotFlows(lots, cutoff, to, reinvested, flows);
}

// One time-weighted rate as the valuation days pass: each day's ratio, the day's flows being those since
// the day before.
class RateChain {
 public:
  RateChain(const std::vector<Flow>& flows, int64_t openingValue)
      : flows(flows), previousValue(openingValue) {}

  // The close of `day` with value `value`; false when a sum is too large.
  [[nodiscard]] bool Step(int64_t day, int64_t value) {
    int64_t in = 0, out = 0;
    for (; next < flows.size() && flows[next].day <= day; ++next) {
      if (!AddTo(flows[next].in ? &in : &out, flows[next].cents)) return false;
    }
    const double denominator = static_cast<double>(previousValue) + static_cast<double>(in);
    if (denominator != 0) product *= (static_cast<double>(value) + static_cast<double>(out)) / denominator;
    previousValue = value;
    return true;
  }
  double Product() const { return product; }

 private:
  const std::vector<Flow>& flows;
  int64_t previousValue;
  size_t next = 0;
  double product = 1.0;
};

// The time-weighted rates over the valuation days, with income and of the prices alone; the value series
// on the way.
PerformanceOutcome TimeWeighted(HoldingWalk& walk, const std::vector<std::string>& symbols,
                                const std::vector<int64_t>& days, const std::vector<Flow>& flows,
                                const std::vector<Flow>& priceFlows, PerformanceFigures& f) {
  RateChain total(flows, f.openingValueCents), price(priceFlows, f.openingValueCents);
  for (int64_t day : days) {
    if (!walk.AdvanceTo(day)) return Refused(PerformanceStatus::TooLarge);
    int64_t value = 0;
    if (PerformanceOutcome r = ValueOn(walk, symbols, day, &value); r.status != PerformanceStatus::Ok)
      return r;
    if (!total.Step(day, value) || !price.Step(day, value)) return Refused(PerformanceStatus::TooLarge);
    f.series.push_back({day, value, walk.Invested()});
  }
  if (!days.empty()) {
    const double product = total.Product();
    f.ttwror = SaneRate(product - 1.0);
    f.ttwrorPrice = SaneRate(price.Product() - 1.0);
    const int64_t calendarDays = f.toDay - days.front();
    if (calendarDays > 0 && product >= 0) {
      f.ttwrorAnnualized =
          SaneRate(std::pow(product, kDaysPerYear / static_cast<double>(calendarDays)) - 1.0);
    }
  }
  return {};  // Ok
}

// The income paid from `start` to `to`, by the year of its pay day; false when a sum is too large.
bool IncomeByYear(const std::vector<PerformanceIncome>& incomes, int64_t start, int64_t to,
                  PerformanceFigures& f) {
  std::map<int, YearIncome> byYear;
  for (const PerformanceIncome& income : incomes) {
    if (income.payDay < start || income.payDay > to) continue;
    YearIncome& year = byYear[DateOfDayNumber(income.payDay).year];
    if (!AddTo(&year.grossCents, income.grossCents) ||
        !AddTo(&year.withholdingCents, income.withholdingCents) ||
        !AddTo(&year.feesCents, income.feesCents) || !AddTo(&year.netCents, income.NetCents())) {
      return false;
    }
  }
  for (auto& [year, sums] : byYear) {
    sums.year = year;
    f.income.push_back(sums);
  }
  return true;
}

// Realized gains of the sales from `start` to `to`, by the year of the sale; false when a sum is too large.
bool RealizedGains(const std::vector<Lot>& lots, int64_t start, int64_t to, PerformanceFigures& f) {
  std::map<int, int64_t> byYear;
  for (const Lot& l : lots) {
    if (!l.lot->sold || l.lot->saleDay < start || l.lot->saleDay > to) continue;
    int64_t gain = l.saleValue;
    if (!SubtractFrom(&gain, l.paid) || !AddTo(&byYear[DateOfDayNumber(l.lot->saleDay).year], gain))
      return false;
  }
  for (const auto& [year, gain] : byYear) f.realizedGains.push_back({year, gain});
  return true;
}

}  // namespace

PerformanceOutcome ComputePerformance(const std::vector<PerformanceLot>& allLots, const PerformanceSpan& span,
                                      const CloseTable& table,
                                      const std::vector<PerformanceIncome>& incomesAsPaid,
                                      const PerformanceConversion& conversion) {
  PerformanceOutcome outcome;
  PerformanceFigures& f = outcome.figures;
  f.toDay = span.to;

  // The lots bought by TO, their symbols and closes.
  std::vector<PerformanceLot> taking;
  for (const PerformanceLot& lot : allLots) {
    if (lot.purchaseDay <= span.to) taking.push_back(lot);
  }
  if (taking.empty()) return outcome;
  const std::vector<std::string> symbols = SymbolsOf(taking);
  static const std::vector<DailyClose> kNone;
  std::vector<const std::vector<DailyClose>*> closes;
  for (const std::string& symbol : symbols) {
    const auto it = table.find(symbol);
    closes.push_back(it == table.end() ? &kNone : &it->second);
  }
  std::vector<Lot> lots;
  if (PerformanceOutcome r = PricedLots(taking, symbols, conversion, lots); r.status != PerformanceStatus::Ok)
    return r;
  std::vector<PerformanceIncome> incomes;
  if (PerformanceOutcome r = ConvertedIncome(incomesAsPaid, conversion, incomes);
      r.status != PerformanceStatus::Ok)
    return r;

  int64_t firstPurchase = taking.front().purchaseDay;
  for (const PerformanceLot& lot : taking) firstPurchase = std::min(firstPurchase, lot.purchaseDay);
  const int64_t start = std::max(firstPurchase, span.from.value_or(firstPurchase));
  f.fromDay = start;
  if (start > span.to) return outcome;

  // With FROM after the first purchase, the value at the close of the last valuation day before it opens
  // the span; flows up to that day are inside that value. Without an earlier close, nothing may be held then.
  HoldingWalk walk(lots, closes, conversion);
  std::vector<CashFlow> irrFlows;
  int64_t cutoff = std::numeric_limits<int64_t>::min();
  if (start > firstPurchase) {
    const std::optional<int64_t> d0 = LastCloseDayBefore(closes, start);
    cutoff = d0.value_or(start - 1);
    if (!walk.AdvanceTo(cutoff)) return Refused(PerformanceStatus::TooLarge);
    if (PerformanceOutcome r = ValueOn(walk, symbols, cutoff, &f.openingValueCents);
        r.status != PerformanceStatus::Ok)
      return r;
    if (f.openingValueCents != 0) irrFlows.push_back({cutoff, -f.openingValueCents});
  }
  const std::vector<Flow> priceFlows = PriceFlows(lots, cutoff, span.to);
  std::vector<Flow> flows;
  if (!TotalFlows(lots, incomes, cutoff, start, span.to, flows)) return Refused(PerformanceStatus::TooLarge);
  for (const Flow& flow : flows) irrFlows.push_back({flow.day, flow.in ? -flow.cents : flow.cents});

  if (PerformanceOutcome r =
          TimeWeighted(walk, symbols, ValuationDays(closes, start, span.to), flows, priceFlows, f);
      r.status != PerformanceStatus::Ok)
    return r;

  // The money-weighted rate: the flows and what is held at TO.
  if (!walk.AdvanceTo(span.to)) return Refused(PerformanceStatus::TooLarge);
  if (PerformanceOutcome r = ValueOn(walk, symbols, span.to, &f.finalValueCents);
      r.status != PerformanceStatus::Ok)
    return r;
  f.finalInvestedCents = walk.Invested();
  irrFlows.push_back({span.to, f.finalValueCents});
  const std::optional<double> irr = SolveIrr(irrFlows);
  f.irr = irr ? SaneRate(*irr) : std::nullopt;

  if (!RealizedGains(lots, start, span.to, f) || !IncomeByYear(incomes, start, span.to, f))
    return Refused(PerformanceStatus::TooLarge);
  return outcome;
}
