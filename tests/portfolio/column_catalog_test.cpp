// The column catalogue: texts, widths, categories and sort behaviour by id.
#include "portfolio/columns/column_catalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

TEST(ColumnCatalog, HeadersAndDescriptionsKeepTheirExactText) {
  EXPECT_EQ(GetColumnHeader(0), "Symbol");
  EXPECT_EQ(GetColumnHeader(3), "Trade ");
  EXPECT_EQ(GetColumnHeader(42), "Est P/E (this yr)");
  EXPECT_EQ(GetColumnHeader(73), "Sale Value");
  EXPECT_EQ(GetColumnDescription(9), "Current total value of held position (less buy commision)");
  EXPECT_EQ(GetColumnDescription(67), "Commision paid on sale");
  EXPECT_EQ(GetColumnDescription(68), "Commision paid on purchase");
  EXPECT_EQ(GetColumnDescription(59),
            "Distance (absolute & %age) of last trade from target per-share sell price");
  EXPECT_EQ(GetColumnWidth(1), 107);
  EXPECT_EQ(GetColumnAlignment(24), kAlignCentre);
  EXPECT_EQ(GetColumnAlignment(22), kAlignLeft);
  EXPECT_EQ(GetColumnAlignment(62), kAlignRight);
  std::set<std::string> headers;
  for (int id = 0; id < kColumnCount; ++id) {
    EXPECT_FALSE(GetColumnHeader(id).empty()) << id;
    EXPECT_FALSE(GetColumnDescription(id).empty()) << id;
    EXPECT_GT(GetColumnWidth(id), 0) << id;
    headers.insert(GetColumnHeader(id));
  }
  EXPECT_EQ(headers.size(), 85u);
}

TEST(ColumnCatalog, IdsOutsideTheRangeAreNoColumns) {
  for (int id : {-1, 85, 1000}) {
    EXPECT_FALSE(IsValidColumn(id));
    EXPECT_EQ(GetColumnHeader(id), "");
    EXPECT_EQ(GetColumnDescription(id), "");
    EXPECT_EQ(GetColumnWidth(id), 0);
    EXPECT_EQ(GetColumnAlignment(id), 0);
    EXPECT_FALSE(IsSortableColumn(id));
    EXPECT_FALSE(IsTextColumn(id));
  }
  EXPECT_TRUE(IsValidColumn(kColCurrency));
}

TEST(ColumnCatalog, SortBehaviourMatchesTheSortRules) {
  const std::set<int> unsortable{2, 20, 21, 22, 24, 30};
  const std::set<int> text{0, 1, 32, 34, 41, 74};
  const std::set<int> descending{4, 15, 16, 35, 36, 58, 75, 76, 77, 78, 82, 83, 84};
  for (int id = 0; id < kColumnCount; ++id) {
    EXPECT_EQ(IsSortableColumn(id), !unsortable.count(id)) << id;
    EXPECT_EQ(IsTextColumn(id), text.count(id) == 1) << id;
    if (IsSortableColumn(id)) {
      EXPECT_EQ(SortsAscendingFirst(id), !descending.count(id)) << id;
    }
  }
}

TEST(ColumnCatalog, CategoriesListEveryColumnOnceBut56And57) {
  EXPECT_EQ(GetCategoryName(0), "Basic Information");
  EXPECT_EQ(GetCategoryName(6), "Computed Columns");
  EXPECT_EQ(GetCategoryName(7), "All Columns");
  EXPECT_EQ(GetCategoryName(8), "");
  EXPECT_EQ(GetCategoryName(-1), "");

  std::vector<int> ids{99};
  FillCategory(1, ids);
  EXPECT_EQ(ids, (std::vector<int>{33, 19, 5, 7, 6, 20, 22, 21, 23}));
  FillCategory(8, ids);
  EXPECT_TRUE(ids.empty());

  std::multiset<int> seen;
  for (int index = 0; index < 7; ++index) {
    FillCategory(index, ids);
    seen.insert(ids.begin(), ids.end());
  }
  for (int id = 0; id < kColumnCount; ++id) {
    EXPECT_EQ(seen.count(id), (id == 56 || id == 57) ? 0u : 1u) << id;
  }
  FillCategory(7, ids);
  ASSERT_EQ(ids.size(), 85u);
  EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
}

TEST(ColumnCatalog, DefaultSets) {
  EXPECT_EQ(GetDefaultHeldColumns(), (std::vector<int>{0, 1, 3, 4, 8, 9, 14, 15}));
  EXPECT_EQ(GetDefaultSoldColumns(), (std::vector<int>{0, 1, 8, 14, 11, 73, 65, 15, 31}));
}
