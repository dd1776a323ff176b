#pragma once

#include "service/trading_calendar.h"

#include <string>
#include <vector>

class Market;
struct PageRequest;
struct Security;
struct ServiceResponse;

// A news item the service writes about a security's own price moves, dividends and earnings.
struct Headline {
  int day = 0;
  int minute = 0;  // local minutes after midnight
  int number = 0;  // position among the day's items, part of the article's address
  std::string title;
  std::string source;
  std::string body;
};

inline constexpr int kHeadlineDaysPerPage = 5;
inline constexpr int kHeadlineHistoryDays = 365;

// The security's headlines of the last year up to `now`, newest first.
std::vector<Headline> MakeHeadlines(const Market& market, const Security& security, SysSeconds now);

// GET /q/h?s=SYM[&t=YYYYMMDD] : headlines grouped by date, newest first, kHeadlineDaysPerPage dates a
// page, with a link to the older ones; "No headlines to display." when there are none.
ServiceResponse HeadlinesPage(const Market& market, const PageRequest& request);
// GET /n/SYM/YYYYMMDD-N.html : the article of one headline.
ServiceResponse ArticlePage(const Market& market, const PageRequest& request);
