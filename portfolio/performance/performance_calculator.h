#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "portfolio/performance/daily_close_source.h"
#include "portfolio/performance/performance_conversion.h"
#include "portfolio/performance/performance_lots.h"

// The span of the figures in days since 1970-01-01: from FROM (none: the first purchase) to TO.
struct PerformanceSpan {
  std::optional<int64_t> from;
  int64_t to = 0;
};

// Each symbol's closes, oldest first, one per day.
using CloseTable = std::map<std::string, std::vector<DailyClose>>;

// The value and the invested capital at the close of one valuation day.
struct PerformancePoint {
  int64_t day = 0;
  int64_t valueCents = 0;
  int64_t investedCents = 0;
};

struct YearGain {
  int year = 0;
  int64_t gainCents = 0;
};

// The income paid in one year, in cents.
struct YearIncome {
  int year = 0;
  int64_t grossCents = 0;
  int64_t withholdingCents = 0;
  int64_t feesCents = 0;
  int64_t netCents = 0;
};

// The figures of one span. Rates are fractions (0.1234 for 12.34%); nullopt where there is none to give.
struct PerformanceFigures {
  std::optional<int64_t> fromDay;  // the later of FROM and the first purchase; none without a lot
  int64_t toDay = 0;
  std::optional<double> ttwror;
  std::optional<double> ttwrorAnnualized;
  std::optional<double> irr;
  std::optional<double> ttwrorPrice;     // the time-weighted rate of the prices alone: income not counted
  std::vector<YearGain> realizedGains;   // by year of the sale, ascending
  std::vector<YearIncome> income;        // paid within the span, by year of the pay day, ascending
  std::vector<PerformancePoint> series;  // one point per valuation day
  int64_t openingValueCents = 0;         // the value before FROM that enters as the opening flow
  int64_t finalValueCents = 0;           // V(TO)
  int64_t finalInvestedCents = 0;        // I(TO)
};

enum class PerformanceStatus {
  Ok,
  NoClose,      // a symbol was held on a day before its first close in the history (`symbol`, `day`)
  TooLarge,     // a sum of cents beyond 64 bits
  NoHistory,    // the service has no history for `symbol`
  Unreachable,  // the service did not answer (`request` says why)
  Failed,       // the service answered something that is not a history (`request` says what)
  Cancelled,    // stopped by the caller before every history had arrived
  NoRate,       // an amount has no exchange rate into the base currency (`symbol` says which and of what day)
};

struct PerformanceOutcome {
  PerformanceStatus status = PerformanceStatus::Ok;
  std::string symbol;
  int64_t day = 0;
  CloseRequestResult request;
  PerformanceFigures figures;  // filled only with Ok
};

// Days before the start of the span for which closes are asked as well: a symbol without a close on a
// valuation day takes its last earlier one, which may lie before the span.
constexpr int64_t kCloseLookbackDays = 31;

// The figures of the lots over `span` from the closes of `closes`; lots bought after TO take no part.
// Definitions (README, "Portfolio performance"):
// - a lot is held at the close of day d when it was bought on or before d and is not sold, or sold after d;
// - valuation days: every day from the start to TO on which one of the lots' symbols has a close;
// - V(d): quantity x close of the lots held at the close of d, each at its symbol's last close on or before
// d, the quantity in the shares of d (divided by the ratio of every recorded split after d, PerformanceLot);
//   I(d): their "Total Paid";
// - a purchase or sale counts on the first valuation day on or after its date;
// - TTWROR: product over the valuation days of (V(d) + out(d)) / (V(d-) + in(d)) - 1, a zero denominator
//   counting as 1; annualized with the calendar days from the first valuation day to TO (none for 0 days);
// - net income N paid from the start of the span to TO flows out on its pay day: out(d) gains it on the
//   first valuation day on or after that day. The purchase a payment's cash bought (reinvestment) is not
//   money put in: only Total Paid - N goes in (a negative difference goes out), and N does not flow out;
// - the price-only TTWROR counts no income and every purchase as money put in;
// - IRR: SolveIrr over the purchases, the sales, the income (N at its pay day) and V(TO) at TO;
// - with FROM after the first purchase, the value at the close of the last valuation day before FROM is
//   the opening flow, and what happened up to that day is covered by it;
// - with `conversion` active every amount is in the base currency: Total Paid at the purchase day's rate,
//   a sale's value at the sale day's, income at the pay day's (the position's stored rates winning), and
//   V(d) as the sum over the symbols of their value converted at the rate of d.
PerformanceOutcome ComputePerformance(const std::vector<PerformanceLot>& lots, const PerformanceSpan& span,
                                      const CloseTable& closes,
                                      const std::vector<PerformanceIncome>& incomes = {},
                                      const PerformanceConversion& conversion = {});
