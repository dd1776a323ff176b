#include "tests/support/sample_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <memory>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "framework/file_util.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

namespace {

// A fixed scramble of i, so tied values are spread through the file rather than in runs.
uint64_t Mix(uint64_t i) {
  uint64_t z = i + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::string SymbolOf(int quote, bool mixed) {
  return (mixed && quote % 97 == 5 ? "^IDX" : "SYM") + std::to_string(quote);
}

// Three values for every figure of a quote, so positions of different quotes tie on most columns.
void FillTiedQuote(StockInfo& q, int i, bool mixed) {
  static const std::array<const char*, 3> kFigures = {"10.00", "12.50", "25.00"};
  static const std::array<const char*, 3> kChanges = {"+0.50", "-0.50", "0.00"};
  static const std::array<const char*, 3> kPercents = {"+2.00%", "-2.00%", "0.00%"};
  q.symbol = SymbolOf(i, mixed);
  q.name = "Company " + std::to_string(i % 4);
  q.exchange = mixed && i % 53 == 7 ? "N/A" : (i % 2 ? "NYSE" : "NasdaqNM");
  int k = 0;
  for (const auto& f : StockInfo::TextFields()) {
    std::string& text = q.*f.member;
    if (text.empty()) text = kFigures[static_cast<size_t>((i + k) % 3)];
    ++k;
  }
  q.change = q.changeRealtime = kChanges[static_cast<size_t>(i % 3)];
  q.percentChange = q.percentChangeRealtime = kPercents[static_cast<size_t>(i % 3)];
  q.stamp = 1700000000;
}

// Writes a list in the form ItemList::Serialize stores it, making each item only when it is written.
template <typename MakeItem>
bool WriteList(Archive& ar, const char* typeName, int count, MakeItem make) {
  ar.WriteString(typeName);
  ar.WriteInt32(1);
  ar.WriteUInt32(static_cast<uint32_t>(count));
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<Item> item = make(i);
    ar.WriteString(item->GetTypeName());
    if (item->Serialize(&ar) != SerializeResult::Ok) return false;
  }
  return true;
}

std::unique_ptr<Item> MakeQuote(const SampleStoreShape& shape, int i) {
  auto q = std::make_unique<VLStockInfoItem>();
  q->id = static_cast<uint32_t>(i + 1);
  if (shape.ties) {
    FillTiedQuote(q->quote.Edit(), i, shape.mixed);
  } else {
    FillSampleQuote(q->quote.Edit(), i);
    q->quote.Edit().symbol = SymbolOf(i, shape.mixed);
    if (shape.mixed && i % 53 == 7) q->quote.Edit().exchange = "N/A";
  }
  q->name = q->quote->symbol;
  q->refCount = 1;
  return q;
}

std::unique_ptr<Item> MakePortfolio(int i) {
  auto p = std::make_unique<VLPortfolioItem>();
  p->id = static_cast<uint32_t>(i + 1);
  p->name = "Portfolio " + std::to_string(i);
  p->comment = "sample";
  p->created = p->modified = 1700000000;
  return p;
}

std::unique_ptr<Item> MakeAmount(const SampleStoreShape& shape, int i, uint64_t h) {
  const bool cash = i % 41 == 3;
  std::unique_ptr<VLAmountHoldingItem> a;
  if (cash) {
    a = std::make_unique<VLCashHoldingItem>();
  } else {
    a = std::make_unique<VLMarginHoldingItem>();
  }
  a->SetAmount(shape.ties ? static_cast<uint32_t>(100000 * (h % 2)) : static_cast<uint32_t>(i) * 13u);
  a->name = shape.ties ? "account" : (cash ? "cash " : "loan ") + std::to_string(i);
  return a;
}

std::unique_ptr<Item> MakePosition(const SampleStoreShape& shape, int i) {
  const uint64_t h = Mix(static_cast<uint64_t>(i));
  const auto owner = static_cast<uint32_t>(i % shape.portfolios + 1);
  if (shape.mixed && (i % 41 == 3 || i % 41 == 17)) {
    std::unique_ptr<Item> amount = MakeAmount(shape, i, h);
    amount->id = static_cast<uint32_t>(i + 1);
    static_cast<VLHoldingItem&>(*amount).ownerPortfolioId = owner;
    return amount;
  }
  auto s = std::make_unique<VLStockHoldingItem>();
  s->id = static_cast<uint32_t>(i + 1);
  s->ownerPortfolioId = owner;
  const int quote = shape.ties ? static_cast<int>(h % static_cast<uint64_t>(shape.quotes)) : i % shape.quotes;
  s->quoteId = static_cast<uint32_t>(quote + 1);
  s->name = SymbolOf(quote, shape.mixed);
  const int64_t i64 = i;
  if (shape.ties) {
    static const std::array<uint32_t, 3> kQty = {10, 20, 50};
    static const std::array<uint32_t, 2> kPrice = {1000, 2500};
    s->qty = Quantity::FromWhole(kQty[(h >> 8) % 3]);
    s->buyPricePerShare = PriceOfCents(kPrice[(h >> 16) % 2]);
    s->buyCommission = 995;
    s->purchaseDate = 1500000000 + static_cast<int64_t>((h >> 24) % 3) * 400 * 86400;
  } else {
    s->qty = Quantity::FromWhole(10 + i % 500);
    s->buyPricePerShare = PriceOfCents(1000 + i % 9000);
    s->buyCommission = 995;
    s->purchaseDate = 1500000000 + i64 * 3600;
    s->comment = "position " + std::to_string(i);
  }
  if (shape.mixed) {
    if (i % 10 == 3) {
      s->salePricePerShare = PriceOfCents(shape.ties ? 2000 : 500 + i % 7000);
      s->saleCommission = 995;
      s->saleDate = s->purchaseDate + 200 * 86400;
    }
    if (i % 7 == 0) {
      s->perShareBuyTarget = PriceOfCents(900);
      s->perShareSellTarget = PriceOfCents(3000);
      s->perShareStopLossTarget = PriceOfCents(800);
    }
    s->marginable = i % 5 == 0;
    s->mgnEquity = s->marginable ? 50 : 0;
    s->mgnThreshold = s->marginable ? 500 : 0;
  }
  if (shape.fractional) {
    // Fractions of a share and of a cent, different for each position: every position needs the exact form.
    s->qty += Quantity::FromUnits(1 + static_cast<int64_t>(h % 99999999));
    s->buyPricePerShare += UnitPrice::FromUnits(1 + static_cast<int64_t>((h >> 32) % 9999));
    if (s->IsSold()) s->salePricePerShare += UnitPrice::FromUnits(1 + static_cast<int64_t>((h >> 40) % 9999));
  }
  return s;
}

}  // namespace

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

