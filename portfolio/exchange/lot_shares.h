#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "portfolio/records/exact_decimal.h"

// The shares held in a row of places (lots in the order sales take them), as counts of 1e-8 share: the sum
// of any range of places, and the next place that holds shares, each in O(log n), so that a file of many
// sales against many lots is resolved in O(n log n).
class LotShares {
 public:
  explicit LotShares(size_t places = 0);

  size_t Size() const { return units.size(); }
  int64_t At(size_t place) const { return units[place]; }
  // `held` must not be negative.
  void Set(size_t place, int64_t held);
  // The shares of the places [begin, end).
  Int128 Sum(size_t begin, size_t end) const;
  // The first place of [from, end) that holds shares; `end` when none does.
  size_t NextHeld(size_t from, size_t end) const;

 private:
  Int128 Prefix(size_t end) const;  // the shares of [0, end)

  std::vector<int64_t> units;
  std::vector<Int128> tree;  // a Fenwick tree of `units`: tree[i - 1] sums (i - lowbit(i), i]
};
