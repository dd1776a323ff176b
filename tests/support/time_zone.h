#pragma once
// Runs a stretch of a test in another time zone (TZ), putting the previous zone back afterwards.
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "portfolio/columns/clock.h"

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (previous) {
      ::setenv("TZ", previous->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous;
};

// Local midnight of a day in the current zone, as versions before calendar days stored a date.
inline int64_t LocalMidnightHere(int year, int month, int day) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

// A set moment read in the current zone (TZ), daylight saving included.
class ZoneClock : public Clock {
 public:
  explicit ZoneClock(int64_t now) : now(now) {}
  int64_t Now() const override { return now; }
  bool ToLocalTime(int64_t t, std::tm& out) const override {
    const std::time_t tt = static_cast<std::time_t>(t);
    return localtime_r(&tt, &out) != nullptr;
  }

 private:
  int64_t now;
};

// The zones the date tests read and write in: far east, UTC, far west, and beyond UTC+12 in March.
inline constexpr const char* kTestZones[] = {"Asia/Tokyo", "Europe/London", "America/Los_Angeles",
                                             "Pacific/Auckland"};
