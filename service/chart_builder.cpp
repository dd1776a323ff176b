#include "service/chart_builder.h"

#include "service/market.h"
#include "service/service_response.h"
#include "service/text_format.h"

#include <algorithm>
#include <cmath>
#include <limits>

static const double kNaN = std::numeric_limits<double>::quiet_NaN();
static const int kPrimaryColor = 0x0000cc;
static const int kAverageColors[] = {0xff8800, 0x008800};
// No comparison shares a colour with an average: both can be on one chart.
static const int kCompareColors[] = {0xcc0000, 0x880088, 0x00a0a0, 0x886600, 0x666666, 0xaa0066, 0x0088ff};

// One point of the time axis: a day, and for intraday charts the instant within it.
struct AxisPoint {
  int day = 0;
  SysSeconds time{};
};

static int WeekKey(int day) {
  return (day + 3) / 7;
}  // weeks starting on Monday
static int MonthKey(int day) {
  int y, m, d;
  SplitDay(day, y, m, d);
  return y * 12 + m;
}

// Keeps the last bar of each week or month (the whole bar list for daily charts).
static std::vector<size_t> SampleBars(const std::vector<DailyBar>& bars, size_t first, ChartFrequency f) {
  std::vector<size_t> out;
  for (size_t i = first; i < bars.size(); ++i) {
    const bool lastOfGroup =
        i + 1 == bars.size() ||
        (f == ChartFrequency::Weekly && WeekKey(bars[i + 1].day) != WeekKey(bars[i].day)) ||
        (f == ChartFrequency::Monthly && MonthKey(bars[i + 1].day) != MonthKey(bars[i].day)) ||
        (f != ChartFrequency::Weekly && f != ChartFrequency::Monthly);
    if (lastOfGroup) out.push_back(i);
  }
  return out;
}

static std::vector<ChartTick> DailyTicks(const std::vector<AxisPoint>& axis, int calendarDays) {
  std::vector<ChartTick> ticks;
  for (size_t i = 1; i < axis.size(); ++i) {
    const int a = axis[i - 1].day, b = axis[i].day;
    int ya, ma, da, yb, mb, db;
    SplitDay(a, ya, ma, da);
    SplitDay(b, yb, mb, db);
    if (calendarDays <= 40) {
      if (WeekKey(a) != WeekKey(b)) ticks.push_back({i, FormatMonthDay(b)});
    } else if (calendarDays <= 200) {
      if (ma != mb) ticks.push_back({i, FormatDay(b, "%b")});
    } else if (calendarDays <= 800) {
      if (ma != mb && (mb - 1) % (calendarDays <= 400 ? 1 : 3) == 0) ticks.push_back({i, FormatDay(b, "%b")});
    } else if (ya != yb && (calendarDays <= 4000 || yb % 5 == 0)) {
      ticks.push_back({i, std::to_string(yb)});
    }
  }
  return ticks;
}

static double PercentFrom(double base, double v) {
  return std::isfinite(v) && base > 0 ? (v / base - 1.0) * 100.0 : kNaN;
}

static double FirstFinite(const std::vector<double>& values) {
  for (double v : values) {
    if (std::isfinite(v)) return v;
  }
  return kNaN;
}

// Percent change from `base`, or from the line's own first value.
static void ToPercent(ChartLine& line, double base = kNaN) {
  if (!std::isfinite(base)) base = FirstFinite(line.values);
  for (double& v : line.values) v = PercentFrom(base, v);
}

static std::vector<double> IntradayValues(const Market& market, const Security& s,
                                          const std::vector<AxisPoint>& axis, SysSeconds now) {
  std::vector<double> values(axis.size(), kNaN);
  int day = -1;
  std::vector<IntradayPoint> points;
  size_t k = 0;
  for (size_t i = 0; i < axis.size(); ++i) {
    if (axis[i].day != day) {
      day = axis[i].day;
      points = market.Intraday(s, day, now);
      k = 0;
    }
    while (k + 1 < points.size() && points[k + 1].time <= axis[i].time) ++k;
    // A closed market keeps its last price; nothing is drawn beyond the clock.
    if (!points.empty() && points[k].time <= axis[i].time && axis[i].time <= now) values[i] = points[k].price;
  }
  return values;
}

