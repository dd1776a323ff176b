#include "portfolio/exchange/lot_shares.h"

LotShares::LotShares(size_t places) : units(places, 0), tree(places, 0) {}

void LotShares::Set(size_t place, int64_t held) {
  const Int128 delta = static_cast<Int128>(held) - units[place];
  units[place] = held;
  if (delta == 0) return;
  for (size_t i = place + 1; i <= tree.size(); i += i & (~i + 1)) tree[i - 1] += delta;
}

Int128 LotShares::Prefix(size_t end) const {
  Int128 sum = 0;
  for (size_t i = end; i > 0; i -= i & (~i + 1)) sum += tree[i - 1];
  return sum;
}

Int128 LotShares::Sum(size_t begin, size_t end) const {
  return begin < end ? Prefix(end) - Prefix(begin) : 0;
}

size_t LotShares::NextHeld(size_t from, size_t end) const {
  if (from >= end) return end;
  if (units[from] > 0) return from;
  // The first place whose prefix sum exceeds that of [0, from]: descending the tree from its largest step.
  Int128 target = Prefix(from + 1);
  size_t step = 1;
  while (step * 2 <= tree.size()) step *= 2;
  size_t position = 0;  // the largest count of places whose sum is at most `target`
  for (; step > 0; step /= 2) {
    if (position + step <= tree.size() && tree[position + step - 1] <= target) {
      position += step;
      target -= tree[position - 1];
    }
  }
  return position < end ? position : end;
}
