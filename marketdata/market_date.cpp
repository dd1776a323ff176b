#include "marketdata/market_date.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>

static const std::array<const char*, 12> kMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int DaysInMonth(int month, int year) {
  switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
      return 31;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    case 2: {
      bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
      return leap ? 29 : 28;
    }
    default:
      return 0;
  }
}

int MonthFromAbbreviation(const std::string& word) {
  for (size_t i = 0; i < kMonthNames.size(); ++i) {
    if (word == kMonthNames[i]) return static_cast<int>(i) + 1;
  }
  return 0;
}

bool LocalMidnight(int year, int month, int day, int64_t* out) {
  // The upper year bound only keeps tm_year and time_t arithmetic far from overflow.
  if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_isdst = -1;
  errno = 0;
  std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1) && errno != 0) return false;
  *out = static_cast<int64_t>(t);
  return true;
}

std::string FormatDayText(int64_t seconds) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (!localtime_r(&t, &tm) || tm.tm_mon < 0 || tm.tm_mon > 11) return {};
  char buf[48];
  std::snprintf(buf, sizeof buf, "%d-%s-%d", tm.tm_mday, kMonthNames[tm.tm_mon], tm.tm_year + 1900);
  return buf;
}

std::string SpanQuery(int fromYear, int fromMonth, int fromDay, int toYear, int toMonth, int toDay) {
  return "&a=" + std::to_string(fromMonth - 1) + "&b=" + std::to_string(fromDay) +
         "&c=" + std::to_string(fromYear) + "&d=" + std::to_string(toMonth - 1) +
         "&e=" + std::to_string(toDay) + "&f=" + std::to_string(toYear);
}
