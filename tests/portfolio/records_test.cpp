// Portfolios, cached quotes, their lists and the factory.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_item_factory.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "portfolio/records/vl_stock_info_item_list.h"
#include "tests/support/exact_values.h"
#include "tests/support/record_bytes.h"

namespace {
bool Contains(const std::vector<uint8_t>& bytes, const std::string& text) {
  const std::vector<uint8_t> needle(text.begin(), text.end());
  return std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end()) != bytes.end();
}
}  // namespace

TEST(VLItemFactory, CreatesEachKindByExactKey) {
  VLItemFactory factory;
  EXPECT_NE(dynamic_cast<VLPortfolioItem*>(factory.CreateItem("P").get()), nullptr);
  EXPECT_NE(dynamic_cast<VLStockInfoItem*>(factory.CreateItem("SI").get()), nullptr);
  EXPECT_NE(dynamic_cast<VLStockHoldingItem*>(factory.CreateItem("SH").get()), nullptr);
  EXPECT_NE(dynamic_cast<VLCashHoldingItem*>(factory.CreateItem("CH").get()), nullptr);
  EXPECT_NE(dynamic_cast<VLMarginHoldingItem*>(factory.CreateItem("MH").get()), nullptr);
  EXPECT_EQ(factory.CreateItem("sh"), nullptr);
  EXPECT_EQ(factory.CreateItem(""), nullptr);
  EXPECT_EQ(factory.CreateItem("SHX"), nullptr);
}

TEST(VLItemFactory, EachListClassHasOneFactoryForTheProcess) {
  VLPortfolioItemList p1, p2;
  VLStockInfoItemList s1;
  VLHoldingItemList h1, h2;
  EXPECT_EQ(p1.GetItemFactory(), p2.GetItemFactory());
  EXPECT_EQ(h1.GetItemFactory(), h2.GetItemFactory());
  EXPECT_NE(p1.GetItemFactory(), s1.GetItemFactory());
  EXPECT_NE(s1.GetItemFactory(), h1.GetItemFactory());
  EXPECT_EQ(p1.GetTypeName(), "PIList");
  EXPECT_EQ(s1.GetTypeName(), "SIIList");
  EXPECT_EQ(h1.GetTypeName(), "HIList");
}

TEST(VLPortfolioItem, RoundTripsWithScrambledTexts) {
  VLPortfolioItem p;
  p.id = 7;
  p.tag = 3;
  p.name = "Growth";
  p.comment = "long term";
  p.created = 1170000000;
  p.modified = 5000000000;  // beyond 32 bits
  const std::vector<uint8_t> bytes = StoreRecord(p);
  EXPECT_FALSE(Contains(bytes, "Growth"));
  EXPECT_FALSE(Contains(bytes, "long term"));
  EXPECT_TRUE(Contains(bytes, ScrambleText("Growth")));

  VLPortfolioItem q;
  ASSERT_EQ(LoadRecord(q, bytes), SerializeResult::Ok);
  EXPECT_EQ(q.id, 7u);
  EXPECT_EQ(q.tag, 3u);
  EXPECT_EQ(q.name, "Growth");
  EXPECT_EQ(q.comment, "long term");
  EXPECT_EQ(q.created, 1170000000);
  EXPECT_EQ(q.modified, 5000000000);

  auto clone = p.Clone();
  auto* c = dynamic_cast<VLPortfolioItem*>(clone.get());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->comment, "long term");
  EXPECT_EQ(c->modified, 5000000000);
  EXPECT_FALSE(p.CopyTo(static_cast<VLPortfolioItem*>(nullptr)));
}

