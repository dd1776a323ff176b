#pragma once

// What a chart shows: its span, size, moving averages and index overlays.
class ChartProviderParams {
 public:
  virtual ~ChartProviderParams() = default;

  // 0 intraday, 1 last week, 2 last month, 3 three months, 4 six months, 5 last year, 6 three years,
  // 7 five years, 8 ten years.
  int period = 0;
  bool sizeOne = true;  // size 1, else size 2
  bool movingAverage50 = false;
  bool movingAverage200 = false;
  bool compareDJIA = false;
  bool compareNASDAQ = false;
  bool compareSP500 = false;
};
