#pragma once
#include <cstdint>
#include <string>

// Writes a database file of `portfolios` portfolios holding `positions` stock positions over `quotes`
// cached quotes with filled-in figures, as the application would have saved it.
bool WriteSampleStore(const std::string& path, int portfolios, int positions, int quotes);