static std::vector<double> DailyValues(const Market& market, const Security& s,
                                       const std::vector<AxisPoint>& axis, SysSeconds now) {
  std::vector<double> values(axis.size(), kNaN);
  if (axis.empty()) return values;
  const SecuritySnapshot snap = market.Snapshot(s, axis.front().day - 10, now);
  size_t k = 0;
  for (size_t i = 0; i < axis.size(); ++i) {
    while (k + 1 < snap.bars.size() && snap.bars[k + 1].day <= axis[i].day) ++k;
    if (!snap.bars.empty() && snap.bars[k].day <= axis[i].day) values[i] = snap.bars[k].close;
  }
  return values;
}

static void AddIntradayTick(const Market& market, const Security& s, const ChartQuery& q, int day,
                            SysSeconds at, size_t minuteOfSession, size_t index, ChartPlan& plan) {
  if (q.sessions > 1) {
    if (minuteOfSession == 0) plan.ticks.push_back({index, FormatDay(day, "%a")});
    return;
  }
  int localDay, minute;
  market.Calendar(s).LocalTime(at, localDay, minute);
  if (minute % 60 != 0 || minuteOfSession == 0) return;
  std::string label = FormatClockTime(minute);
  label.erase(label.find(':'), 3);  // "10am"
  plan.ticks.push_back({index, label});
}

static void BuildIntraday(const Market& market, const Security& s, const ChartQuery& q, SysSeconds now,
                          ChartPlan& plan, std::vector<AxisPoint>& axis, ChartLine& primary) {
  const SessionState state = market.Calendar(s).State(now);
  std::vector<int> days = {state.quoteDay};
  while (static_cast<int>(days.size()) < q.sessions)
    days.insert(days.begin(), TradingCalendar::PreviousTradingDay(days.front()));
  const int step = q.frequency == ChartFrequency::FiveMinutes ? 5 : 15;
  for (int day : days) {
    const auto points = market.Intraday(s, day, now);
    for (size_t i = 0; i < points.size(); ++i) {
      if (i % step != 0 && i + 1 != points.size()) continue;
      AddIntradayTick(market, s, q, day, points[i].time, i, axis.size(), plan);
      axis.push_back({day, points[i].time});
      primary.values.push_back(points[i].price);
    }
  }
  // A running session keeps its full width; the line simply ends at the clock.
  const SysSeconds close = market.Calendar(s).CloseTime(state.quoteDay);
  if (state.inSession && !axis.empty() && axis.back().day == state.quoteDay) {
    const int elapsed = state.elapsedMinutes;
    for (int minute = (elapsed / step + 1) * step; minute <= state.sessionMinutes; minute += step) {
      const SysSeconds at = market.Calendar(s).OpenTime(state.quoteDay) + std::chrono::minutes{minute};
      if (at > close) break;
      AddIntradayTick(market, s, q, state.quoteDay, at, minute, axis.size(), plan);
      axis.push_back({state.quoteDay, at});
      primary.values.push_back(kNaN);
    }
  }
  if (!days.empty()) plan.subtitle = FormatHeadingDay(days.back());
}

