#pragma once
#include <cstddef>
#include <utility>

// The list order of the system: for each i, every later j whose element sorts before the element now at i
// is swapped into i. Not stable; n(n-1)/2 comparisons. `less(x, y)` answers "x sorts before y".
// Shared by ItemList::Sort and by sorts over precomputed keys, so both give the same order.
template <typename Vec, typename Less>
void ExchangeSort(Vec& v, Less less) {
  const size_t n = v.size();
  if (n < 2) return;
  for (size_t i = 0; i + 1 < n; ++i) {
    for (size_t j = i + 1; j < n; ++j) {
      if (less(v[j], v[i])) {
        using std::swap;
        swap(v[i], v[j]);
      }
    }
  }
}
