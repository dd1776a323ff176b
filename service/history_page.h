#pragma once

#include <string_view>

class Market;
struct ServiceResponse;

// GET /table.csv?s=SYM&a=M0&b=D0&c=Y0&d=M1&e=D1&f=Y1&g=d : daily rows from the start to the end date
// (months 0-based), newest first. An unknown symbol gets the 404 error page, without the CSV header.
ServiceResponse HistoryCsvPage(const Market& market, std::string_view rawQuery);
