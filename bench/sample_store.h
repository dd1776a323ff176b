#pragma once
#include <cstdint>
#include <string>

class StockInfo;

// A quote with every figure filled in, different for each `i`.
void FillSampleQuote(StockInfo& q, int i);

// Writes a database file of `portfolios` portfolios holding `positions` stock positions over `quotes`
// cached quotes with filled-in figures, as the application would have saved it.
bool WriteSampleStore(const std::string& path, int portfolios, int positions, int quotes);
