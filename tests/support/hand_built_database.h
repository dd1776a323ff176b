#pragma once
// Database files written byte by byte from the stored layout, not by the code under test: one with every
// record kind at the current versions, one with stock positions of every older version. The loader tests
// read them, and the database fuzzer starts from them (tests/fixtures/fuzz/database/).
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/distinct_quote.h"

namespace hand_built {
constexpr uint32_t kQuoteId = 12;
constexpr uint32_t kPortfolioId = 23;
constexpr uint32_t kStockId = 31;

// "VLDB" 1, market 7, market time and status, the last ids 12, 23 and 34.
inline HandBytes Header() {
  return HandBytes().Key("VLDB", 1).U32(7).Scrambled("4:00PM ET").Scrambled("Closed").U32(12).U32(23).U32(34);
}

// The list of one cached quote, IBM, id 12, tag 5, used by `refCount` positions.
inline void AppendQuoteList(HandBytes& b, uint32_t refCount) {
  b.Key("SIIList", 1).U32(1);
  b.Str("SI").Key("SI", 1).Key("SI", 1).U32(kQuoteId).U32(5).Scrambled("IBM");
  AppendDistinctQuoteRecord(b);
  b.U32(refCount);
}

// The list of one portfolio, "Growth", id 23, tag 6.
inline void AppendPortfolioList(HandBytes& b) {
  b.Key("PIList", 1).U32(1);
  b.Str("P").Key("P", 1).Key("P", 1).U32(kPortfolioId).U32(6).Scrambled("Growth");
  b.Scrambled("long term").Time(1170000000).Time(1173096000);
}

// A position: the list's key, then the key and version of the position, of the holding level and of the
// item level, the item fields and the owner.
inline void AppendHoldingLevel(HandBytes& b, const char* key, uint32_t version, uint32_t id, uint32_t tag,
                               const char* name) {
  b.Str(key)
      .Key(key, version)
      .Key(key, version)
      .Key(key, version)
      .U32(id)
      .U32(tag)
      .Scrambled(name)
      .U32(kPortfolioId);
}

// A sold IBM position of the current version with every field set and different from the others.
inline void AppendSoldStock(HandBytes& b) {
  AppendHoldingLevel(b, "SH", 6, kStockId, 7, "IBM");
  b.U32(kQuoteId).U32(1501).U32(8152).U32(993).U32(9024).U32(1095).Time(1170000006);  // quote .. sale date
  b.U32(9007).U32(9508).U32(7009).U32(1).U32(51).U32(512);  // targets, marginable, equity, threshold
  b.Time(1138000013).Str("core");                           // purchase date, comment
}

inline std::vector<uint8_t> CurrentFile() {
  HandBytes b = Header();
  AppendQuoteList(b, 1);
  AppendPortfolioList(b);
  b.Key("HIList", 1).U32(3);
  AppendSoldStock(b);
  AppendHoldingLevel(b, "CH", 1, 32, 8, "broker account");
  b.U32(123456);
  AppendHoldingLevel(b, "MH", 1, 33, 9, "margin loan");
  b.U32(5000);
  return b.bytes;
}

// Stock positions of the versions before 6, each with what its version stored:
// 1 quote, qty, price, buy target, margin fields; 2 and 3 add the purchase date; 4 the comment;
// 5 the sell and stop-loss targets after the buy target.
inline std::vector<uint8_t> OlderVersionsFile() {
  HandBytes b = Header();
  AppendQuoteList(b, 5);
  AppendPortfolioList(b);
  b.Key("HIList", 1).U32(5);
  for (uint32_t v = 1; v <= 5; ++v) {
    AppendHoldingLevel(b, "SH", v, 40 + v, v, "IBM");
    b.U32(kQuoteId).U32(100 * v).U32(1000 + v).U32(2000 + v);
    if (v >= 5) b.U32(3000 + v).U32(4000 + v);
    b.U32(v % 2).U32(10 + v).U32(500 + v);
    if (v >= 2) b.Time(1138000000 + v);
    if (v >= 4) b.Str("comment v" + std::to_string(v));
  }
  return b.bytes;
}

}  // namespace hand_built
