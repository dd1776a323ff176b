#include "service/trading_calendar.h"

#include "service/exchange_info.h"
#include "service/text_format.h"

#include <date/tz.h>

const date::time_zone* FindTimeZone(const char* name) {
  try {
    return date::locate_zone(name);
  } catch (const std::exception&) {
    return nullptr;
  }
}

TradingCalendar::TradingCalendar(const ExchangeInfo& exchange)
    : exchange(exchange), zone(FindTimeZone(exchange.timeZone)) {}

bool TradingCalendar::IsTradingDay(int day) {
  const date::weekday wd{date::sys_days{date::days{day}}};
  if (wd == date::Saturday || wd == date::Sunday) return false;
  int y, m, d;
  SplitDay(day, y, m, d);
  return !(m == 1 && d == 1) && !(m == 12 && d == 25);
}

int TradingCalendar::PreviousTradingDay(int day) {
  do {
    --day;
  } while (!IsTradingDay(day));
  return day;
}

int TradingCalendar::NextTradingDay(int day) {
  do {
    ++day;
  } while (!IsTradingDay(day));
  return day;
}

SysSeconds TradingCalendar::LocalToSys(int day, int minute) const {
  const date::local_seconds local{date::local_days{date::days{day}} + std::chrono::minutes{minute}};
  if (zone == nullptr) return SysSeconds{local.time_since_epoch()};
  // Sessions never start inside a daylight-saving gap; earliest keeps ambiguous hours defined.
  return zone->to_sys(local, date::choose::earliest);
}

SysSeconds TradingCalendar::OpenTime(int day) const {
  return LocalToSys(day, exchange.openMinute);
}

SysSeconds TradingCalendar::CloseTime(int day) const {
  return LocalToSys(day, exchange.closeMinute);
}

void TradingCalendar::LocalTime(SysSeconds at, int& day, int& minute) const {
  date::local_seconds local{at.time_since_epoch()};
  if (zone != nullptr) local = zone->to_local(at);
  const date::local_days localDay = date::floor<date::days>(local);
  day = static_cast<int>(localDay.time_since_epoch().count());
  minute = static_cast<int>(std::chrono::duration_cast<std::chrono::minutes>(local - localDay).count());
}

std::string TradingCalendar::ZoneAbbreviation(SysSeconds at) const {
  if (zone == nullptr) return "UTC";
  return zone->get_info(at).abbrev;
}

SessionState TradingCalendar::State(SysSeconds now) const {
  SessionState s;
  LocalTime(now, s.localDay, s.localMinute);
  s.sessionMinutes = exchange.closeMinute - exchange.openMinute;
  const bool tradingToday = IsTradingDay(s.localDay);
  if (tradingToday && now >= OpenTime(s.localDay)) {
    s.quoteDay = s.localDay;
    const SysSeconds close = CloseTime(s.localDay);
    s.inSession = now < close;
    const auto elapsed = std::chrono::duration_cast<std::chrono::minutes>(now - OpenTime(s.localDay)).count();
    s.elapsedMinutes = static_cast<int>(std::min<int64_t>(elapsed, s.sessionMinutes));
    if (s.inSession) {
      s.minutesToClose = std::chrono::ceil<std::chrono::minutes>(close - now).count();
      return s;
    }
  } else {
    s.quoteDay = PreviousTradingDay(s.localDay);
    s.elapsedMinutes = s.sessionMinutes;
  }
  const int nextDay = tradingToday && now < OpenTime(s.localDay) ? s.localDay : NextTradingDay(s.localDay);
  // Rounded up, so the last seconds before the open still read "open in 1 min".
  s.minutesToOpen = std::chrono::ceil<std::chrono::minutes>(OpenTime(nextDay) - now).count();
  return s;
}
