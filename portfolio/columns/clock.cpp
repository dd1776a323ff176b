#include "portfolio/columns/clock.h"

#include "portfolio/records/calendar_date.h"

namespace {
std::shared_ptr<const Clock>& Installed() {
  static std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>();
  return clock;
}
}  // namespace

int64_t SystemClock::Now() const {
  return static_cast<int64_t>(std::time(nullptr));
}

bool SystemClock::ToLocalTime(int64_t t, std::tm& out) const {
  const std::time_t tt = static_cast<std::time_t>(t);
  return localtime_r(&tt, &out) != nullptr;
}

bool FixedClock::ToLocalTime(int64_t t, std::tm& out) const {
  const std::time_t tt = static_cast<std::time_t>(t + utcOffset);
  return gmtime_r(&tt, &out) != nullptr;
}

int64_t TodayDayNumber() {
  const Clock& clock = GetClock();
  const int64_t now = clock.Now();
  std::tm local{};
  if (!clock.ToLocalTime(now, local)) return DayNumberOfStoredDate(now);
  return DayNumberOf(CalendarDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday});
}

const Clock& GetClock() {
  return *Installed();
}

void SetClock(std::shared_ptr<const Clock> clock) {
  Installed() = clock ? std::move(clock) : std::make_shared<SystemClock>();
}

ScopedClock::ScopedClock(std::shared_ptr<const Clock> clock) : previous(Installed()) {
  SetClock(std::move(clock));
}

ScopedClock::~ScopedClock() {
  SetClock(std::move(previous));
}
