// The position operations of the portfolio database.
#include <algorithm>
#include <cctype>
#include <limits>
#include <unordered_set>

#include "framework/text_util.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/columns/clock.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/income/income_allocation.h"
#include "portfolio/journal/change_texts.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

namespace {

// The user's fields of a stock position: everything but identity, owner and quote binding.
void CopyStockFields(const VLStockHoldingItem& from, VLStockHoldingItem& to) {
  // What a split left of what was paid stays with the purchase it belongs to, which the fields of a dialog
  // do not show; a purchase typed anew brings its own.
  const bool samePurchase = to.qty == from.qty && to.buyPricePerShare == from.buyPricePerShare;
  to.paidRemainder = samePurchase && from.paidRemainder == 0 ? to.paidRemainder : from.paidRemainder;
  to.qty = from.qty;
  to.buyPricePerShare = from.buyPricePerShare;
  to.buyCommission = from.buyCommission;
  to.salePricePerShare = from.salePricePerShare;
  to.saleCommission = from.saleCommission;
  to.perShareBuyTarget = from.perShareBuyTarget;
  to.perShareSellTarget = from.perShareSellTarget;
  to.perShareStopLossTarget = from.perShareStopLossTarget;
  to.marginable = from.marginable;
  to.mgnEquity = from.mgnEquity;
  to.mgnThreshold = from.mgnThreshold;
  to.purchaseDate = from.purchaseDate;
  to.saleDate = from.saleDate;
  to.comment = from.comment;
  to.currency = from.currency;
  to.rateCurrency = from.rateCurrency;
  to.buyRate = from.buyRate;
  to.saleRate = from.saleRate;
  to.tag = from.tag;
}

// Ids are 32 bits in the file and never reused: once the last one is given, nothing new can be numbered.
bool IdsLeft(uint32_t lastId) {
  return lastId < std::numeric_limits<uint32_t>::max();
}

// A sale dated before the purchase cannot be right; either date may be unknown (0). Compared as days.
bool DatesInOrder(int64_t purchaseDate, int64_t saleDate) {
  return !SaleBeforePurchase(purchaseDate, saleDate);
}

}  // namespace

VLStoreRecords::SymbolIndex VLStoreRecords::IndexSymbols() const {
  SymbolIndex index;
  index.reserve(static_cast<size_t>(quotes.GetCount()));
  // The first quote of a symbol wins, as in the walk of BindQuote.
  for (const auto& item : quotes) {
    index.emplace(AsciiUpper(item->name), static_cast<VLStockInfoItem*>(item.get()));
  }
  return index;
}

VLStockInfoItem* VLStoreRecords::BindQuote(const std::string& symbol, SymbolIndex* index) {
  VLStockInfoItem* found = nullptr;
  if (index) {
    const auto it = index->find(AsciiUpper(symbol));
    if (it != index->end()) found = it->second;
  } else {
    for (const auto& item : quotes) {
      if (EqualNoCase(item->name, symbol)) {
        found = static_cast<VLStockInfoItem*>(item.get());
        break;
      }
    }
  }
  if (found) {
    ++found->refCount;
    return found;
  }
  if (!IdsLeft(lastQuoteId)) return nullptr;
  auto quote = std::make_unique<VLStockInfoItem>();
  quote->id = ++lastQuoteId;
  quote->name = AsciiUpper(symbol);
  quote->quote.Edit().symbol = quote->name;
  quote->refCount = 1;
  VLStockInfoItem* raw = quote.get();
  quotes.InsertAt(quotes.GetCount(), std::move(quote));  // a new id: no other quote has it
  if (index) index->emplace(AsciiUpper(raw->name), raw);
  return raw;
}

void VLStoreRecords::DropUnusedQuotes() {
  std::unordered_set<uint32_t> used;
  for (const auto& p : positions) {
    if (const auto* stock = AsStock(static_cast<VLHoldingItem*>(p.get()))) used.insert(stock->quoteId);
  }
  std::vector<uint32_t> unused;
  for (const auto& q : quotes) {
    if (!used.count(q->id)) unused.push_back(q->id);
  }
  for (uint32_t id : unused) quotes.Remove(id);
}

