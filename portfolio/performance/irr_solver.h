#pragma once
#include <cstdint>
#include <optional>
#include <vector>

// One payment of a money-weighted return: negative when money goes in, positive when it comes out.
struct CashFlow {
  int64_t day = 0;  // days since 1970-01-01
  int64_t cents = 0;
};

// The annual rate r > -1 that solves sum of flow x (1 + r)^(-t / 365) = 0, t the days since the first flow,
// found to 1e-7. The search looks outward from 0 for the first change of sign of that sum and narrows it by
// bisection, so where several rates solve the sum the one nearest 0 is found. No rate (flows of one sign
// only, all on one day, or a sum that changes sign nowhere in the search) gives
// nullopt: there is no rate to report, and none is made up.
std::optional<double> SolveIrr(const std::vector<CashFlow>& flows);
