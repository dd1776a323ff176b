#include "service/text_format.h"

#include <date/date.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

std::string FormatFixed(double value, int decimals) {
  char buf[400];  // room for the largest double written out in full
  const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "0";
  return std::string(buf, result.ptr);
}

std::string FormatSignedFixed(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double rounded = std::round(value * scale) / scale;
  if (rounded == 0.0) return FormatFixed(0.0, decimals);
  std::string text = FormatFixed(rounded, decimals);
  return rounded > 0 ? "+" + text : text;
}

std::string FormatSignedPercent(double percent) {
  return FormatSignedFixed(percent, 2) + "%";
}

std::string FormatGrouped(int64_t value) {
  const bool negative = value < 0;
  std::string digits = std::to_string(negative ? -value : value);
  std::string out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

std::string FormatMagnitude(double value) {
  if (value >= 1e9) return FormatFixed(value / 1e9, 1) + "B";
  if (value >= 1e6) return FormatFixed(value / 1e6, 1) + "M";
  if (value >= 1e3) return FormatFixed(value / 1e3, 1) + "K";
  return FormatFixed(value, 0);
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string FormatDay(int day, const char* format) {
  return date::format(format, date::sys_days{date::days{day}});
}

std::string FormatMonthDay(int day) {
  int y, m, d;
  SplitDay(day, y, m, d);
  return FormatDay(day, "%b ") + std::to_string(d);
}

std::string FormatUsDate(int day) {
  int y, m, d;
  SplitDay(day, y, m, d);
  return std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y);
}

std::string FormatHeadingDay(int day) {
  int y, m, d;
  SplitDay(day, y, m, d);
  return FormatDay(day, "%a, %b ") + std::to_string(d) + ", " + std::to_string(y);
}

std::string FormatIsoDay(int day) {
  return FormatDay(day, "%Y-%m-%d");
}

std::string FormatClockTime(int minuteOfDay) {
  const int hour = minuteOfDay / 60 % 24;
  const int minute = minuteOfDay % 60;
  const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d:%02d%s", hour12, minute, hour < 12 ? "am" : "pm");
  return buf;
}

bool MakeDay(int year, int month, int dayOfMonth, int& day) {
  if (month < 1 || month > 12 || dayOfMonth < 1 || dayOfMonth > 31) return false;
  const date::year_month_day ymd{date::year{year}, date::month{static_cast<unsigned>(month)},
                                 date::day{static_cast<unsigned>(dayOfMonth)}};
  if (!ymd.ok()) return false;
  day = static_cast<int>(date::sys_days{ymd}.time_since_epoch().count());
  return true;
}

void SplitDay(int day, int& year, int& month, int& dayOfMonth) {
  const date::year_month_day ymd{date::sys_days{date::days{day}}};
  year = static_cast<int>(ymd.year());
  month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  dayOfMonth = static_cast<int>(static_cast<unsigned>(ymd.day()));
}