bool WriteSampleStore(const std::string& path, const SampleStoreShape& shape) {
  if (shape.portfolios < 1 || shape.quotes < 1 || shape.positions < 0) return false;
  FileHandle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!file.IsOpen()) return false;
  try {
    FileStream stream(file.Get());
    Archive ar(stream, Archive::Mode::Store);
    ar.WriteString("VLDB");
    // A store with a position of the exact form is of the database's later version, as a save writes it.
    ar.WriteInt32(shape.fractional && shape.positions > 0 ? VLDatabase::kExactVersion
                                                          : VLDatabase::kFirstVersion);
    ar.WriteInt32(0);
    ar.WriteScrambledString("4:00PM ET");
    ar.WriteScrambledString("closed");
    ar.WriteUInt32(static_cast<uint32_t>(shape.quotes));
    ar.WriteUInt32(static_cast<uint32_t>(shape.portfolios));
    ar.WriteUInt32(static_cast<uint32_t>(shape.positions));
    const bool written =
        WriteList(ar, "SIIList", shape.quotes, [&](int i) { return MakeQuote(shape, i); }) &&
        WriteList(ar, "PIList", shape.portfolios, [](int i) { return MakePortfolio(i); }) &&
        WriteList(ar, "HIList", shape.positions, [&](int i) { return MakePosition(shape, i); });
    if (!written) return false;
    ar.Flush();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}
