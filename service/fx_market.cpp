#include "service/fx_market.h"

#include "framework/text_util.h"
#include "service/currency_table.h"
#include "service/price_model.h"
#include "service/reference_calendar.h"
#include "service/text_format.h"

#include <date/tz.h>

#include <algorithm>
#include <cmath>

static constexpr int kFixingMinute = 14 * 60 + 15;
static constexpr double kWorkingDaysPerYear = 255.0;
static const Decimal kOne{1, 0};

bool ParsePairSymbol(std::string_view symbol, CurrencyPair& pair) {
  if (symbol.size() != 8 || (symbol.substr(6) != "=X" && symbol.substr(6) != "=x")) return false;
  // "GBpUSD=X" must not pass for pounds: a minor unit spelled as such has no pairs.
  for (size_t at : {size_t{0}, size_t{3}}) {
    const CurrencyInfo* spelled = FindCurrency(symbol.substr(at, 3));
    if (spelled != nullptr && spelled->IsMinorUnit()) return false;
  }
  const CurrencyInfo* base = FindMajorCurrency(AsciiUpper(symbol.substr(0, 3)));
  const CurrencyInfo* quote = FindMajorCurrency(AsciiUpper(symbol.substr(3, 3)));
  if (base == nullptr || quote == nullptr || base == quote) return false;
  pair = {base, quote};
  return true;
}

std::string PairSymbol(const CurrencyPair& pair) {
  return std::string(pair.base->code) + pair.quote->code + "=X";
}

std::string PairName(const CurrencyPair& pair) {
  return std::string(pair.base->code) + "/" + pair.quote->code + " (" + pair.base->name + " in " +
         pair.quote->name + ")";
}

void FxMarket::SetRealRates(std::shared_ptr<const RateTable> table) {
  std::lock_guard<std::mutex> lock(mutex);
  realRates = std::move(table);
}

std::shared_ptr<const RateTable> FxMarket::RealRates() const {
  std::lock_guard<std::mutex> lock(mutex);
  return realRates;
}

bool FxMarket::IsPair(std::string_view symbol) const {
  CurrencyPair pair;
  return ParsePairSymbol(symbol, pair);
}

// Frankfurt's date and minute of the day.
static void FrankfurtTime(SysSeconds now, int& day, int& minute) {
  static const date::time_zone* const zone = FindTimeZone("Europe/Berlin");
  date::local_seconds local{now.time_since_epoch() + std::chrono::hours{1}};
  if (zone != nullptr) local = zone->to_local(now);
  const date::local_days localDay = date::floor<date::days>(local);
  day = static_cast<int>(localDay.time_since_epoch().count());
  minute = static_cast<int>(std::chrono::duration_cast<std::chrono::minutes>(local - localDay).count());
}

int FxMarket::Today(SysSeconds now) const {
  int day = 0, minute = 0;
  FrankfurtTime(now, day, minute);
  return day;
}

int FxMarket::LatestFixingDay(SysSeconds now) const {
  int day = 0, minute = 0;
  FrankfurtTime(now, day, minute);
  if (ReferenceCalendar::IsWorkingDay(day) && minute >= kFixingMinute) return day;
  return ReferenceCalendar::PreviousWorkingDay(day);
}

static uint64_t CurrencyKey(const CurrencyInfo& currency) {
  const std::string name = std::string("fx ") + currency.code;
  return HashText(name.data(), name.size());
}

