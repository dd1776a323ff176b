#pragma once
#include <cstdint>
#include <ctime>
#include <memory>

// Where "now" and the local time zone come from for the cell texts (durations, dates, years held).
// The application uses the system clock; tests and the command line install a fixed one.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t Now() const = 0;  // seconds since 1970 UTC
  // The local calendar time of `t`; false when it cannot be represented.
  [[nodiscard]] virtual bool ToLocalTime(int64_t t, std::tm& out) const = 0;
};

// The machine's clock and time zone.
class SystemClock : public Clock {
 public:
  int64_t Now() const override;
  [[nodiscard]] bool ToLocalTime(int64_t t, std::tm& out) const override;
};

// A set moment in a zone with a fixed offset from UTC (no daylight saving).
class FixedClock : public Clock {
 public:
  explicit FixedClock(int64_t now, int32_t utcOffsetSeconds = 0) : now(now), utcOffset(utcOffsetSeconds) {}
  void SetNow(int64_t t) { now = t; }
  int64_t Now() const override { return now; }
  [[nodiscard]] bool ToLocalTime(int64_t t, std::tm& out) const override;

 private:
  int64_t now;
  int32_t utcOffset;
};

// The clock in use; the system clock until another is installed.
const Clock& GetClock();
// Installs `clock` (null puts the system clock back).
void SetClock(std::shared_ptr<const Clock> clock);

// The user's calendar day now: the day number (days since 1970-01-01, see calendar_date.h) of the installed
// clock's local date. Purchase and sale dates are days; spans and "later than today" count in these.
int64_t TodayDayNumber();

// Installs a clock for the life of the guard and puts the previous one back afterwards.
class ScopedClock {
 public:
  explicit ScopedClock(std::shared_ptr<const Clock> clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  std::shared_ptr<const Clock> previous;
};
