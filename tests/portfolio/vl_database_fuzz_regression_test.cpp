// Database files found by fuzzing the loader; each must be refused with a clear code and left untouched.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_info_item_list.h"
#include "tests/support/record_bytes.h"
#include "tests/support/temp_folder.h"

namespace {
// A copy of a fuzz-found file in a folder of its own (Open takes the file exclusively).
class FuzzFile {
 public:
  explicit FuzzFile(const std::string& name) : folder("vl_fuzz_regression"), path(folder.File(name)) {
    std::filesystem::copy_file(std::string(VL_FIXTURES_DIR) + "/fuzz-regressions/" + name, path,
                               std::filesystem::copy_options::overwrite_existing);
  }
  TempFolder folder;
  std::string path;
};
}  // namespace

// A portfolio record stored inside the position list used to load and then be treated as a position.
TEST(DatabaseFuzzRegression, ARecordOfTheWrongKindInAListIsATypeMismatch) {
  FuzzFile file("database_portfolio_in_position_list.vldb");
  const std::string before = ReadText(file.path);
  VLDatabase db(file.path);
  EXPECT_EQ(db.Open(), DbResult::TypeMismatch);
  EXPECT_FALSE(db.IsLoaded());
  EXPECT_EQ(db.GetPositionCount(), 0);
  EXPECT_EQ(ReadText(file.path), before);
}

TEST(DatabaseFuzzRegression, EachListMakesOnlyItsOwnRecords) {
  VLPortfolioItemList portfolios;
  auto portfolio = std::make_unique<VLPortfolioItem>();
  portfolio->id = 1;
  portfolio->name = "Main";
  ASSERT_TRUE(portfolios.Add(std::move(portfolio)));
  // The portfolio list's bytes under the position list's name ("PIList" and "HIList" have the same length).
  std::vector<uint8_t> bytes = StoreRecord(portfolios);
  const std::string from = "PIList";
  auto at = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
  ASSERT_NE(at, bytes.end());
  *at = 'H';
  VLHoldingItemList positions;
  EXPECT_EQ(LoadRecord(positions, bytes), SerializeResult::TypeMismatch);
  EXPECT_EQ(positions.GetCount(), 0);

  EXPECT_EQ(VLHoldingItemList().GetItemFactory()->CreateItem("P"), nullptr);
  EXPECT_EQ(VLHoldingItemList().GetItemFactory()->CreateItem("SI"), nullptr);
  EXPECT_NE(VLHoldingItemList().GetItemFactory()->CreateItem("MH"), nullptr);
  EXPECT_EQ(VLPortfolioItemList().GetItemFactory()->CreateItem("SH"), nullptr);
  EXPECT_EQ(VLStockInfoItemList().GetItemFactory()->CreateItem("P"), nullptr);
  EXPECT_NE(VLStockInfoItemList().GetItemFactory()->CreateItem("SI"), nullptr);
}