TEST(VLStockInfoItem, RoundTripsQuoteAndRefCount) {
  VLStockInfoItem s;
  s.id = 2;
  s.name = "IBM";
  s.quote.Edit().symbol = "IBM";
  s.quote.Edit().lastTrade = "97.10";
  s.quote.Edit().bidSize = "300";
  s.quote.Edit().stamp = 42;
  s.refCount = 5;
  VLStockInfoItem t;
  ASSERT_EQ(LoadRecord(t, StoreRecord(s)), SerializeResult::Ok);
  EXPECT_EQ(t.name, "IBM");
  EXPECT_EQ(t.quote->lastTrade, "97.10");
  EXPECT_EQ(t.quote->bidSize, "300");
  EXPECT_EQ(t.quote->stamp, 42);
  EXPECT_EQ(t.refCount, 5u);

  VLStockInfoItem u;
  ASSERT_TRUE(u.CopyFrom(&s));
  EXPECT_EQ(u.quote->lastTrade, "97.10");
  EXPECT_EQ(u.refCount, 5u);
}

TEST(VLStockInfoItem, RefusesANewerQuoteRecord) {
  // The quote record's version follows its key "SI" after the item level; bump it to 6.
  MemoryStream probe;
  Archive w(probe, Archive::Mode::Store);
  w.WriteString("SI");
  w.WriteInt32(1);
  w.WriteString("SI");
  w.WriteInt32(1);
  w.WriteUInt32(0);
  w.WriteUInt32(0);
  w.WriteScrambledString("");
  w.WriteString("SI");
  w.WriteInt32(6);
  w.Flush();
  VLStockInfoItem t;
  EXPECT_EQ(LoadRecord(t, probe.Bytes()), SerializeResult::VersionTooNew);
}

TEST(RecordLists, RoundTripAndRefuseTheWrongTypeName) {
  VLStockInfoItemList quotes;
  auto q = std::make_unique<VLStockInfoItem>();
  q->id = 1;
  q->name = "MSFT";
  ASSERT_TRUE(quotes.Add(std::move(q)));
  const std::vector<uint8_t> quoteBytes = StoreRecord(quotes);

  // A list stored as "SIIList" is not a portfolio list.
  VLPortfolioItemList portfolios;
  EXPECT_EQ(LoadRecord(portfolios, quoteBytes), SerializeResult::TypeMismatch);

  VLStockInfoItemList back;
  ASSERT_EQ(LoadRecord(back, quoteBytes), SerializeResult::Ok);
  ASSERT_EQ(back.GetCount(), 1);
  EXPECT_EQ(back.GetAt(0)->name, "MSFT");

  VLPortfolioItemList empty;
  VLPortfolioItemList emptyBack;
  EXPECT_EQ(LoadRecord(emptyBack, StoreRecord(empty)), SerializeResult::Ok);
  EXPECT_EQ(emptyBack.GetCount(), 0);
}

TEST(RecordLists, HoldingListKeepsEveryKindInOrder) {
  VLHoldingItemList list;
  auto cash = std::make_unique<VLCashHoldingItem>();
  cash->id = 1;
  cash->name = "broker account";
  cash->amount = 123456;
  cash->ownerPortfolioId = 9;
  auto stock = std::make_unique<VLStockHoldingItem>();
  stock->id = 2;
  stock->name = "IBM";
  stock->qty = Shares(100);
  auto margin = std::make_unique<VLMarginHoldingItem>();
  margin->id = 3;
  margin->amountOwed = 5000;
  list.Add(std::move(cash));
  list.Add(std::move(stock));
  list.Add(std::move(margin));

  VLHoldingItemList back;
  ASSERT_EQ(LoadRecord(back, StoreRecord(list)), SerializeResult::Ok);
  ASSERT_EQ(back.GetCount(), 3);
  const auto* c = dynamic_cast<const VLCashHoldingItem*>(back.GetAt(0));
  const auto* s = dynamic_cast<const VLStockHoldingItem*>(back.GetAt(1));
  const auto* m = dynamic_cast<const VLMarginHoldingItem*>(back.GetAt(2));
  ASSERT_TRUE(c && s && m);
  EXPECT_EQ(c->amount, 123456u);
  EXPECT_EQ(c->name, "broker account");
  EXPECT_EQ(c->ownerPortfolioId, 9u);
  EXPECT_EQ(s->qty, Shares(100));
  EXPECT_EQ(m->amountOwed, 5000u);
}
