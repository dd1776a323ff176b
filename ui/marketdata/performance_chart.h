#pragma once
#include <QChartView>
#include <cstdint>
#include <vector>

#include "portfolio/performance/performance_calculator.h"

class QDate;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

// The value and invested-capital lines of the performance window, one point per valuation day. The figures
// are also in the window as text; this is their picture.
class PerformanceChart : public QChartView {
  Q_OBJECT

 public:
  explicit PerformanceChart(QWidget* parent = nullptr);
  // Replaces both lines; no points empties the chart.
  void SetPoints(const std::vector<PerformancePoint>& points);
  int PointCount() const;

 private:
  QLineSeries* value = nullptr;
  QLineSeries* invested = nullptr;
  QDateTimeAxis* dates = nullptr;
  QValueAxis* money = nullptr;
};

// The calendar day of a day number (days since 1970-01-01), without any time zone in between.
QDate DateOfDay(int64_t day);
int64_t DayOfDate(const QDate& date);
