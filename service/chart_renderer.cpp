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
  const int top = titleFont->h + 8;
  const int left = 4;
  const int right = width - 8 * labelFont->w - 4;
  const int bottom = height - labelFont->h - 4;
  gdImageRectangle(im, left, top, right, bottom, black);

  double low = HUGE_VAL, high = -HUGE_VAL;
  for (const ChartLine& line : plan.lines) {
    for (double v : line.values) {
      if (!std::isfinite(v)) continue;
      low = std::min(low, v);
      high = std::max(high, v);
    }
  }
  if (plan.pointCount == 0 || !std::isfinite(low) || !plan.message.empty()) {
    const std::string message = plan.message.empty() ? "No data" : plan.message;
    Text(im, labelFont, (left + right - labelFont->w * static_cast<int>(message.size())) / 2,
         (top + bottom - labelFont->h) / 2, message, black);
    return GifBytes(im);
  }
  if (high - low < 1e-9) {
    high += 0.5;
    low -= 0.5;
  }
  const double step = NiceStep(high - low, std::max(2, (bottom - top) / 40));
  low = std::floor(low / step) * step;
  high = std::ceil(high / step) * step;
  auto yOf = [&](double v) {
    return bottom - 1 - static_cast<int>(std::lround((v - low) / (high - low) * (bottom - top - 2)));
  };
  const size_t n = plan.pointCount;
  auto xOf = [&](size_t i) {
    return n <= 1 ? (left + right) / 2
                  : left + 1 + static_cast<int>(std::lround(double(i) / double(n - 1) * (right - left - 2)));
  };

  for (double v = low; v <= high + step / 2; v += step) {
    const int y = yOf(v);
    if (y > top && y < bottom) gdImageLine(im, left + 1, y, right - 1, y, grid);
    Text(im, labelFont, right + 3, y - labelFont->h / 2, AxisLabel(v, step, plan.percent), black);
  }
  int lastLabelEnd = -1000;
  for (const ChartTick& tick : plan.ticks) {
    if (tick.index >= n) continue;
    const int x = xOf(tick.index);
    gdImageLine(im, x, top + 1, x, bottom - 1, grid);
    const int textX = std::clamp(x - labelFont->w * static_cast<int>(tick.label.size()) / 2, 0, width - 1);
    if (textX <= lastLabelEnd + labelFont->w) continue;  // labels never overlap
    Text(im, labelFont, textX, bottom + 2, tick.label, black);
    lastLabelEnd = textX + labelFont->w * static_cast<int>(tick.label.size());
  }

  int legendX = left + 4;
  int legendY = top + 3;
  for (const ChartLine& line : plan.lines) {
    const int color = Color(im, line.rgb);
    bool penDown = false;
    int px = 0, py = 0;
    for (size_t i = 0; i < line.values.size() && i < n; ++i) {
      if (!std::isfinite(line.values[i])) {
        penDown = false;
        continue;
      }
      const int x = xOf(i), y = yOf(line.values[i]);
      if (penDown) gdImageLine(im, px, py, x, y, color);
      px = x;
      py = y;
      penDown = true;
    }
    if (plan.lines.size() > 1 && !line.label.empty()) {
      // An entry that does not fit beside the others starts a new row inside the plot.
      const int entryWidth = 13 + labelFont->w * static_cast<int>(line.label.size());
      if (legendX > left + 4 && legendX + entryWidth > right - 2) {
        legendX = left + 4;
        legendY += labelFont->h + 1;
      }
      gdImageFilledRectangle(im, legendX, legendY + 1 + labelFont->h / 2 - 1, legendX + 10,
                             legendY + 2 + labelFont->h / 2, color);
      Text(im, labelFont, legendX + 13, legendY, line.label, color);
      legendX += entryWidth + 2 * labelFont->w;
    }
  }
  return GifBytes(im);
}
