#include "ui/marketdata/performance_chart.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QChart>
#include <QDate>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kJulianDayOf1970 = 2440588;

// The top of the money axis: the largest amount rounded up to a round number (1, 1.2, 1.5, 2, 2.5, 3, 4, 5,
// 6 or 8 times a power of ten), so the grid lines fall on round amounts without wasting half the height.
double RoundCeiling(double value) {
  if (value <= 0) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (double step : {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0}) {
    if (value <= step * power) return step * power;
  }
  return 10 * power;
}

// A screen reader announces the chart as a chart, by its name; the figures it draws are in the window as
// text.
QAccessibleInterface* ChartAccessibleFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("PerformanceChart") || object == nullptr || !object->isWidgetType()) {
    return nullptr;
  }
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
}

}  // namespace

QDate DateOfDay(int64_t day) {
  return QDate::fromJulianDay(day + kJulianDayOf1970);
}
int64_t DayOfDate(const QDate& date) {
  return date.toJulianDay() - kJulianDayOf1970;
}

PerformanceChart::PerformanceChart(QWidget* parent) : QChartView(parent) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(ChartAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  auto* chart = new QChart;
  chart->setBackgroundRoundness(0);
  chart->legend()->setAlignment(Qt::AlignBottom);
  value = new QLineSeries(chart);
  value->setName(QStringLiteral("Value"));
  invested = new QLineSeries(chart);
  invested->setName(QStringLiteral("Invested capital"));
  QPen dashed = invested->pen();
  dashed.setStyle(Qt::DashLine);
  invested->setPen(dashed);
  chart->addSeries(value);
  chart->addSeries(invested);
  dates = new QDateTimeAxis(chart);
  dates->setFormat(QStringLiteral("MMM yyyy"));
  dates->setTickCount(6);
  money = new QValueAxis(chart);
  money->setLabelFormat(QStringLiteral("%.0f"));
  money->setMin(0);
  chart->addAxis(dates, Qt::AlignBottom);
  chart->addAxis(money, Qt::AlignLeft);
  for (QLineSeries* line : {value, invested}) {
    line->attachAxis(dates);
    line->attachAxis(money);
  }
  setChart(chart);
  setRenderHint(QPainter::Antialiasing);
}

void PerformanceChart::SetPoints(const std::vector<PerformancePoint>& points) {
  QList<QPointF> values, capital;
  values.reserve(static_cast<qsizetype>(points.size()));
  capital.reserve(static_cast<qsizetype>(points.size()));
  double top = 0;
  for (const PerformancePoint& p : points) {
    const double x = static_cast<double>(DateOfDay(p.day).startOfDay().toMSecsSinceEpoch());
    values.append({x, static_cast<double>(p.valueCents) / 100.0});
    capital.append({x, static_cast<double>(p.investedCents) / 100.0});
    top = std::max({top, values.back().y(), capital.back().y()});
  }
  value->replace(values);
  invested->replace(capital);
  if (points.empty()) return;
  const QDate first = DateOfDay(points.front().day), last = DateOfDay(points.back().day);
  // Short spans show days; longer ones months.
  dates->setFormat(first.daysTo(last) <= 92 ? QStringLiteral("d MMM") : QStringLiteral("MMM yyyy"));
  dates->setRange(first.startOfDay(), std::max(last, first.addDays(1)).startOfDay());
  money->setRange(0, RoundCeiling(top * 1.05));
}

int PerformanceChart::PointCount() const {
  return static_cast<int>(value->count());
}
