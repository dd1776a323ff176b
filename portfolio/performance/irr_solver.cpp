#include "portfolio/performance/irr_solver.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDaysPerYear = 365.0;
// The search runs over g = ln(1 + r) in steps that grow by kGrowth from kFirstStep, out to |g| of about 200:
// a short span that doubles or is nearly wiped out has an annual rate far from 0.
constexpr double kFirstStep = 0.01;
constexpr double kGrowth = 1.6;
constexpr int kSteps = 20;
constexpr double kTolerance =
    1e-9;  // width of the final bracket in r (relative above 1), inside the 1e-7 asked for

// The sign of the discounted sum at g (r = e^g - 1): -1, 0 or +1. The terms are scaled by the largest
// discount factor so that no exponent overflows, which keeps the sign.
int SignAt(const std::vector<CashFlow>& flows, int64_t firstDay, double g) {
  double largest = -INFINITY;
  for (const CashFlow& f : flows)
    largest = std::max(largest, -g * static_cast<double>(f.day - firstDay) / kDaysPerYear);
  double sum = 0;
  for (const CashFlow& f : flows) {
    const double exponent = -g * static_cast<double>(f.day - firstDay) / kDaysPerYear - largest;
    sum += static_cast<double>(f.cents) * std::exp(exponent);
  }
  return sum > 0 ? 1 : sum < 0 ? -1 : 0;
}

// Bisection of [lo, hi] in g, whose ends have opposite signs; the rate r.
double Narrow(const std::vector<CashFlow>& flows, int64_t firstDay, double lo, double hi) {
  const int loSign = SignAt(flows, firstDay, lo);
  for (int i = 0; i < 200; ++i) {
    const double rLo = std::expm1(lo), rHi = std::expm1(hi);
    if (std::fabs(rHi - rLo) <= kTolerance * std::max(1.0, std::fabs(rHi))) break;
    const double mid = (lo + hi) / 2;
    const int s = SignAt(flows, firstDay, mid);
    if (s == 0) return std::expm1(mid);
    if (s == loSign) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return std::expm1((lo + hi) / 2);
}

}  // namespace

std::optional<double> SolveIrr(const std::vector<CashFlow>& flows) {
  bool in = false, out = false;
  int64_t firstDay = 0, lastDay = 0;
  for (const CashFlow& f : flows) {
    if (f.cents == 0) continue;
    if (!in && !out) firstDay = lastDay = f.day;
    firstDay = std::min(firstDay, f.day);
    lastDay = std::max(lastDay, f.day);
    (f.cents < 0 ? in : out) = true;
  }
  if (!in || !out || firstDay == lastDay) return std::nullopt;

  const int atZero = SignAt(flows, firstDay, 0);
  if (atZero == 0) return 0.0;
  double up = 0, down = 0, step = kFirstStep;
  int upPrevious = atZero, downPrevious = atZero;
  for (int k = 0; k < kSteps; ++k, step *= kGrowth) {
    const double nextUp = up + step, nextDown = down - step;
    const int upSign = SignAt(flows, firstDay, nextUp);
    const int downSign = SignAt(flows, firstDay, nextDown);
    const bool upChanges = upSign != upPrevious;
    const bool downChanges = downSign != downPrevious;
    if (upChanges || downChanges) {
      std::optional<double> best;
      if (upChanges) best = upSign == 0 ? std::expm1(nextUp) : Narrow(flows, firstDay, up, nextUp);
      if (downChanges) {
        const double r = downSign == 0 ? std::expm1(nextDown) : Narrow(flows, firstDay, nextDown, down);
        if (!best || std::fabs(r) < std::fabs(*best)) best = r;
      }
      return best;
    }
    up = nextUp;
    down = nextDown;
    upPrevious = upSign;
    downPrevious = downSign;
  }
  return std::nullopt;
}
