// The records of an undo or redo put back into a list: a few one by one, many in one pass; both ways must
// leave the same list, records replaced in place and new ones before the first record of a larger id.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "portfolio/journal/list_restore.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"

namespace {

std::unique_ptr<Item> Portfolio(uint32_t id, const std::string& name) {
  auto p = std::make_unique<VLPortfolioItem>();
  p->id = id;
  p->name = name;
  return p;
}

// Ids 1 to 40 without the multiples of 5, and 44 placed before 41 (a list need not be in id order).
void Fill(VLPortfolioItemList& list) {
  for (uint32_t id = 1; id <= 40; ++id) {
    if (id % 5 != 0) (void)list.Add(Portfolio(id, "old " + std::to_string(id)));
  }
  (void)list.Add(Portfolio(44, "old 44"));
  (void)list.Add(Portfolio(41, "old 41"));
}

// The change: every multiple of 3 up to 40 replaced (or put back), the multiples of 5 and 42 put back, 7, 14
// and 28 removed.
std::vector<std::unique_ptr<Item>> Records() {
  std::vector<std::unique_ptr<Item>> records;
  for (uint32_t id = 3; id <= 40; id += 3) records.push_back(Portfolio(id, "new " + std::to_string(id)));
  for (uint32_t id = 5; id <= 40; id += 5) {
    if (id % 3 != 0) records.push_back(Portfolio(id, "new " + std::to_string(id)));
  }
  records.push_back(Portfolio(42, "new 42"));
  return records;
}
const std::vector<uint32_t> kRemoved = {7, 14, 28};

std::vector<std::string> Names(const VLPortfolioItemList& list) {
  std::vector<std::string> names;
  for (const auto& item : list) names.push_back(std::to_string(item->id) + " " + item->name);
  return names;
}

TEST(ListRestore, ManyRecordsInOnePassLeaveTheListThatOneByOneLeaves) {
  VLPortfolioItemList bulk;
  Fill(bulk);
  std::vector<std::unique_ptr<Item>> records = Records();
  ASSERT_GT(records.size() + kRemoved.size(), 8u);  // the one-pass way
  RestoreRecords(bulk, std::move(records), kRemoved);

  VLPortfolioItemList single;
  Fill(single);
  for (auto& record : Records()) {
    std::vector<std::unique_ptr<Item>> one;
    one.push_back(std::move(record));
    RestoreRecords(single, std::move(one), {});
  }
  for (uint32_t id : kRemoved) RestoreRecords(single, {}, {id});

  EXPECT_EQ(Names(bulk), Names(single));
  // Spot checks of where the records went: 5 between 4 and 6, 42 before 44 (the first larger id), 7 gone.
  const std::vector<std::string> names = Names(bulk);
  ASSERT_GE(names.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(names.begin() + 3, names.begin() + 6),
            (std::vector<std::string>{"4 old 4", "5 new 5", "6 new 6"}));
  EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
            (std::vector<std::string>{"42 new 42", "44 old 44", "41 old 41"}));
  EXPECT_EQ(std::count(names.begin(), names.end(), "7 old 7"), 0);
  EXPECT_EQ(names.size(), 40u);  // 34, 9 put back, 3 removed
}

}  // namespace
