#pragma once

#include "service/chart_renderer.h"
#include "service/chart_request.h"

class Market;
struct PageRequest;
struct ServiceResponse;

// The lines, axis ticks and titles of a chart query at the clock `now`. Comparisons turn every line
// into its percent change from the first point; moving averages are drawn on daily charts only.
ChartPlan BuildChart(const Market& market, const ChartQuery& query, SysSeconds now);

// Serves both chart URL forms as GIF images; an unknown symbol gets a 404 with an image that says so.
ServiceResponse ChartPage(const Market& market, const PageRequest& request);