VLResult VLDatabase::GetPositions(VLDatabaseConn* conn, uint32_t portfolioId, bool held,
                                  VLHoldingItemList& list) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  if (!FindPortfolio(portfolioId)) return VLResult::NotFound;
  list.RemoveAll();
  for (const auto& item : positions) {
    const auto* holding = static_cast<const VLHoldingItem*>(item.get());
    if (holding->ownerPortfolioId != portfolioId) continue;
    const VLStockHoldingItem* stock = AsStock(holding);
    const bool wanted = stock ? stock->IsSold() != held : held;
    if (!wanted) continue;
    list.InsertAt(list.GetCount(), holding->Clone());  // ids are unique; the clone shares the quote
  }
  std::vector<VLStockHoldingItem*> stocks;
  for (const auto& item : list) {
    if (VLStockHoldingItem* stock = AsStock(static_cast<VLHoldingItem*>(item.get()))) stocks.push_back(stock);
  }
  ShareIncome(portfolioId, stocks);
  ShareBaseFigures(portfolioId, stocks);
  return VLResult::Ok;
}

void VLDatabase::ShareIncome(uint32_t portfolioId, const std::vector<VLStockHoldingItem*>& handedOut) const {
  std::vector<VLIncomeItem> paid;
  for (const auto& item : incomes) {
    const auto* income = static_cast<const VLIncomeItem*>(item.get());
    if (income->portfolioId == portfolioId) (void)paid.emplace_back().CopyFrom(income);
  }
  if (paid.empty()) return;  // the common case costs one pass over the income
  // Entitlement looks at every position of the portfolio, held and sold.
  std::vector<const VLStockHoldingItem*> stocks;
  for (const auto& item : positions) {
    const VLStockHoldingItem* stock = AsStock(static_cast<const VLHoldingItem*>(item.get()));
    if (stock && stock->ownerPortfolioId == portfolioId) stocks.push_back(stock);
  }
  const auto shares = AllocateIncome(stocks, paid, TodayDayNumber());
  for (VLStockHoldingItem* stock : handedOut) {
    const auto found = shares.find(stock->id);
    if (found != shares.end()) stock->income = found->second;
  }
}

VLResult VLDatabase::GetPosition(VLDatabaseConn* conn, uint32_t id,
                                 std::unique_ptr<VLHoldingItem>& position) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  const VLHoldingItem* stored = FindPosition(id);
  if (!stored) return VLResult::NotFound;
  std::unique_ptr<Item> clone = stored->Clone();
  position.reset(static_cast<VLHoldingItem*>(clone.release()));
  if (VLStockHoldingItem* stock = AsStock(position.get())) {
    ShareIncome(stored->ownerPortfolioId, {stock});
    ShareBaseFigures(stored->ownerPortfolioId, {stock});
  }
  return VLResult::Ok;
}

VLResult VLDatabase::InsertStock(ChangeRecorder& record, uint32_t portfolioId,
                                 const VLStockHoldingItem& fields, uint32_t& id, SymbolIndex* index) {
  if (!IdsLeft(lastPositionId)) return VLResult::StoreFull;
  VLStockInfoItem* quote = BindQuote(fields.name, index);
  if (!quote) return VLResult::StoreFull;
  record.Position(lastPositionId + 1);
  record.Portfolio(portfolioId);
  auto stock = std::make_unique<VLStockHoldingItem>();
  CopyStockFields(fields, *stock);
  stock->id = ++lastPositionId;
  stock->ownerPortfolioId = portfolioId;
  stock->quoteId = quote->id;
  stock->quote = quote->quote;
  stock->name = quote->name;
  id = stock->id;
  positions.InsertAt(positions.GetCount(), std::move(stock));  // a new id: no other position has it
  return VLResult::Ok;
}

