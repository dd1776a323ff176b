// The position order: comparer steps, header clicks, and the key-based sort against the plain one.
#include "portfolio/columns/holding_sort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "holding_fixtures.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_holding_item_comparer.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "tests/support/exact_values.h"

namespace {
// A stock position that counts how often its cells are asked for.
class CountingStock : public VLStockHoldingItem {
 public:
  explicit CountingStock(int* calls) : calls(calls) {}
  void GetColumnText(int column, std::string& text) const override {
    ++*calls;
    VLStockHoldingItem::GetColumnText(column, text);
  }
  double GetColumnValue(int column) const override {
    ++*calls;
    return VLStockHoldingItem::GetColumnValue(column);
  }

 private:
  int* calls;
};

std::unique_ptr<VLStockHoldingItem> Stock(uint32_t id, const std::string& symbol,
                                          const std::string& name = "", uint32_t qty = 1) {
  auto h = std::make_unique<VLStockHoldingItem>();
  h->id = id;
  h->name = symbol;
  h->qty = Shares(qty);
  h->quote.Edit().symbol = symbol;
  h->quote.Edit().name = name;
  return h;
}

std::vector<uint32_t> Ids(const ItemList& list) {
  std::vector<uint32_t> ids;
  for (const auto& item : list) ids.push_back(item->id);
  return ids;
}

std::vector<uint32_t> SortedIdsByComparer(VLHoldingItemList& list, int column, bool ascending) {
  list.Sort(VLHoldingItemComparer(column, ascending));
  return Ids(list);
}
}  // namespace

TEST(HoldingComparer, KindGroupsThenIndexesWhateverTheDirection) {
  FixedEnvironment env;
  VLHoldingItemList list;
  list.Add(Stock(1, "AAPL"));
  list.Add(Stock(2, "^DJI"));
  auto margin = std::make_unique<VLMarginHoldingItem>();
  margin->id = 3;
  list.Add(std::move(margin));
  auto cash = std::make_unique<VLCashHoldingItem>();
  cash->id = 4;
  list.Add(std::move(cash));
  list.Add(Stock(5, "ZION"));
  EXPECT_EQ(SortedIdsByComparer(list, kColSymbol, false), (std::vector<uint32_t>{4, 3, 2, 5, 1}));
  EXPECT_EQ(SortedIdsByComparer(list, kColSymbol, true), (std::vector<uint32_t>{4, 3, 2, 1, 5}));
  // A number column keeps the groups too; the stock positions tie on quantity.
  const std::vector<uint32_t> byQty = SortedIdsByComparer(list, kColQty, false);
  EXPECT_EQ(std::vector<uint32_t>(byQty.begin(), byQty.begin() + 3), (std::vector<uint32_t>{4, 3, 2}));
}

TEST(HoldingComparer, TextColumnsCompareBytesWithSymbolTieBreak) {
  FixedEnvironment env;
  const VLHoldingItemComparer byNameDesc(kColName, false);
  const VLHoldingItemComparer bySymbol(kColSymbol, true);
  auto a = Stock(1, "AAA", "Same Corp");
  auto b = Stock(2, "BBB", "Same Corp");
  EXPECT_GT(byNameDesc.Compare(a.get(), b.get()), 0);  // equal names: symbol, descending
  EXPECT_LT(VLHoldingItemComparer(kColName, true).Compare(a.get(), b.get()), 0);
  EXPECT_EQ(bySymbol.Compare(a.get(), a.get()), 0);

  auto upper = Stock(3, "ZZZ");
  auto lower = Stock(4, "abc");
  EXPECT_LT(bySymbol.Compare(upper.get(), lower.get()), 0);  // "a" after "Z"

  // "^" compares as a blank, so "A^B" sorts before "A C" (a raw "^" would sort after "C").
  auto caret = Stock(5, "X1", "A^B");
  auto blank = Stock(6, "X2", "A C");
  EXPECT_LT(VLHoldingItemComparer(kColName, true).Compare(caret.get(), blank.get()), 0);
}

