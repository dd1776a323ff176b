#pragma once
// Database files of any size, written the way the application saves them, for the benchmarks and the
// tests. The positions are written one at a time, so a store of a million positions needs little memory.
#include <cstdint>
#include <string>

class StockInfo;

struct SampleStoreShape {
  int portfolios = 100;
  int positions = 10000;
  int quotes = 2000;
  // A few values per field (prices, quantities, dates, names), so most sort keys are shared by many
  // positions, scattered through the file.
  bool ties = false;
  // Cash positions, margin debts, sold positions, index symbols, unknown symbols and targets among the
  // held stock positions.
  bool mixed = false;
  // Every stock position holds a fraction of a share and prices with fractions of a cent (the exact form
  // of the record, and the database's later version).
  bool fractional = false;
};

// A quote with every figure filled in, different for each `i`.
void FillSampleQuote(StockInfo& q, int i);

// Writes the store of `shape` at `path` (replacing any file there). The portfolios are numbered from 1;
// position i (from 0) belongs to portfolio i % portfolios + 1. False when the file cannot be written.
bool WriteSampleStore(const std::string& path, const SampleStoreShape& shape);

// The plain shape: held stock positions only, every figure different.
inline bool WriteSampleStore(const std::string& path, int portfolios, int positions, int quotes) {
  return WriteSampleStore(path, SampleStoreShape{portfolios, positions, quotes, false, false});
}
