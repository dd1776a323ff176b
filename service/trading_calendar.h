#pragma once

#include <date/date.h>

#include <cstdint>
#include <string>

struct ExchangeInfo;
namespace date {
class time_zone;
}

using SysSeconds = date::sys_seconds;

// Where an exchange's clock stands at one instant.
struct SessionState {
  int localDay = 0;        // the exchange's calendar date
  int localMinute = 0;     // minutes after the exchange's local midnight
  int quoteDay = 0;        // latest trading day whose session has begun
  bool inSession = false;  // quoteDay's regular session is running now
  int elapsedMinutes = 0;  // minutes of quoteDay's session that have passed, at most sessionMinutes
  int sessionMinutes = 0;
  int64_t minutesToOpen = 0;   // outside the session: until the next open
  int64_t minutesToClose = 0;  // inside the session: until the close
};

// Trading days and session times of one exchange in its own time zone (the system's time-zone
// database decides daylight saving). Trading days are Monday to Friday except 1 January and
// 25 December on every exchange; other holidays are not modelled.
class TradingCalendar {
 public:
  explicit TradingCalendar(const ExchangeInfo& exchange);

  // False when the exchange's zone is missing from the time-zone database.
  bool Valid() const { return zone != nullptr; }
  static bool IsTradingDay(int day);
  static int PreviousTradingDay(int day);  // strictly before
  static int NextTradingDay(int day);      // strictly after

  SysSeconds OpenTime(int day) const;
  SysSeconds CloseTime(int day) const;
  SessionState State(SysSeconds now) const;
  // Abbreviation of the zone at that instant, e.g. "EST", "GMT".
  std::string ZoneAbbreviation(SysSeconds at) const;
  // The zone's local time of an instant: day number and minutes after midnight.
  void LocalTime(SysSeconds at, int& day, int& minute) const;
  const ExchangeInfo& Exchange() const { return exchange; }

 private:
  SysSeconds LocalToSys(int day, int minute) const;

  const ExchangeInfo& exchange;
  const date::time_zone* zone = nullptr;
};

// The zone of that name, or null when the time-zone database does not have it.
const date::time_zone* FindTimeZone(const char* name);
