// The shares of a row of lots: range sums and the next lot holding shares, after any sequence of changes,
// against a plain walk of the same row (lots emptied, refilled, and some far larger than others).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "portfolio/exchange/lot_shares.h"

namespace {

TEST(LotShares, SumsAndTheNextHeldLotFollowEveryChange) {
  for (size_t size : {size_t{1}, size_t{2}, size_t{7}, size_t{64}, size_t{100}}) {
    LotShares shares(size);
    std::vector<int64_t> plain(size, 0);
    std::mt19937_64 random(size);
    for (int change = 0; change < 400; ++change) {
      const size_t place = random() % size;
      // Mostly empty places, so that the next held one is often far; now and then the largest a lot holds.
      const uint64_t pick = random() % 10;
      const int64_t held = pick < 5 ? 0 : pick == 9 ? kMaxStoredQuantity.Units() : 1 + random() % 1000;
      shares.Set(place, held);
      plain[place] = held;
      ASSERT_EQ(shares.At(place), held);
      const size_t begin = random() % (size + 1);
      const size_t end = begin + random() % (size + 1 - begin);
      Int128 sum = 0;
      size_t next = end;
      for (size_t k = begin; k < end; ++k) {
        sum += plain[k];
        if (next == end && plain[k] > 0) next = k;
      }
      ASSERT_TRUE(shares.Sum(begin, end) == sum) << size << " " << begin << " " << end;
      ASSERT_EQ(shares.NextHeld(begin, end), next) << size << " " << begin << " " << end;
    }
  }
}

}  // namespace
