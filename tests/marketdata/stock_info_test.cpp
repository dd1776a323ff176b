#include "marketdata/stock_info.h"

#include <gtest/gtest.h>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "tests/support/distinct_quote.h"
#include "tests/support/record_bytes.h"

namespace {

StockInfo Filled() {
  StockInfo info;
  int n = 0;
  for (const auto& f : StockInfo::TextFields())
    info.*f.member = std::string(f.fieldName) + std::to_string(n++);
  info.stamp = 1700000000;
  return info;
}

// A record in the layout of an older version: only the fields that version stored.
std::vector<uint8_t> StoreAsVersion(const StockInfo& info, int32_t version) {
  MemoryStream stream;
  Archive ar(stream, Archive::Mode::Store);
  ar.WriteString("SI");
  ar.WriteInt32(version);
  for (const auto& f : StockInfo::TextFields()) {
    if (f.sinceVersion <= version) ar.WriteScrambledString(info.*f.member);
  }
  ar.WriteTime(info.stamp);
  ar.Flush();
  return stream.Bytes();
}

}  // namespace

TEST(StockInfoRecord, OlderVersionsEmptyTheFieldsTheyDidNotStore) {
  const StockInfo info = Filled();
  struct Case {
    int32_t version;
    std::vector<std::string StockInfo::*> empty;
  };
  const std::vector<Case> cases = {
      {1,
       {&StockInfo::floatShares, &StockInfo::priceSales, &StockInfo::previousClose, &StockInfo::bidSize,
        &StockInfo::askSize, &StockInfo::shortRatio}},
      {2,
       {&StockInfo::floatShares, &StockInfo::previousClose, &StockInfo::bidSize, &StockInfo::askSize,
        &StockInfo::shortRatio}},
      {3, {&StockInfo::previousClose, &StockInfo::bidSize, &StockInfo::askSize, &StockInfo::shortRatio}},
      {4, {&StockInfo::bidSize, &StockInfo::askSize, &StockInfo::shortRatio}},
      {5, {}},
  };
  for (const Case& c : cases) {
    StockInfo loaded = Filled();  // stale values must not survive
    ASSERT_EQ(LoadRecord(loaded, StoreAsVersion(info, c.version)), SerializeResult::Ok) << c.version;
    for (const auto& f : StockInfo::TextFields()) {
      const bool shouldBeEmpty = std::find(c.empty.begin(), c.empty.end(), f.member) != c.empty.end();
      EXPECT_EQ(loaded.*f.member, shouldBeEmpty ? "" : info.*f.member)
          << "v" << c.version << " " << f.fieldName;
    }
    EXPECT_EQ(loaded.lastTrade, info.lastTrade);
  }
}

TEST(StockInfoRecord, RefusesNewerVersionsAndOtherKeys) {
  StockInfo info = Filled();
  auto bytes = StoreAsVersion(info, 6);
  StockInfo loaded;
  EXPECT_EQ(LoadRecord(loaded, bytes), SerializeResult::VersionTooNew);
  bytes = StoreRecord(info);
  bytes[1] = 'X';
  EXPECT_EQ(LoadRecord(loaded, bytes), SerializeResult::TypeMismatch);
}

TEST(StockInfoRecord, IndexesBeginWithACaret) {
  StockInfo info;
  EXPECT_FALSE(info.IsIndex());
  info.symbol = "^DJI";
  EXPECT_TRUE(info.IsIndex());
  info.symbol = "DJI^";
  EXPECT_FALSE(info.IsIndex());
}

// Every text scrambled in its own place, and each loaded back into its own field.
TEST(StockInfoRecord, EveryFieldIsSavedAndLoadedInItsOwnPlace) {
  ASSERT_EQ(DistinctQuoteTexts().size(), 47u);
  HandBytes expected;
  AppendDistinctQuoteRecord(expected);
  StockInfo quote = DistinctQuote();
  EXPECT_EQ(StoreRecord(quote), expected.bytes);

  StockInfo loaded;
  ASSERT_EQ(LoadRecord(loaded, expected.bytes), SerializeResult::Ok);
  EXPECT_SAME_QUOTE(loaded, DistinctQuote());
}