VLResult VLDatabase::AddStockPosition(VLDatabaseConn* conn, uint32_t portfolioId,
                                      const VLStockHoldingItem& fields, uint32_t& id) {
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    if (portfolioId == 0 || fields.name.empty() || fields.mgnEquity > 100 ||
        !DatesInOrder(fields.purchaseDate, fields.saleDate) || !fields.FitsRecord()) {
      return VLResult::Failed;
    }
    if (!FindPortfolio(portfolioId)) return VLResult::NotFound;
    if (VLResult rc = InsertStock(change.record, portfolioId, fields, id); rc != VLResult::Ok) return rc;
    const auto* added = static_cast<const VLHoldingItem*>(positions.GetAt(positions.GetCount() - 1));
    change.record.SetText("Add " + PositionWords(*added) + " to " + PortfolioName(portfolioId));
    Touch(portfolioId);
    change.events.emplace_back(portfolioId, id, VLDatabaseEvent::kPositionAdded);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::AddAmountPosition(VLDatabaseConn* conn, uint32_t portfolioId,
                                       std::unique_ptr<VLHoldingItem> position, uint32_t& id) {
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    if (!FindPortfolio(portfolioId)) return VLResult::NotFound;
    if (!IdsLeft(lastPositionId)) return VLResult::StoreFull;
    change.record.Position(lastPositionId + 1);
    position->id = id = ++lastPositionId;
    position->ownerPortfolioId = portfolioId;
    change.record.Portfolio(portfolioId);
    change.record.SetText("Add " + PositionWords(*position) + " to " + PortfolioName(portfolioId));
    positions.Add(std::move(position));
    Touch(portfolioId);
    change.events.emplace_back(portfolioId, id, VLDatabaseEvent::kPositionAdded);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::AddCashPosition(VLDatabaseConn* conn, uint32_t portfolioId, uint32_t amount,
                                     const std::string& comment, uint32_t& id) {
  auto cash = std::make_unique<VLCashHoldingItem>();
  cash->amount = amount;
  cash->name = comment;
  return AddAmountPosition(conn, portfolioId, std::move(cash), id);
}

VLResult VLDatabase::AddMarginPosition(VLDatabaseConn* conn, uint32_t portfolioId, uint32_t amountOwed,
                                       const std::string& comment, uint32_t& id) {
  auto margin = std::make_unique<VLMarginHoldingItem>();
  margin->amountOwed = amountOwed;
  margin->name = comment;
  return AddAmountPosition(conn, portfolioId, std::move(margin), id);
}

VLResult VLDatabase::ModifyStockPosition(VLDatabaseConn* conn, uint32_t id, const VLStockHoldingItem& fields,
                                         const std::string& newSymbol) {
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    VLHoldingItem* holding = FindPosition(id);
    if (!holding) return VLResult::NotFound;
    VLStockHoldingItem* stock = AsStock(holding);
    if (!stock) return VLResult::Failed;
    if (fields.mgnEquity > 100 || !DatesInOrder(fields.purchaseDate, fields.saleDate) || !fields.FitsRecord())
      return VLResult::Failed;
    VLStockInfoItem* quote = nullptr;
    if (!newSymbol.empty() && !(quote = BindQuote(newSymbol))) return VLResult::StoreFull;
    change.record.Position(*stock);
    change.record.Portfolio(stock->ownerPortfolioId);
    const std::string oldSymbol = stock->name;
    CopyStockFields(fields, *stock);
    if (quote) {
      stock->quoteId = quote->id;
      stock->quote = quote->quote;
      stock->name = quote->name;
      DropUnusedQuotes();
    }
    const std::string in = " in " + PortfolioName(stock->ownerPortfolioId);
    change.record.SetText(oldSymbol == stock->name ? "Change " + PositionWords(*stock) + in
                                                   : "Change the symbol of position " + std::to_string(id) +
                                                         " from " + oldSymbol + " to " + stock->name + in);
    Touch(stock->ownerPortfolioId);
    change.events.emplace_back(stock->ownerPortfolioId, id, VLDatabaseEvent::kPositionChanged);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::ModifyAmountPosition(VLDatabaseConn* conn, uint32_t id, int32_t kind,
                                          uint32_t portfolioId, uint32_t amount, const std::string& comment,
                                          int32_t eventKind) {
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    VLHoldingItem* holding = FindPosition(id);
    if (!holding) return VLResult::NotFound;
    if (holding->GetKind() != kind) return VLResult::Failed;
    if (!FindPortfolio(portfolioId)) return VLResult::NotFound;
    change.record.Position(*holding);
    change.record.Portfolio(portfolioId);
    holding->ownerPortfolioId = portfolioId;
    if (kind == kHoldingCash) {
      static_cast<VLCashHoldingItem*>(holding)->amount = amount;
    } else {
      static_cast<VLMarginHoldingItem*>(holding)->amountOwed = amount;
    }
    holding->name = comment;
    change.record.SetText("Change " + PositionWords(*holding) + " in " + PortfolioName(portfolioId));
    Touch(portfolioId);
    change.events.emplace_back(portfolioId, id, eventKind);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::ModifyCashPosition(VLDatabaseConn* conn, uint32_t id, uint32_t portfolioId,
                                        uint32_t amount, const std::string& comment) {
  return ModifyAmountPosition(conn, id, kHoldingCash, portfolioId, amount, comment,
                              VLDatabaseEvent::kPositionChanged);
}

VLResult VLDatabase::ModifyMarginPosition(VLDatabaseConn* conn, uint32_t id, uint32_t portfolioId,
                                          uint32_t amountOwed, const std::string& comment) {
  // Listeners have always been told "appeared" for a changed margin debt; they refill either way.
  return ModifyAmountPosition(conn, id, kHoldingMargin, portfolioId, amountOwed, comment,
                              VLDatabaseEvent::kPositionAdded);
}

VLResult VLDatabase::SellStored(ChangeRecorder& record, VLStockHoldingItem& stock, Quantity qty,
                                UnitPrice salePrice, uint32_t saleCommission, int64_t saleDate,
                                uint32_t& newId) {
  newId = 0;
  if (stock.IsSold()) return VLResult::AlreadySold;
  // A sale of no shares, or at a price of 0 (which would leave the position looking held), is refused.
  if (qty.Units() <= 0 || salePrice.Units() <= 0 || salePrice > kMaxStoredPrice || qty > stock.qty)
    return VLResult::Failed;
  if (saleDate != 0 && !DatesInOrder(stock.purchaseDate, saleDate)) return VLResult::Failed;
  if (qty < stock.qty && !IdsLeft(lastPositionId)) return VLResult::StoreFull;
  record.Position(stock);
  if (qty < stock.qty) record.Position(lastPositionId + 1);
  record.Portfolio(stock.ownerPortfolioId);
  if (qty < stock.qty) {
    std::unique_ptr<Item> rest = stock.Clone();
    auto* remainder = static_cast<VLStockHoldingItem*>(rest.get());
    remainder->id = newId = ++lastPositionId;
    remainder->qty = stock.qty - qty;
    // The purchase commission was paid once: each part carries its share of it in cents, the sold part
    // its share rounded half away from zero and the rest what remains, so the two add up to what was paid.
    const auto soldShare = static_cast<uint32_t>(ShareOfCents(stock.buyCommission, qty, stock.qty));
    remainder->buyCommission = stock.buyCommission - soldShare;
    stock.buyCommission = soldShare;
    const auto soldRemainder = static_cast<int32_t>(ShareOfCents(stock.paidRemainder, qty, stock.qty));
    remainder->paidRemainder = stock.paidRemainder - soldRemainder;
    stock.paidRemainder = soldRemainder;
    positions.InsertAt(positions.GetCount(), std::move(rest));  // a new id: no other position has it
  }
  stock.qty = qty;
  stock.salePricePerShare = salePrice;
  stock.saleCommission = saleCommission;
  stock.saleDate = saleDate;
  return VLResult::Ok;
}

VLResult VLDatabase::SellPosition(VLDatabaseConn* conn, uint32_t id, Quantity qty, UnitPrice salePrice,
                                  uint32_t saleCommission, int64_t saleDate, uint32_t& newId) {
  newId = 0;
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    VLHoldingItem* holding = FindPosition(id);
    if (!holding) return VLResult::NotFound;
    VLStockHoldingItem* stock = AsStock(holding);
    if (!stock) return VLResult::Failed;
    const std::string text =
        "Sell " + DecimalText(qty) + " of " + stock->name + " in " + PortfolioName(stock->ownerPortfolioId);
    if (VLResult rc = SellStored(change.record, *stock, qty, salePrice, saleCommission, saleDate, newId);
        rc != VLResult::Ok) {
      return rc;
    }
    change.record.SetText(text);
    Touch(stock->ownerPortfolioId);
    change.events.emplace_back(stock->ownerPortfolioId, id, VLDatabaseEvent::kPositionChanged);
    if (newId) change.events.emplace_back(stock->ownerPortfolioId, newId, VLDatabaseEvent::kPositionAdded);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::UnsellPosition(VLDatabaseConn* conn, uint32_t id) {
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    VLHoldingItem* holding = FindPosition(id);
    if (!holding) return VLResult::NotFound;
    VLStockHoldingItem* stock = AsStock(holding);
    if (!stock) return VLResult::Failed;
    if (!stock->IsSold()) return VLResult::NotSold;
    change.record.Position(*stock);
    change.record.Portfolio(stock->ownerPortfolioId);
    change.record.SetText("Unsell " + PositionWords(*stock) + " in " +
                          PortfolioName(stock->ownerPortfolioId));
    stock->salePricePerShare = UnitPrice();
    stock->saleCommission = 0;
    stock->saleDate = 0;
    Touch(stock->ownerPortfolioId);
    change.events.emplace_back(stock->ownerPortfolioId, id, VLDatabaseEvent::kPositionChanged);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::CopyPosition(VLDatabaseConn* conn, uint32_t id, uint32_t toPortfolioId) {
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    VLHoldingItem* holding = FindPosition(id);
    if (!holding || !FindPortfolio(toPortfolioId)) return VLResult::NotFound;
    if (!IdsLeft(lastPositionId)) return VLResult::StoreFull;
    change.record.Position(lastPositionId + 1);
    change.record.Portfolio(toPortfolioId);
    change.record.SetText("Copy " + PositionWords(*holding) + " from " +
                          PortfolioName(holding->ownerPortfolioId) + " to " + PortfolioName(toPortfolioId));
    std::unique_ptr<Item> clone = holding->Clone();
    auto* copy = static_cast<VLHoldingItem*>(clone.get());
    copy->id = ++lastPositionId;
    copy->ownerPortfolioId = toPortfolioId;
    if (auto* stock = AsStock(copy)) {
      if (VLStockInfoItem* quote = FindQuote(stock->quoteId)) ++quote->refCount;
    }
    positions.Add(std::move(clone));
    Touch(toPortfolioId);
    // Names the source position, so a window showing the target can find what was copied.
    change.events.emplace_back(toPortfolioId, id, VLDatabaseEvent::kPositionAdded);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::MovePosition(VLDatabaseConn* conn, uint32_t id, uint32_t toPortfolioId) {
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    VLHoldingItem* holding = FindPosition(id);
    if (!holding || !FindPortfolio(toPortfolioId)) return VLResult::NotFound;
    const uint32_t from = holding->ownerPortfolioId;
    if (from == toPortfolioId) {
      change.unchanged = true;
      return VLResult::Ok;
    }
    change.record.Position(*holding);
    change.record.Portfolio(toPortfolioId);
    change.record.SetText("Move " + PositionWords(*holding) + " from " + PortfolioName(from) + " to " +
                          PortfolioName(toPortfolioId));
    holding->ownerPortfolioId = toPortfolioId;
    Touch(toPortfolioId);
    change.events.emplace_back(from, id, VLDatabaseEvent::kPositionRemoved);
    change.events.emplace_back(toPortfolioId, id, VLDatabaseEvent::kPositionAdded);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::DeletePosition(VLDatabaseConn* conn, uint32_t id) {
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    VLHoldingItem* holding = FindPosition(id);
    if (!holding) return VLResult::NotFound;
    const uint32_t portfolioId = holding->ownerPortfolioId;
    change.record.Position(*holding);
    change.record.Portfolio(portfolioId);
    change.record.SetText("Delete " + PositionWords(*holding) + " from " + PortfolioName(portfolioId));
    positions.Remove(id);
    DropUnusedQuotes();
    Touch(portfolioId);
    change.events.emplace_back(portfolioId, id, VLDatabaseEvent::kPositionRemoved);
    return VLResult::Ok;
  });
}