std::shared_ptr<const FxMarket::Deviations> FxMarket::Simulation(int lastDay) const {
  std::shared_ptr<const Deviations> cached;
  {
    std::lock_guard<std::mutex> lock(mutex);
    cached = deviations;
  }
  if (cached && !cached->days.empty() && cached->days.back() >= lastDay) return cached;
  // Extended on a copy outside the lock; a racing thread may do the same work with the same result.
  auto series = cached ? std::make_shared<Deviations>(*cached) : std::make_shared<Deviations>();
  int count = 0;
  const CurrencyInfo* all = AllCurrencies(count);
  series->byCurrency.resize(static_cast<size_t>(count));
  const double reversion = std::log(2.0) / kWorkingDaysPerYear;  // deviations halve within a year
  int day = series->days.empty() ? ReferenceCalendar::FirstDay()
                                 : ReferenceCalendar::NextWorkingDay(series->days.back());
  for (; day <= lastDay; day = ReferenceCalendar::NextWorkingDay(day)) {
    const bool first = series->days.empty();
    series->days.push_back(day);
    for (int c = 0; c < count; ++c) {
      const double sigma = all[c].volatility / std::sqrt(kWorkingDaysPerYear);
      std::vector<double>& path = series->byCurrency[static_cast<size_t>(c)];
      const uint64_t key = CurrencyKey(all[c]);
      path.push_back(first ? sigma * std::sqrt(1.0 / (2.0 * reversion)) * model.Normal(key, day, 7)
                           : path.back() * (1.0 - reversion) + sigma * model.Normal(key, day, 0));
    }
  }
  std::lock_guard<std::mutex> lock(mutex);
  if (!deviations || deviations->days.empty() || deviations->days.back() < lastDay) deviations = series;
  return series;
}

// Units of a currency per US dollar on the i-th day of the simulation.
static double PerDollar(const std::vector<std::vector<double>>& deviations, const CurrencyInfo* all,
                        const CurrencyInfo& currency, int day, size_t i) {
  if (std::string_view(currency.code) == "USD") return 1.0;
  const double years = (day - PriceModel::AnchorDay()) / 365.25;
  const double deviation = deviations[static_cast<size_t>(&currency - all)][i];
  const double level = currency.level * std::exp(currency.drift * years + deviation);
  if (std::string_view(currency.anchor) != "EUR") return level;
  return level * PerDollar(deviations, all, *FindCurrency("EUR"), day, i);
}

std::vector<RateFixing> FxMarket::SimulatedFixings(const CurrencyPair& pair, int fromDay, int toDay) const {
  std::vector<RateFixing> out;
  if (toDay < ReferenceCalendar::FirstDay()) return out;
  const auto series = Simulation(toDay);
  int count = 0;
  const CurrencyInfo* all = AllCurrencies(count);
  const CurrencyInfo& euro = *FindCurrency("EUR");
  auto perEuro = [&](const CurrencyInfo& c, int day, size_t i) {
    if (&c == &euro) return kOne;
    return RateFromDouble(PerDollar(series->byCurrency, all, c, day, i) /
                          PerDollar(series->byCurrency, all, euro, day, i));
  };
  const auto begin = std::lower_bound(series->days.begin(), series->days.end(), fromDay);
  for (auto it = begin; it != series->days.end() && *it <= toDay; ++it) {
    const size_t i = static_cast<size_t>(it - series->days.begin());
    out.push_back({*it, DivideRates(perEuro(*pair.quote, *it, i), perEuro(*pair.base, *it, i))});
  }
  return out;
}

bool FxMarket::OnRealRates(const CurrencyPair& pair) const {
  const auto table = RealRates();
  if (!table || table->Empty()) return false;
  for (const CurrencyInfo* c : {pair.base, pair.quote}) {
    if (std::string_view(c->code) != "EUR" && table->Column(c->code) < 0) return false;
  }
  return true;
}

std::vector<RateFixing> FxMarket::Fixings(const CurrencyPair& pair, int fromDay, int toDay) const {
  if (!OnRealRates(pair)) return SimulatedFixings(pair, fromDay, toDay);
  const auto table = RealRates();
  const int base = table->Column(pair.base->code), quote = table->Column(pair.quote->code);
  std::vector<RateFixing> out;
  const auto begin = std::lower_bound(table->days.begin(), table->days.end(), fromDay);
  for (auto it = begin; it != table->days.end() && *it <= toDay; ++it) {
    const auto& row = table->perEuro[static_cast<size_t>(it - table->days.begin())];
    const Decimal& b = base < 0 ? kOne : row[static_cast<size_t>(base)];
    const Decimal& q = quote < 0 ? kOne : row[static_cast<size_t>(quote)];
    if (b.Valid() && q.Valid()) out.push_back({*it, DivideRates(q, b)});
  }
  return out;
}
