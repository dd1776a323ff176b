// Position orders written out by hand for a text, a number and a date column, both directions, with
// ties; the comparer's list sort and the keyed sort must both give them.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "holding_fixtures.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/holding_sort.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_holding_item_comparer.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/noon_utc.h"

namespace {
std::unique_ptr<VLStockHoldingItem> Stock(uint32_t id, const char* symbol, const char* name, uint32_t qty,
                                          int64_t bought) {
  auto h = std::make_unique<VLStockHoldingItem>();
  h->id = id;
  h->name = symbol;
  h->qty = Shares(qty);
  h->purchaseDate = bought;
  h->quote.Edit().symbol = symbol;
  h->quote.Edit().name = name;
  return h;
}

// Added out of id order, so that every order below takes real work.
void Fill(VLHoldingItemList& list) {
  list.Add(Stock(6, "LOW", "acme", 7, NoonUtc(2005, 6, 15)));
  list.Add(Stock(3, "AC", "A C", 20, NoonUtc(2007, 3, 5)));
  auto cash = std::make_unique<VLCashHoldingItem>();
  cash->id = 8;
  cash->amount = 100;
  list.Add(std::move(cash));
  list.Add(Stock(1, "FND", "[Fund", 300, NoonUtc(2006, 12, 1)));
  auto margin = std::make_unique<VLMarginHoldingItem>();
  margin->id = 9;
  margin->amountOwed = 50;
  list.Add(std::move(margin));
  list.Add(Stock(4, "ZZ", "Acme", 1500, 0));
  list.Add(Stock(7, "^DJI", "Zed Index", 50, NoonUtc(2007, 2, 1)));
  list.Add(Stock(2, "AB", "A^B", 1500, NoonUtc(2007, 1, 20)));
  list.Add(Stock(5, "BB", "Acme", 0, NoonUtc(2006, 12, 1)));
}

// Each inner list holds the ids that must take the next places, in any order among themselves (ties).
using Ranks = std::vector<std::vector<uint32_t>>;

::testing::AssertionResult InRankOrder(const ItemList& list, const Ranks& ranks) {
  std::vector<uint32_t> ids;
  for (const auto& item : list) ids.push_back(item->id);
  size_t at = 0;
  for (const auto& rank : ranks) {
    if (at + rank.size() > ids.size()) return ::testing::AssertionFailure() << "too few positions";
    std::vector<uint32_t> got(ids.begin() + static_cast<long>(at),
                              ids.begin() + static_cast<long>(at + rank.size()));
    std::vector<uint32_t> want = rank;
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    if (got != want) {
      auto failure = ::testing::AssertionFailure() << "order:";
      for (uint32_t id : ids) failure << " " << id;
      return failure << "; place " << at + 1 << " onwards is wrong";
    }
    at += rank.size();
  }
  return ::testing::AssertionSuccess();
}

struct Expected {
  int column;
  bool ascending;
  Ranks ranks;
};

// Cash, margin and the index come first in every order. Texts compare by byte after "^" becomes a blank and
// "[" becomes "#": "#Fund" < "A B" < "A C" < "Acme" < "acme"; equal names go by symbol in the same direction.
// Quantities and dates compare as numbers: 1,500 after 300, and 01-Dec-2006 before 20-Jan-2007.
const Expected kOrders[] = {
    {kColName, true, {{8}, {9}, {7}, {1}, {2}, {3}, {5}, {4}, {6}}},
    {kColName, false, {{8}, {9}, {7}, {6}, {4}, {5}, {3}, {2}, {1}}},
    {kColSymbol, true, {{8}, {9}, {7}, {2}, {3}, {5}, {1}, {6}, {4}}},
    {kColSymbol, false, {{8}, {9}, {7}, {4}, {6}, {1}, {5}, {3}, {2}}},
    {kColQty, true, {{8}, {9}, {7}, {5}, {6}, {3}, {1}, {2, 4}}},
    {kColQty, false, {{8}, {9}, {7}, {2, 4}, {1}, {3}, {6}, {5}}},
    {kColDateBought, true, {{8}, {9}, {7}, {4}, {6}, {1, 5}, {2}, {3}}},
    {kColDateBought, false, {{8}, {9}, {7}, {3}, {2}, {1, 5}, {6}, {4}}},
};
}  // namespace

TEST(HoldingOrder, TheComparerAndTheKeyedSortGiveTheOrdersWrittenByHand) {
  FixedEnvironment env;
  for (const bool keyed : {false, true}) {
    for (const Expected& e : kOrders) {
      VLHoldingItemList list;
      Fill(list);
      if (keyed) {
        SortHoldings(list, e.column, e.ascending);
      } else {
        list.Sort(VLHoldingItemComparer(e.column, e.ascending));
      }
      EXPECT_TRUE(InRankOrder(list, e.ranks)) << (keyed ? "keyed, " : "comparer, ") << "column " << e.column
                                              << (e.ascending ? " ascending" : " descending");
    }
  }
}

TEST(HoldingOrder, TheComparerAnswersEachPairBothWays) {
  FixedEnvironment env;
  VLHoldingItemList list;
  Fill(list);
  const Item* byId[10] = {};
  for (const auto& item : list) byId[item->id] = item.get();
  // "A^B" before "A C" ascending, after it descending; the reverse question gives the opposite sign.
  const VLHoldingItemComparer nameUp(kColName, true), nameDown(kColName, false);
  EXPECT_LT(nameUp.Compare(byId[2], byId[3]), 0);
  EXPECT_GT(nameUp.Compare(byId[3], byId[2]), 0);
  EXPECT_GT(nameDown.Compare(byId[2], byId[3]), 0);
  // Equal quantities are equal in both directions, with no tie-break.
  EXPECT_EQ(VLHoldingItemComparer(kColQty, true).Compare(byId[2], byId[4]), 0);
  EXPECT_EQ(VLHoldingItemComparer(kColQty, false).Compare(byId[4], byId[2]), 0);
  // A position compares equal to itself.
  EXPECT_EQ(nameDown.Compare(byId[6], byId[6]), 0);
  // The cash position leads the index whatever the direction and from either side.
  EXPECT_LT(VLHoldingItemComparer(kColQty, false).Compare(byId[8], byId[7]), 0);
  EXPECT_GT(VLHoldingItemComparer(kColQty, true).Compare(byId[7], byId[8]), 0);
}
