#pragma once

#include <string>
#include <vector>

// One line of a chart: a value per point of the chart's time axis.
struct ChartLine {
  std::string label;
  std::vector<double> values;
  int rgb = 0x0000cc;
};

// A label under the time axis at one point index.
struct ChartTick {
  size_t index = 0;
  std::string label;
};

// What to draw; the renderer knows nothing of markets.
struct ChartPlan {
  int width = 360;
  int height = 270;
  std::string title;
  std::string subtitle;
  bool percent = false;  // values are percent changes; the axis shows "+10%"
  size_t pointCount = 0;
  std::vector<ChartLine> lines;
  std::vector<ChartTick> ticks;
  std::string message;  // drawn instead of lines when there is nothing to show
};

// The chart as a GIF image (libgd). Sizes are clamped to 120..1200 by 80..900 pixels.
std::string RenderChartGif(const ChartPlan& plan);
