#include "framework/exchange_sort.h"

#include <algorithm>

namespace {

// Counts over positions 0..n-1: add one at a position, count those before a position, find the k-th.
class Fenwick {
 public:
  // Every position counted once (`filled`) or none.
  void Reset(size_t n, bool filled) {
    tree.assign(n + 1, 0);
    if (!filled) return;
    for (size_t i = 1; i <= n; ++i) tree[i] = static_cast<int>(i & (~i + 1));
  }
  void Add(size_t position, int delta) {
    for (size_t i = position + 1; i < tree.size(); i += i & (~i + 1)) tree[i] += delta;
  }
  // How many are counted at positions below `end`.
  int Before(size_t end) const {
    int sum = 0;
    for (size_t i = end; i > 0; i -= i & (~i + 1)) sum += tree[i];
    return sum;
  }
  // The position of the counted one that has `k` counted ones before it (k from 0).
  size_t Find(int k) const {
    size_t at = 0;
    size_t step = 1;
    while (step * 2 < tree.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (at + step < tree.size() && tree[at + step] <= k) {
        at += step;
        k -= tree[at];
      }
    }
    return at;
  }

 private:
  std::vector<int> tree;
};

}  // namespace

std::vector<int> ExchangeSortOrder(const std::vector<int>& rank) {
  const size_t n = rank.size();
  std::vector<int> order(n);
  if (n == 0) return order;
  const int ranks = *std::max_element(rank.begin(), rank.end()) + 1;
  if (static_cast<size_t>(ranks) == n) {  // no two keys equal: the order is the ranks' own
    std::vector<bool> seen(n, false);
    bool distinct = true;
    for (size_t i = 0; i < n && distinct; ++i) {
      distinct = !seen[static_cast<size_t>(rank[i])];
      seen[static_cast<size_t>(rank[i])] = true;
      order[static_cast<size_t>(rank[i])] = static_cast<int>(i);
    }
    if (distinct) return order;
  }
  // The positions of each rank, in list order, and where each rank's run starts in the result.
  std::vector<size_t> first(static_cast<size_t>(ranks) + 1, 0);
  for (int r : rank) ++first[static_cast<size_t>(r) + 1];
  for (size_t r = 0; r < static_cast<size_t>(ranks); ++r) first[r + 1] += first[r];
  std::vector<int> members(n);
  {
    std::vector<size_t> next(first.begin(), first.end() - 1);
    for (size_t i = 0; i < n; ++i) members[next[static_cast<size_t>(rank[i])]++] = static_cast<int>(i);
  }

  Fenwick lower;  // the elements of the ranks done so far, by position
  lower.Reset(n, false);
  Fenwick free;  // the places of the current rank's run not yet given
  std::vector<int> shift;
  for (size_t r = 0; r < static_cast<size_t>(ranks); ++r) {
    const size_t begin = first[r];
    const size_t g = first[r + 1] - begin;
    if (g == 0) continue;
    const int* x = members.data() + begin;
    if (g == 1) {  // a key of its own: its place is fixed, only later ranks count it
      order[begin] = x[0];
      lower.Add(static_cast<size_t>(x[0]), 1);
      continue;
    }
    shift.assign(g + 1, 0);
    for (size_t k = 1; k <= g; ++k) {
      const auto at = static_cast<size_t>(x[k - 1]);
      const size_t end = k < g ? static_cast<size_t>(x[k]) : n;
      shift[k] = (lower.Before(end) - lower.Before(at + 1)) % static_cast<int>(k);
    }
    // Unwind: Xk stands at place k-1-shift(k) of the first k, counted from where that order begins.
    free.Reset(g, true);
    int start = 0;
    for (size_t k = g; k >= 1; --k) {
      const int count = static_cast<int>(k);
      const int target = (start + count - 1 - shift[k]) % count;
      const size_t place = free.Find(target);
      free.Add(place, -1);
      order[begin + place] = x[k - 1];
      start = count > 1 ? target % (count - 1) : 0;
    }
    for (size_t k = 0; k < g; ++k) lower.Add(static_cast<size_t>(x[k]), 1);
  }
  return order;
}