static void BuildDaily(const Market& market, const Security& s, const ChartQuery& q, SysSeconds now,
                       ChartPlan& plan, std::vector<AxisPoint>& axis, ChartLine& primary,
                       std::vector<ChartLine>& averages) {
  int longest = 0;
  for (int n : q.movingAverages) longest = std::max(longest, n);
  const int localDay = market.Calendar(s).State(now).localDay;
  const int firstShown = std::max(localDay - q.calendarDays, PriceModel::FirstDay());
  const SecuritySnapshot snap = market.Snapshot(s, firstShown - longest * 7 / 5 - 10, now);
  const auto& bars = snap.bars;
  const size_t first = std::lower_bound(bars.begin(), bars.end(), firstShown,
                                        [](const DailyBar& b, int day) { return b.day < day; }) -
                       bars.begin();
  const auto sample = SampleBars(bars, first, q.frequency);
  for (size_t i : sample) {
    axis.push_back({bars[i].day, {}});
    primary.values.push_back(bars[i].close);
  }
  plan.ticks = DailyTicks(axis, q.calendarDays);
  for (size_t a = 0; a < q.movingAverages.size() && a < 2; ++a) {
    const int n = q.movingAverages[a];
    ChartLine line{std::to_string(n) + "-day avg", {}, kAverageColors[a]};
    double sum = 0;
    std::vector<double> average(bars.size(), kNaN);
    for (size_t i = 0; i < bars.size(); ++i) {
      sum += bars[i].close;
      if (i >= static_cast<size_t>(n)) sum -= bars[i - n].close;
      if (i + 1 >= static_cast<size_t>(n)) average[i] = sum / n;
    }
    for (size_t i : sample) line.values.push_back(average[i]);
    averages.push_back(std::move(line));
  }
  if (!bars.empty())
    plan.subtitle = FormatMonthDay(bars[first < bars.size() ? first : 0].day) + ", " +
                    FormatDay(bars[first < bars.size() ? first : 0].day, "%Y") + " - " +
                    FormatMonthDay(bars.back().day) + ", " + FormatDay(bars.back().day, "%Y");
}

ChartPlan BuildChart(const Market& market, const ChartQuery& q, SysSeconds now) {
  ChartPlan plan;
  plan.width = q.width;
  plan.height = q.height;
  const Security* s = market.Securities().Find(q.symbol);
  if (s == nullptr) {
    plan.title = q.symbol;
    plan.message = "Symbol " + q.symbol + " not found";
    return plan;
  }
  plan.title = s->symbol + "  " + s->name;
  std::vector<AxisPoint> axis;
  ChartLine primary{s->symbol, {}, kPrimaryColor};
  std::vector<ChartLine> averages;
  const bool intraday = q.sessions > 0 && s->type != SecurityType::MutualFund;
  if (intraday) {
    BuildIntraday(market, *s, q, now, plan, axis, primary);
  } else {
    ChartQuery daily = q;
    if (q.sessions > 0) daily.calendarDays = 10;
    BuildDaily(market, *s, daily, now, plan, axis, primary, averages);
  }
  plan.pointCount = axis.size();
  if (axis.empty()) {
    plan.message = "No prices for this period";
    return plan;
  }
  plan.percent = !q.compare.empty();
  const double base = FirstFinite(primary.values);
  plan.lines.push_back(std::move(primary));
  if (!plan.percent) {
    for (ChartLine& line : averages) plan.lines.push_back(std::move(line));
    return plan;
  }
  for (size_t i = 0; i < q.compare.size(); ++i) {
    const Security* other = market.Securities().Find(q.compare[i]);
    if (other == nullptr) continue;
    ChartLine line{
        other->symbol,
        intraday ? IntradayValues(market, *other, axis, now) : DailyValues(market, *other, axis, now),
        kCompareColors[i % std::size(kCompareColors)]};
    plan.lines.push_back(std::move(line));
  }
  for (ChartLine& line : plan.lines) ToPercent(line);
  // The averages belong to the symbol's line, so they are measured from its first price, not from theirs.
  for (size_t a = 0; a < averages.size(); ++a) {
    ToPercent(averages[a], base);
    plan.lines.insert(plan.lines.begin() + 1 + static_cast<std::ptrdiff_t>(a), std::move(averages[a]));
  }
  return plan;
}

ServiceResponse ChartPage(const Market& market, const PageRequest& request) {
  ChartQuery query;
  std::string error;
  const bool parsed = request.path == "/charts/big.chart"
                          ? ParseBigChartQuery(market, request.rawQuery, query, error)
                          : ParseQuoteChartRequest(market, request.path, request.rawQuery, query, error);
  if (!parsed) return BadRequest(error);
  const ChartPlan plan = BuildChart(market, query, market.Now());
  std::string gif = RenderChartGif(plan);
  if (gif.empty()) return {500, "text/plain", "chart could not be drawn\n"};
  const bool known = market.Securities().Find(query.symbol) != nullptr;
  return {known ? 200 : 404, "image/gif", std::move(gif)};
}
