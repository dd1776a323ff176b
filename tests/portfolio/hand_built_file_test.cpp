// A database file written byte by byte from the stored layout, not by the code under test: the loader
// must read every field into its place, and saving what it loaded must give the same bytes.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "tests/portfolio/vl_database_fixture.h"
#include "tests/support/exact_values.h"
#include "tests/support/hand_built_database.h"
#include "tests/support/record_bytes.h"

using namespace hand_built;

namespace {
template <typename T>
const T* At(const VLHoldingItemList& list, int index) {
  return dynamic_cast<const T*>(list.GetAt(index));
}
}  // namespace

class HandBuiltFile : public DatabaseTest {
 protected:
  void LoadFile(const std::vector<uint8_t>& bytes) {
    db.reset();
    WriteText(path, std::string(bytes.begin(), bytes.end()));
    Reopen();
    ASSERT_EQ(db->GetLastOpenCode(), DbResult::Ok);
    db->CopyAll(quotes, portfolios, positions);
  }

  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
};

TEST_F(HandBuiltFile, EveryRecordKindLoadsIntoItsFieldsAndSavesBackTheSameBytes) {
  const std::vector<uint8_t> file = CurrentFile();
  LoadFile(file);

  int32_t market = -1;
  std::string time, status;
  EXPECT_EQ(db->GetMarket(conn, market), VLResult::Ok);
  EXPECT_EQ(market, 7);
  EXPECT_EQ(db->GetMarketTime(conn, time), VLResult::Ok);
  EXPECT_EQ(time, "4:00PM ET");
  EXPECT_EQ(db->GetMarketStatus(conn, status), VLResult::Ok);
  EXPECT_EQ(status, "Closed");

  ASSERT_EQ(quotes.GetCount(), 1);
  const auto* quote = static_cast<const VLStockInfoItem*>(quotes.GetAt(0));
  EXPECT_EQ(quote->id, kQuoteId);
  EXPECT_EQ(quote->tag, 5u);
  EXPECT_EQ(quote->name, "IBM");
  EXPECT_EQ(quote->refCount, 1u);
  EXPECT_SAME_QUOTE(*quote->quote, DistinctQuote());

  ASSERT_EQ(portfolios.GetCount(), 1);
  const auto* p = static_cast<const VLPortfolioItem*>(portfolios.GetAt(0));
  EXPECT_EQ(p->id, kPortfolioId);
  EXPECT_EQ(p->tag, 6u);
  EXPECT_EQ(p->name, "Growth");
  EXPECT_EQ(p->comment, "long term");
  EXPECT_EQ(p->created, 1170000000);
  EXPECT_EQ(p->modified, 1173096000);

  ASSERT_EQ(positions.GetCount(), 3);
  const auto* s = At<VLStockHoldingItem>(positions, 0);
  const auto* c = At<VLCashHoldingItem>(positions, 1);
  const auto* m = At<VLMarginHoldingItem>(positions, 2);
  ASSERT_TRUE(s && c && m);
  EXPECT_EQ(s->id, kStockId);
  EXPECT_EQ(s->tag, 7u);
  EXPECT_EQ(s->name, "IBM");
  EXPECT_EQ(s->ownerPortfolioId, kPortfolioId);
  EXPECT_EQ(s->quoteId, kQuoteId);
  EXPECT_EQ(s->qty, Shares(1501));
  EXPECT_EQ(s->buyPricePerShare, Cents(8152));
  EXPECT_EQ(s->buyCommission, 993u);
  EXPECT_EQ(s->salePricePerShare, Cents(9024));
  EXPECT_EQ(s->saleCommission, 1095u);
  EXPECT_EQ(s->saleDate, 1170000006);
  EXPECT_EQ(s->perShareBuyTarget, Cents(9007));
  EXPECT_EQ(s->perShareSellTarget, Cents(9508));
  EXPECT_EQ(s->perShareStopLossTarget, Cents(7009));
  EXPECT_TRUE(s->marginable);
  EXPECT_EQ(s->mgnEquity, 51);
  EXPECT_EQ(s->mgnThreshold, 512u);
  EXPECT_EQ(s->purchaseDate, 1138000013);
  EXPECT_EQ(s->comment, "core");
  EXPECT_EQ(c->id, 32u);
  EXPECT_EQ(c->tag, 8u);
  EXPECT_EQ(c->name, "broker account");
  EXPECT_EQ(c->ownerPortfolioId, kPortfolioId);
  EXPECT_EQ(c->amount, 123456u);
  EXPECT_EQ(m->id, 33u);
  EXPECT_EQ(m->tag, 9u);
  EXPECT_EQ(m->name, "margin loan");
  EXPECT_EQ(m->ownerPortfolioId, kPortfolioId);
  EXPECT_EQ(m->amountOwed, 5000u);

  EXPECT_EQ(StoreRecord(*db), file);

  // The last ids were read into their own places: the next portfolio, position and quote follow them.
  EXPECT_EQ(AddPortfolio("Income"), 24u);
  const uint32_t stock = AddStock(kPortfolioId, "MSFT");
  EXPECT_EQ(stock, 35u);
  std::unique_ptr<VLHoldingItem> added;
  ASSERT_EQ(db->GetPosition(conn, stock, added), VLResult::Ok);
  EXPECT_EQ(static_cast<VLStockHoldingItem&>(*added).quoteId, 13u);
}

