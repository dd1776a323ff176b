#include "sample_store.h"

#include <fcntl.h>
#include <unistd.h>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "framework/file_util.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "portfolio/records/vl_stock_info_item_list.h"

void FillSampleQuote(StockInfo& q, int i) {
  q.symbol = "SYM" + std::to_string(i);
  q.name = "Sample Company " + std::to_string(i) + " Inc";
  q.exchange = i % 2 ? "NYSE" : "NasdaqNM";
  for (const auto& f : StockInfo::TextFields()) {
    std::string& text = q.*f.member;
    if (text.empty()) text = std::to_string(10 + i % 90) + "." + std::to_string(10 + i % 89);
  }
  q.stamp = 1700000000 + i;
}

bool WriteSampleStore(const std::string& path, int portfolios, int positions, int quotes) {
  VLStockInfoItemList quoteList;
  VLPortfolioItemList portfolioList;
  VLHoldingItemList positionList;
  for (int i = 0; i < quotes; ++i) {
    auto q = std::make_unique<VLStockInfoItem>();
    q->id = static_cast<uint32_t>(i + 1);
    FillSampleQuote(q->quote, i);
    q->name = q->quote.symbol;
    q->refCount = 1;
    quoteList.InsertAt(quoteList.GetCount(), std::move(q));
  }
  for (int i = 0; i < portfolios; ++i) {
    auto p = std::make_unique<VLPortfolioItem>();
    p->id = static_cast<uint32_t>(i + 1);
    p->name = "Portfolio " + std::to_string(i);
    p->comment = "sample";
    p->created = p->modified = 1700000000;
    portfolioList.InsertAt(portfolioList.GetCount(), std::move(p));
  }
  for (int i = 0; i < positions; ++i) {
    auto s = std::make_unique<VLStockHoldingItem>();
    s->id = static_cast<uint32_t>(i + 1);
    s->ownerPortfolioId = static_cast<uint32_t>(i % portfolios + 1);
    s->quoteId = static_cast<uint32_t>(i % quotes + 1);
    s->name = "SYM" + std::to_string(i % quotes);
    s->qty = 10 + static_cast<uint32_t>(i % 500);
    s->buyPricePerShare = 1000 + static_cast<uint32_t>(i % 9000);
    s->buyCommission = 995;
    s->purchaseDate = 1500000000 + i * 3600;
    s->comment = "position " + std::to_string(i);
    positionList.InsertAt(positionList.GetCount(), std::move(s));
  }

  FileHandle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!file.IsOpen()) return false;
  try {
    FileStream stream(file.Get());
    Archive ar(stream, Archive::Mode::Store);
    ar.WriteString("VLDB");
    ar.WriteInt32(1);
    ar.WriteInt32(0);
    ar.WriteScrambledString("4:00PM ET");
    ar.WriteScrambledString("closed");
    ar.WriteUInt32(static_cast<uint32_t>(quotes));
    ar.WriteUInt32(static_cast<uint32_t>(portfolios));
    ar.WriteUInt32(static_cast<uint32_t>(positions));
    if (quoteList.Serialize(&ar) || portfolioList.Serialize(&ar) || positionList.Serialize(&ar)) return false;
    ar.Flush();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}
