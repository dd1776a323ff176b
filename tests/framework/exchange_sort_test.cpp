// The O(n log n) order against the exchange sort itself, over many random lists full of equal keys.
#include "framework/exchange_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

std::vector<int> ByExchangeSort(const std::vector<int>& rank) {
  std::vector<int> order(rank.size());
  std::iota(order.begin(), order.end(), 0);
  ExchangeSort(order,
               [&](int x, int y) { return rank[static_cast<size_t>(x)] < rank[static_cast<size_t>(y)]; });
  return order;
}

}  // namespace

TEST(ExchangeSortOrder, IsTheExchangeSortsOrderTiesIncluded) {
  // The known case first: [b, b', a] gives [a, b', b].
  EXPECT_EQ(ExchangeSortOrder({1, 1, 0}), (std::vector<int>{2, 1, 0}));
  EXPECT_TRUE(ExchangeSortOrder({}).empty());

  std::mt19937 random(20261207);
  struct Shape {
    int lists;
    int maxLength;
    int maxRanks;  // 1: every key equal
  };
  for (const Shape shape : {Shape{20000, 12, 3}, Shape{5000, 60, 6}, Shape{2000, 200, 2},
                            Shape{300, 1500, 40}, Shape{50, 3000, 1}}) {
    for (int t = 0; t < shape.lists; ++t) {
      const int length = std::uniform_int_distribution<int>(1, shape.maxLength)(random);
      const int ranks = std::uniform_int_distribution<int>(1, shape.maxRanks)(random);
      std::vector<int> rank(static_cast<size_t>(length));
      for (int& r : rank) r = std::uniform_int_distribution<int>(0, ranks - 1)(random);
      ASSERT_EQ(ExchangeSortOrder(rank), ByExchangeSort(rank)) << "length " << length << ", ranks " << ranks;
    }
  }
  // No two keys equal.
  for (int length : {2, 7, 500}) {
    std::vector<int> rank(static_cast<size_t>(length));
    std::iota(rank.begin(), rank.end(), 0);
    std::shuffle(rank.begin(), rank.end(), random);
    ASSERT_EQ(ExchangeSortOrder(rank), ByExchangeSort(rank)) << "length " << length;
  }
}