TEST_F(HandBuiltFile, OlderStockVersionsLoadWhatTheyStoredAndEmptyTheRest) {
  LoadFile(OlderVersionsFile());
  ASSERT_EQ(positions.GetCount(), 5);
  for (uint32_t v = 1; v <= 5; ++v) {
    const auto* s = At<VLStockHoldingItem>(positions, static_cast<int>(v) - 1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->id, 40 + v) << "version " << v;
    EXPECT_EQ(s->tag, v) << "version " << v;
    EXPECT_EQ(s->name, "IBM") << "version " << v;
    EXPECT_EQ(s->ownerPortfolioId, kPortfolioId) << "version " << v;
    EXPECT_EQ(s->quoteId, kQuoteId) << "version " << v;
    EXPECT_EQ(s->qty, Shares(100 * v)) << "version " << v;
    EXPECT_EQ(s->buyPricePerShare, Cents(1000 + v)) << "version " << v;
    EXPECT_EQ(s->buyCommission, 0u) << "version " << v;
    EXPECT_EQ(s->salePricePerShare, Cents(0)) << "version " << v;
    EXPECT_EQ(s->saleCommission, 0u) << "version " << v;
    EXPECT_EQ(s->saleDate, 0) << "version " << v;
    EXPECT_EQ(s->perShareBuyTarget, Cents(2000 + v)) << "version " << v;
    EXPECT_EQ(s->perShareSellTarget, Cents(v >= 5 ? 3000 + v : 0u)) << "version " << v;
    EXPECT_EQ(s->perShareStopLossTarget, Cents(v >= 5 ? 4000 + v : 0u)) << "version " << v;
    EXPECT_EQ(s->marginable, v % 2 == 1) << "version " << v;
    EXPECT_EQ(s->mgnEquity, static_cast<int32_t>(10 + v)) << "version " << v;
    EXPECT_EQ(s->mgnThreshold, 500 + v) << "version " << v;
    EXPECT_EQ(s->purchaseDate, v >= 2 ? 1138000000 + v : 0) << "version " << v;
    EXPECT_EQ(s->comment, v >= 4 ? "comment v" + std::to_string(v) : "") << "version " << v;
  }
}

TEST(HandBuiltSeeds, TheDatabaseFuzzerStartsFromTheHandBuiltFiles) {
  // VL_UPDATE_EXPECTED=1 writes them after a deliberate change of the builders.
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } seeds[] = {{"hand_built_current.vldb", CurrentFile()},
               {"hand_built_older_versions.vldb", OlderVersionsFile()}};
  for (const auto& seed : seeds) {
    const std::string path = std::string(VL_FIXTURES_DIR) + "/fuzz/database/" + seed.name;
    if (std::getenv("VL_UPDATE_EXPECTED")) {
      std::ofstream(path, std::ios::binary | std::ios::trunc)
          .write(reinterpret_cast<const char*>(seed.bytes.data()),
                 static_cast<std::streamsize>(seed.bytes.size()));
    }
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), seed.bytes) << seed.name;
  }
}
