#include "service/chart_renderer.h"

#include "service/text_format.h"

#include <gd.h>
#include <gdfontmb.h>
#include <gdfonts.h>
#include <gdfontt.h>

#include <algorithm>
#include <cmath>
#include <memory>

struct GdImageDeleter {
  void operator()(gdImage* image) const { gdImageDestroy(image); }
};
using GdImage = std::unique_ptr<gdImage, GdImageDeleter>;

static int Color(gdImagePtr image, int rgb) {
  return gdImageColorAllocate(image, (rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

static void Text(gdImagePtr image, gdFontPtr font, int x, int y, const std::string& text, int color) {
  gdImageString(image, font, x, y, reinterpret_cast<unsigned char*>(const_cast<char*>(text.c_str())), color);
}

// A step of 1, 2 or 5 times a power of ten giving about `count` intervals over the range.
static double NiceStep(double range, int count) {
  const double raw = range / std::max(count, 1);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double f = raw / power;
  return (f < 1.5 ? 1.0 : f < 3.5 ? 2.0 : f < 7.5 ? 5.0 : 10.0) * power;
}

static std::string AxisLabel(double value, double step, bool percent) {
  const int decimals = step >= 1.0 ? 0 : step >= 0.1 ? 1 : 2;
  if (percent) return FormatSignedFixed(value, decimals) + "%";
  if (std::fabs(value) >= 10000) return FormatGrouped(static_cast<int64_t>(std::llround(value)));
  return FormatFixed(value, decimals);
}

static std::string GifBytes(gdImagePtr image) {
  int size = 0;
  void* data = gdImageGifPtr(image, &size);
  if (data == nullptr) return {};
  std::string bytes(static_cast<const char*>(data), static_cast<size_t>(size));
  gdFree(data);
  return bytes;
}

// The plot area of a chart and how values and points map onto it.
struct PlotFrame {
  gdImagePtr im;
  gdFontPtr labelFont;
  int width, left, right, top, bottom;
  double low, high;
  size_t n;
  int YOf(double v) const {
    return bottom - 1 - static_cast<int>(std::lround((v - low) / (high - low) * (bottom - top - 2)));
  }
  int XOf(size_t i) const {
    return n <= 1 ? (left + right) / 2
                  : left + 1 + static_cast<int>(std::lround(double(i) / double(n - 1) * (right - left - 2)));
  }
};

// The lowest and highest finite value of every line; false when there is none.
static bool ValueRange(const ChartPlan& plan, double& low, double& high) {
  low = HUGE_VAL;
  high = -HUGE_VAL;
  for (const ChartLine& line : plan.lines) {
    for (double v : line.values) {
      if (!std::isfinite(v)) continue;
      low = std::min(low, v);
      high = std::max(high, v);
    }
  }
  return std::isfinite(low);
}

static void DrawGrid(const PlotFrame& f, const ChartPlan& plan, double step, int black, int grid) {
  for (double v = f.low; v <= f.high + step / 2; v += step) {
    const int y = f.YOf(v);
    if (y > f.top && y < f.bottom) gdImageLine(f.im, f.left + 1, y, f.right - 1, y, grid);
    Text(f.im, f.labelFont, f.right + 3, y - f.labelFont->h / 2, AxisLabel(v, step, plan.percent), black);
  }
  int lastLabelEnd = -1000;
  for (const ChartTick& tick : plan.ticks) {
    if (tick.index >= f.n) continue;
    const int x = f.XOf(tick.index);
    gdImageLine(f.im, x, f.top + 1, x, f.bottom - 1, grid);
    const int textX =
        std::clamp(x - f.labelFont->w * static_cast<int>(tick.label.size()) / 2, 0, f.width - 1);
    if (textX <= lastLabelEnd + f.labelFont->w) continue;  // labels never overlap
    Text(f.im, f.labelFont, textX, f.bottom + 2, tick.label, black);
    lastLabelEnd = textX + f.labelFont->w * static_cast<int>(tick.label.size());
  }
}

static void DrawLines(const PlotFrame& f, const ChartPlan& plan) {
  int legendX = f.left + 4;
  int legendY = f.top + 3;
  for (const ChartLine& line : plan.lines) {
    const int color = Color(f.im, line.rgb);
    bool penDown = false;
    int px = 0, py = 0;
    for (size_t i = 0; i < line.values.size() && i < f.n; ++i) {
      if (!std::isfinite(line.values[i])) {
        penDown = false;
        continue;
      }
      const int x = f.XOf(i), y = f.YOf(line.values[i]);
      if (penDown) gdImageLine(f.im, px, py, x, y, color);
      px = x;
      py = y;
      penDown = true;
    }
    if (plan.lines.size() > 1 && !line.label.empty()) {
      // An entry that does not fit beside the others starts a new row inside the plot.
      const int entryWidth = 13 + f.labelFont->w * static_cast<int>(line.label.size());
      if (legendX > f.left + 4 && legendX + entryWidth > f.right - 2) {
        legendX = f.left + 4;
        legendY += f.labelFont->h + 1;
      }
      gdImageFilledRectangle(f.im, legendX, legendY + 1 + f.labelFont->h / 2 - 1, legendX + 10,
                             legendY + 2 + f.labelFont->h / 2, color);
      Text(f.im, f.labelFont, legendX + 13, legendY, line.label, color);
      legendX += entryWidth + 2 * f.labelFont->w;
    }
  }
}

std::string RenderChartGif(const ChartPlan& plan) {
  const int width = std::clamp(plan.width, 120, 1200);
  const int height = std::clamp(plan.height, 80, 900);
  GdImage image(gdImageCreate(width, height));
  if (!image) return {};
  gdImagePtr im = image.get();
  const int white = Color(im, 0xffffff);  // the first colour allocated is the background
  const int black = Color(im, 0x000000);
  const int grid = Color(im, 0xdddddd);
  const int grey = Color(im, 0x666666);
  (void)white;
  gdFontPtr titleFont = width >= 300 ? gdFontGetMediumBold() : gdFontGetSmall();
  gdFontPtr labelFont = width >= 300 ? gdFontGetSmall() : gdFontGetTiny();

  // On a narrow chart the title gives way to the period: the symbol alone stays.
  std::string title = plan.title;
  const int subtitleWidth = labelFont->w * static_cast<int>(plan.subtitle.size());
  if (titleFont->w * static_cast<int>(title.size()) + subtitleWidth + 16 > width)
    title = title.substr(0, title.find("  "));
  Text(im, titleFont, 4, 2, title, black);
  if (titleFont->w * static_cast<int>(title.size()) + subtitleWidth + 16 <= width)
    Text(im, labelFont, width - 4 - subtitleWidth, 3, plan.subtitle, grey);
  PlotFrame f{im,
              labelFont,
              width,
              4,
              width - 8 * labelFont->w - 4,
              titleFont->h + 8,
              height - labelFont->h - 4,
              0,
              0,
              plan.pointCount};
  gdImageRectangle(im, f.left, f.top, f.right, f.bottom, black);

  if (plan.pointCount == 0 || !ValueRange(plan, f.low, f.high) || !plan.message.empty()) {
    const std::string message = plan.message.empty() ? "No data" : plan.message;
    Text(im, labelFont, (f.left + f.right - labelFont->w * static_cast<int>(message.size())) / 2,
         (f.top + f.bottom - labelFont->h) / 2, message, black);
    return GifBytes(im);
  }
  if (f.high - f.low < 1e-9) {
    f.high += 0.5;
    f.low -= 0.5;
  }
  const double step = NiceStep(f.high - f.low, std::max(2, (f.bottom - f.top) / 40));
  f.low = std::floor(f.low / step) * step;
  f.high = std::ceil(f.high / step) * step;
  DrawGrid(f, plan, step, black, grid);
  DrawLines(f, plan);
  return GifBytes(im);
}