TEST(HoldingComparer, NumberColumnsCompareSortValues) {
  FixedEnvironment env;
  auto small = Stock(1, "A", "", 10);
  auto large = Stock(2, "B", "", 20);
  EXPECT_LT(VLHoldingItemComparer(kColQty, true).Compare(small.get(), large.get()), 0);
  EXPECT_GT(VLHoldingItemComparer(kColQty, false).Compare(small.get(), large.get()), 0);
  auto same = Stock(3, "C", "", 10);
  EXPECT_EQ(VLHoldingItemComparer(kColQty, false).Compare(small.get(), same.get()), 0);  // no tie-break
}

TEST(HoldingSort, EqualItemsMayTradePlacesExactlyAsTheExchangeSortDoes) {
  FixedEnvironment env;
  // [b, b', a] with b and b' equal and a smaller ends as [a, b', b].
  for (bool keyed : {false, true}) {
    VLHoldingItemList list;
    list.Add(Stock(1, "B", "", 20));
    list.Add(Stock(2, "B2", "", 20));
    list.Add(Stock(3, "A", "", 10));
    if (keyed) {
      SortHoldings(list, kColQty, true);
    } else {
      list.Sort(VLHoldingItemComparer(kColQty, true));
    }
    EXPECT_EQ(Ids(list), (std::vector<uint32_t>{3, 2, 1})) << (keyed ? "keyed" : "plain");
  }
}

TEST(HoldingSort, ComputesOneKeyPerPosition) {
  FixedEnvironment env;
  constexpr int kCount = 60;
  int calls = 0;
  auto fill = [&](VLHoldingItemList& list) {
    for (int i = 0; i < kCount; ++i) {
      auto h = std::make_unique<CountingStock>(&calls);
      h->id = static_cast<uint32_t>(i + 1);
      h->qty = Shares(static_cast<uint32_t>((i * 37) % 11));
      h->quote.Edit().symbol = "S" + std::to_string(i);
      list.Add(std::move(h));
    }
  };
  VLHoldingItemList keyed;
  fill(keyed);
  EXPECT_EQ(SortHoldings(keyed, kColQty, true), kCount);
  EXPECT_EQ(calls, kCount);

  calls = 0;
  VLHoldingItemList plain;
  fill(plain);
  plain.Sort(VLHoldingItemComparer(kColQty, true));
  EXPECT_EQ(calls, kCount * (kCount - 1));  // two cells per comparison
  EXPECT_EQ(Ids(keyed), Ids(plain));

  // A text column's key holds the cell and, for ties, the symbol: two texts per position.
  calls = 0;
  SortHoldings(keyed, kColName, false);
  EXPECT_EQ(calls, 2 * kCount);
}

TEST(HoldingSort, SameOrderAsThePlainSortForEveryKindOfColumn) {
  FixedEnvironment env;
  std::mt19937 random(20070305);
  auto fill = [&](VLHoldingItemList& list, unsigned seed) {
    random.seed(seed);
    for (uint32_t id = 1; id <= 120; ++id) {
      const unsigned kind = random() % 6;
      if (kind == 0) {
        auto c = std::make_unique<VLCashHoldingItem>();
        c->id = id;
        c->amount = random() % 3 * 100;
        list.Add(std::move(c));
        continue;
      }
      if (kind == 1) {
        auto m = std::make_unique<VLMarginHoldingItem>();
        m->id = id;
        m->name = random() % 2 ? "loan" : "Loan";
        list.Add(std::move(m));
        continue;
      }
      // Few distinct values, so many ties.
      const std::string symbol =
          std::string(random() % 4 == 0 ? "^" : "") + static_cast<char>('A' + random() % 3);
      auto s = Stock(id, symbol, random() % 2 ? "Acme" : "acme", random() % 4);
      s->quote.Edit().exchange = "NYSE";
      s->quote.Edit().lastTrade = std::to_string(random() % 3) + ".50";
      s->buyPricePerShare = Cents(100);
      list.Add(std::move(s));
    }
  };
  for (int column : {kColSymbol, kColName, kColQty, kColGain, kColCurrValue, kColChange}) {
    for (bool ascending : {true, false}) {
      VLHoldingItemList plain;
      VLHoldingItemList keyed;
      fill(plain, static_cast<unsigned>(column * 2 + ascending));
      fill(keyed, static_cast<unsigned>(column * 2 + ascending));
      plain.Sort(VLHoldingItemComparer(column, ascending));
      SortHoldings(keyed, column, ascending);
      EXPECT_EQ(Ids(keyed), Ids(plain)) << "column " << column << (ascending ? " ascending" : " descending");
    }
  }
}

