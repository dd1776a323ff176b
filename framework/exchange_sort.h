#pragma once
#include <cstddef>
#include <utility>
#include <vector>

// The list order of the system: for each i, every later j whose element sorts before the element now at i
// is swapped into i. Not stable; n(n-1)/2 comparisons. `less(x, y)` answers "x sorts before y".
// ItemList::Sort runs it as it stands; ExchangeSortOrder below reaches the same order in O(n log n).
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

// The order ExchangeSort gives to elements whose keys are `rank` (0 and up; equal ranks are equal keys, a
// lower rank sorts first), in O(n log n): the element at position order[k] ends at k.
//
// Why this is the exchange sort's order. Pass i carries the smallest element seen so far along the list:
// each strictly smaller element found takes its place and the one carried is dropped where it was found.
// Elements of rank at most r therefore move among themselves exactly as in a list holding only them, so
// the elements of rank r come out, after all lower ones, in the order the sort gives to the list of the
// elements of rank up to r. In that list, each pass that still takes out a lower element turns the block
// of rank-r elements in front of the first lower one by one place (its first element goes to the block's
// end); that block is every rank-r element in front of that lower element. With X1..Xg the rank-r
// elements in list order and s(k) the number of lower elements between Xk and X(k+1) (after Xg for k = g),
// the order is built by appending Xk to the order of X1..X(k-1) and turning it left by s(k) mod k, for
// k = 1..g; it is unwound from Xg down to X1 with a count of free places.
std::vector<int> ExchangeSortOrder(const std::vector<int>& rank);
