#include "service/price_model.h"

#include "service/security_list.h"
#include "service/text_format.h"
#include "service/trading_calendar.h"

#include <algorithm>
#include <cmath>

static const double kPi = 3.14159265358979323846;
static const double kTradingDaysPerYear = 252.0;

static uint64_t Mix(uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

uint64_t HashText(const char* text, size_t size) {
  uint64_t h = 1469598103934665603ULL;
  for (size_t i = 0; i < size; ++i) {
    h ^= static_cast<unsigned char>(text[i]);
    h *= 1099511628211ULL;
  }
  return h;
}

static double Round2(double v) {
  return std::round(v * 100.0) / 100.0;
}

int PriceModel::FirstDay() {
  int day = 0;
  (void)MakeDay(1990, 1, 2, day);  // cannot fail: a valid constant date
  return day;
}

int PriceModel::AnchorDay() {
  int day = 0;
  (void)MakeDay(2026, 1, 2, day);  // cannot fail: a valid constant date
  return day;
}

double PriceModel::Uniform(uint64_t key, int day, int stream) const {
  const uint64_t h = Mix(Mix(Mix(seed ^ key) ^ static_cast<uint64_t>(static_cast<uint32_t>(day))) ^
                         static_cast<uint64_t>(static_cast<uint32_t>(stream)));
  return (static_cast<double>(h >> 11) + 0.5) / 9007199254740992.0;
}

double PriceModel::Normal(uint64_t key, int day, int stream) const {
  const double u1 = Uniform(key, day, stream);
  const double u2 = Uniform(key, day, stream + 500);
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
}

double PriceModel::Uniform(const Security& security, int day, int stream) const {
  return Uniform(security.key, day, stream);
}

double PriceModel::Normal(const Security& security, int day, int stream) const {
  return Normal(security.key, day, stream);
}

double PriceModel::AnnualGrowth(const Security& s) const {
  switch (s.type) {
    case SecurityType::Stock:
      return 0.03 + 0.09 * Trait(s, 1);
    case SecurityType::Etf:
    case SecurityType::Index:
      return 0.06;
    case SecurityType::MutualFund:
      return 0.05;
    case SecurityType::Future:
      return 0.01;
  }
  return 0.0;
}

void PriceModel::ExtendCloses(const Security& s, int lastDay, CloseSeries& series) const {
  const double dailySigma = s.volatility / std::sqrt(kTradingDaysPerYear);
  const double reversion = std::log(2.0) / kTradingDaysPerYear;  // deviations halve within a year
  const double growth = AnnualGrowth(s);
  const double anchorLog = std::log(s.price);
  const int anchor = AnchorDay();
  auto trend = [&](int day) { return anchorLog + growth * (day - anchor) / 365.25; };

  int day = series.days.empty() ? FirstDay() : series.days.back();
  double deviation = 0;
  if (series.days.empty()) {
    deviation = dailySigma * std::sqrt(1.0 / (2.0 * reversion)) * Normal(s, day, 7);
    if (TradingCalendar::IsTradingDay(day) && day <= lastDay) {
      series.days.push_back(day);
      series.closes.push_back(std::exp(trend(day) + deviation));
    }
  } else {
    deviation = std::log(series.closes.back()) - trend(day);
  }
  while (true) {
    day = TradingCalendar::NextTradingDay(day);
    if (day > lastDay) break;
    deviation = deviation * (1.0 - reversion) + dailySigma * Normal(s, day, 0);
    series.days.push_back(day);
    series.closes.push_back(std::exp(trend(day) + deviation));
  }
}

static double BaseVolume(const PriceModel& model, const Security& s) {
  switch (s.type) {
    case SecurityType::Stock:
      return s.shares * (0.003 + 0.009 * model.Trait(s, 2));
    case SecurityType::Etf:
      return s.shares * 0.02;
    case SecurityType::Index:
    case SecurityType::Future:
      return s.shares;
    case SecurityType::MutualFund:
      return 0;
  }
  return 0;
}

DailyBar PriceModel::MakeBar(const Security& s, int day, double previousClose, double close) const {
  DailyBar bar;
  bar.day = day;
  bar.close = Round2(close);
  bar.adjClose = bar.close;
  if (s.type == SecurityType::MutualFund) {
    bar.open = bar.high = bar.low = bar.close;
    return bar;
  }
  const double dailySigma = s.volatility / std::sqrt(kTradingDaysPerYear);
  const double open = previousClose * std::exp(0.3 * dailySigma * Normal(s, day, 1));
  const double high = std::max(open, close) * std::exp(0.5 * dailySigma * std::fabs(Normal(s, day, 2)));
  const double low = std::min(open, close) * std::exp(-0.5 * dailySigma * std::fabs(Normal(s, day, 3)));
  // Rounding keeps the order low <= open, close <= high because it is monotonic.
  bar.open = Round2(open);
  bar.high = Round2(high);
  bar.low = Round2(low);
  const double move = std::fabs(std::log(close / previousClose)) / std::max(dailySigma, 1e-6);
  const double volume = BaseVolume(*this, s) * std::exp(0.3 * Normal(s, day, 4)) * (1.0 + 0.4 * move);
  bar.volume = std::round(volume / 100.0) * 100.0;
  return bar;
}

std::vector<double> PriceModel::IntradayPath(const Security& s, const DailyBar& bar,
                                             int sessionMinutes) const {
  const int n = std::max(sessionMinutes, 1);
  std::vector<double> path(n + 1, bar.close);
  if (s.type == SecurityType::MutualFund) return path;
  // Random walk with uniform steps; bridges of it between the fixed points give the path its texture.
  std::vector<double> walk(n + 1, 0.0);
  for (int t = 1; t <= n; ++t)
    walk[t] = walk[t - 1] + (2.0 * Uniform(s, bar.day, 10000 + t) - 1.0) * 1.7320508;
  int highAt = 1 + static_cast<int>(Uniform(s, bar.day, 20) * (n - 1));
  int lowAt = 1 + static_cast<int>(Uniform(s, bar.day, 21) * (n - 1));
  if (lowAt == highAt) lowAt = highAt > 1 ? highAt - 1 : std::min(highAt + 1, n);
  struct Anchor {
    int t;
    double v;
  };
  std::vector<Anchor> anchors = {{0, bar.open}, {highAt, bar.high}, {lowAt, bar.low}, {n, bar.close}};
  std::sort(anchors.begin(), anchors.end(), [](const Anchor& a, const Anchor& b) { return a.t < b.t; });
  const double amplitude = 0.5 * (bar.high - bar.low) / std::sqrt(static_cast<double>(n));
  for (size_t k = 0; k + 1 < anchors.size(); ++k) {
    const Anchor a = anchors[k], b = anchors[k + 1];
    for (int t = a.t; t <= b.t; ++t) {
      const double f = b.t == a.t ? 0.0 : static_cast<double>(t - a.t) / (b.t - a.t);
      const double bridge = (walk[t] - walk[a.t]) - f * (walk[b.t] - walk[a.t]);
      const double v = a.v + (b.v - a.v) * f + amplitude * bridge;
      path[t] = Round2(std::clamp(v, bar.low, bar.high));
    }
  }
  for (const Anchor& a : anchors) path[a.t] = a.v;
  return path;
}

DailyBar PriceModel::PartialBar(const DailyBar& full, const std::vector<double>& path, int elapsed) {
  DailyBar bar = full;
  const int last = std::clamp(elapsed, 0, static_cast<int>(path.size()) - 1);
  bar.open = path[0];
  bar.high = *std::max_element(path.begin(), path.begin() + last + 1);
  bar.low = *std::min_element(path.begin(), path.begin() + last + 1);
  bar.close = path[last];
  bar.adjClose = bar.close;
  const double share = path.size() > 1 ? static_cast<double>(last) / (path.size() - 1) : 1.0;
  bar.volume = std::round(full.volume * share / 100.0) * 100.0;
  return bar;
}

static int OnOrAfterTradingDay(int day) {
  return TradingCalendar::IsTradingDay(day) ? day : TradingCalendar::NextTradingDay(day);
}

static std::vector<int> QuarterlyDays(int firstMonth, int dayOfMonth, int fromDay, int toDay) {
  std::vector<int> out;
  int y0, m0, d0, y1, m1, d1;
  SplitDay(fromDay, y0, m0, d0);
  SplitDay(toDay, y1, m1, d1);
  for (int y = y0; y <= y1; ++y) {
    for (int m = firstMonth; m <= 12; m += 3) {
      int day = 0;
      if (!MakeDay(y, m, dayOfMonth, day)) continue;
      day = OnOrAfterTradingDay(day);
      if (day >= fromDay && day <= toDay) out.push_back(day);
    }
  }
  return out;
}

std::vector<int> PriceModel::ExDividendDays(const Security& s, int fromDay, int toDay) const {
  if (s.dividend <= 0 || s.type == SecurityType::Index || s.type == SecurityType::Future) return {};
  const int firstMonth = 1 + static_cast<int>(Trait(s, 3) * 3);
  const int dayOfMonth = 5 + static_cast<int>(Trait(s, 4) * 20);
  return QuarterlyDays(firstMonth, dayOfMonth, fromDay, toDay);
}

std::vector<int> PriceModel::EarningsDays(const Security& s, int fromDay, int toDay) const {
  if (s.type != SecurityType::Stock) return {};
  return QuarterlyDays(1, 14 + static_cast<int>(Trait(s, 5) * 14), fromDay, toDay);
}