// A trade below zero makes the compound growth of a position held 400 days no number: the exchange sort lets
// such a value compare equal to every other of its kind group.
TEST(HoldingSort, ValuesThatAreNoNumber) {
  FixedEnvironment env;
  const auto fill = [](VLHoldingItemList& list, int count) {
    for (int i = 0; i < count; ++i) {
      auto s = Stock(static_cast<uint32_t>(i + 1), "S" + std::to_string(i % 5), "", 10);
      s->buyPricePerShare = Cents(1000);
      s->purchaseDate = kTestNow - 400 * kDay;
      s->quote.Edit().exchange = "NYSE";
      s->quote.Edit().lastTrade = i % 3 == 0 ? "-5.00" : std::to_string(5 + i % 4) + ".00";
      list.Add(std::move(s));
    }
    auto cash = std::make_unique<VLCashHoldingItem>();
    cash->id = static_cast<uint32_t>(count + 1);
    list.Add(std::move(cash));
  };
  VLHoldingItemList plain, keyed;
  fill(plain, 40);
  fill(keyed, 40);
  ASSERT_TRUE(std::isnan(static_cast<const VLHoldingItem*>(plain.GetAt(0))->GetColumnValue(kColCagr)));
  for (bool ascending : {true, false}) {
    plain.Sort(VLHoldingItemComparer(kColCagr, ascending));
    SortHoldings(keyed, kColCagr, ascending);
    EXPECT_EQ(Ids(keyed), Ids(plain)) << ascending;  // a short list: the exchange sort's own order
  }

  // A long one: such values follow every number of their kind group, in either direction.
  for (bool ascending : {true, false}) {
    VLHoldingItemList many;
    fill(many, 6000);
    SortHoldings(many, kColCagr, ascending);
    EXPECT_EQ(static_cast<const VLHoldingItem*>(many.GetAt(0))->GetKind(), kHoldingCash);
    bool numbers = true;
    double last = ascending ? -1e300 : 1e300;
    for (int i = 1; i < many.GetCount(); ++i) {
      const double value = static_cast<const VLHoldingItem*>(many.GetAt(i))->GetColumnValue(kColCagr);
      if (std::isnan(value)) {
        numbers = false;
        continue;
      }
      ASSERT_TRUE(numbers) << "a number after a value that is none, at " << i;
      EXPECT_TRUE(ascending ? value >= last : value <= last) << i;
      last = value;
    }
    EXPECT_FALSE(numbers);
  }
}

TEST(HoldingSort, HeaderClicks) {
  int column = kColSymbol;
  bool ascending = true;
  EXPECT_TRUE(ApplyHeaderClick(kColGain, column, ascending));
  EXPECT_EQ(column, kColGain);
  EXPECT_FALSE(ascending);  // largest gain first
  EXPECT_TRUE(ApplyHeaderClick(kColGain, column, ascending));
  EXPECT_TRUE(ascending);
  EXPECT_FALSE(ApplyHeaderClick(kColTime, column, ascending));
  EXPECT_FALSE(ApplyHeaderClick(kColDayRange, column, ascending));
  EXPECT_EQ(column, kColGain);
  EXPECT_TRUE(ascending);
  EXPECT_TRUE(ApplyHeaderClick(kColQty, column, ascending));
  EXPECT_TRUE(ascending);
  EXPECT_STREQ(SortMarkSuffix(true), "  ^");
  EXPECT_STREQ(SortMarkSuffix(false), "  v");
}
