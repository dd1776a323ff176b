// Corporate actions: a split or a symbol change, each one change over every portfolio, and the record of it.
#include <algorithm>
#include <limits>
#include <map>

#include "framework/text_util.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/exchange/import_plan.h"
#include "portfolio/exchange/import_problem.h"
#include "portfolio/exchange/import_splits.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

namespace {

constexpr uint32_t kLastId = std::numeric_limits<uint32_t>::max();

// The stored form of an action's fields: symbols in upper case, the day in today's stored form.
VLCorporateActionItem ActionFields(const std::string& symbol, int64_t exDate, CorporateActionKind kind) {
  VLCorporateActionItem fields;
  fields.name = AsciiUpper(symbol);
  fields.exDate = exDate == 0 ? 0 : StoredDateOfDay(DayNumberOfStoredDate(exDate));
  fields.kind = kind;
  return fields;
}

// Whether two actions are of the same kind, symbol and day: at most one such is recorded.
bool SameAction(const VLCorporateActionItem& a, const VLCorporateActionItem& b) {
  return a.kind == b.kind && a.name == b.name &&
         DayNumberOfStoredDate(a.exDate) == DayNumberOfStoredDate(b.exDate);
}

// One event per portfolio: the position when it is the only one changed there, else none (a refill).
void TellPortfolios(const std::map<uint32_t, std::vector<uint32_t>>& changed,
                    std::vector<VLDatabaseEvent>& events) {
  for (const auto& [portfolioId, ids] : changed) {
    events.emplace_back(portfolioId, ids.size() == 1 ? ids.front() : 0, VLDatabaseEvent::kPositionChanged);
  }
}

}  // namespace

// A split worked out against the store as it is: the positions it changes and how.
struct VLDatabase::SplitRun {
  SplitRun(VLDatabase& db, const SplitRequest& request)
      : db(db),
        request(request),
        fields(ActionFields(request.symbol, request.exDate, CorporateActionKind::Split)) {
    fields.newShares = request.ratio.newShares;
    fields.oldShares = request.ratio.oldShares;
    fields.cashInLieu = request.cashInLieu;
    fields.comment = request.comment;
  }

  // Ok with every position it changes in `preview`; nothing changes.
  VLResult Plan(SplitPreview& preview) {
    preview = SplitPreview{};
    planned.clear();
    if (!fields.FitsRecord()) return VLResult::Failed;
    if (db.FindCorporateAction(fields)) return VLResult::AlreadyRecorded;
    const int64_t exDay = DayNumberOfStoredDate(fields.exDate);
    for (const auto& item : db.positions) {
      VLStockHoldingItem* stock = AsStock(static_cast<VLHoldingItem*>(item.get()));
      if (!stock || !EqualNoCase(stock->name, fields.name) || !SplitApplies(*stock, exDay)) continue;
      SplitOfPosition split;
      if (const SplitFault fault = SplitPosition(*stock, request.ratio, request.cashInLieu, split);
          fault != SplitFault::None) {
        preview.rows.clear();
        preview.fault = fault;
        preview.faultPositionId = stock->id;
        AddRow(preview, *stock, split);
        return VLResult::ActionRefused;
      }
      AddRow(preview, *stock, split);
      planned.emplace_back(stock, std::move(split));
    }
    return VLResult::Ok;
  }

  // The planned split as part of `change`; StoreFull when the ids for the pieces paid in cash are not left.
  VLResult Apply(Change& change) {
    const auto pieces =
        static_cast<uint64_t>(std::count_if(planned.begin(), planned.end(), [](const auto& p) {
          return !p.second.fraction.IsZero() && p.second.after.qty != p.second.fraction;
        }));
    if (pieces > kLastId - db.lastPositionId || db.lastCorporateActionId == kLastId)
      return VLResult::StoreFull;
    std::map<uint32_t, std::vector<uint32_t>> changed;
    for (auto& [stock, split] : planned) {
      change.record.Position(*stock);
      change.record.Portfolio(stock->ownerPortfolioId);
      changed[stock->ownerPortfolioId].push_back(stock->id);
      if (!split.fraction.IsZero()) PayFraction(change, *stock, split, changed);
      CopySplitFields(split.after, *stock);
      db.Touch(stock->ownerPortfolioId);
    }
    db.StoreCorporateAction(change.record, fields);
    change.record.SetText("Split " + fields.name + " " + SplitRatioText(request.ratio) + " on " +
                          StoredDayText(fields.exDate));
    TellPortfolios(changed, change.events);
    return VLResult::Ok;
  }

 private:
  void AddRow(SplitPreview& preview, const VLStockHoldingItem& stock, const SplitOfPosition& split) const {
    SplitPreviewRow& row = preview.rows.emplace_back();
    row.positionId = stock.id;
    row.portfolioId = stock.ownerPortfolioId;
    row.portfolio = db.PortfolioName(stock.ownerPortfolioId);
    row.purchaseDate = stock.purchaseDate;
    row.sold = stock.IsSold();
    row.qtyBefore = stock.qty;
    row.priceBefore = stock.buyPricePerShare;
    row.qtyAfter = split.after.qty == split.fraction ? Quantity() : split.after.qty;
    row.priceAfter = split.after.buyPricePerShare;
    row.fractionPaid = split.fraction;
    row.totalPaidCents =
        ProductCents(stock.qty, stock.buyPricePerShare) + stock.buyCommission + stock.paidRemainder;
  }

  // The fraction sold on the day at the cash-in-lieu price: the position itself when no whole share is
  // left, else a piece of its own, as a partial sale splits a position.
  void PayFraction(Change& change, VLStockHoldingItem& stock, SplitOfPosition& split,
                   std::map<uint32_t, std::vector<uint32_t>>& changed) {
    if (split.after.qty == split.fraction) {
      split.after.salePricePerShare = request.cashInLieu;
      split.after.saleCommission = 0;
      split.after.saleDate = fields.exDate;
      return;
    }
    change.record.Position(db.lastPositionId + 1);
    std::unique_ptr<Item> clone = stock.Clone();
    auto* piece = static_cast<VLStockHoldingItem*>(clone.get());
    CopySplitFields(split.after, *piece);
    piece->id = ++db.lastPositionId;
    piece->qty = split.fraction;
    piece->buyCommission = split.fractionCommission;
    piece->paidRemainder = split.fractionRemainder;
    piece->salePricePerShare = request.cashInLieu;
    piece->saleCommission = 0;
    piece->saleDate = fields.exDate;
    if (VLStockInfoItem* quote = db.FindQuote(stock.quoteId)) ++quote->refCount;
    changed[stock.ownerPortfolioId].push_back(piece->id);
    db.positions.InsertAt(db.positions.GetCount(), std::move(clone));  // a new id: no other position has it
  }

  static void CopySplitFields(const VLStockHoldingItem& from, VLStockHoldingItem& to) {
    TakeSplitFields(from, to);
    to.salePricePerShare = from.salePricePerShare;
    to.saleCommission = from.saleCommission;
    to.saleDate = from.saleDate;
  }

  VLDatabase& db;
  const SplitRequest& request;
  VLCorporateActionItem fields;
  std::vector<std::pair<VLStockHoldingItem*, SplitOfPosition>> planned;
};

const VLCorporateActionItem* VLStoreRecords::FindCorporateAction(const VLCorporateActionItem& fields) const {
  for (const auto& item : corporateActions) {
    const auto* kept = static_cast<const VLCorporateActionItem*>(item.get());
    if (SameAction(*kept, fields)) return kept;
  }
  return nullptr;
}

void VLStoreRecords::StoreCorporateAction(ChangeRecorder& record, const VLCorporateActionItem& fields) {
  record.Record(JournalRecordKind::CorporateAction, lastCorporateActionId + 1);
  auto action = std::make_unique<VLCorporateActionItem>();
  (void)action->CopyFrom(&fields);  // cannot fail: not null
  action->id = ++lastCorporateActionId;
  corporateActions.InsertAt(corporateActions.GetCount(), std::move(action));  // a new id: no other has it
}

VLResult VLDatabase::GetCorporateActions(VLDatabaseConn* conn, std::vector<VLCorporateActionItem>& actions) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  actions.clear();
  actions.reserve(static_cast<size_t>(corporateActions.GetCount()));
  for (const auto& item : corporateActions) {
    (void)actions.emplace_back().CopyFrom(static_cast<const VLCorporateActionItem*>(item.get()));
  }
  std::stable_sort(actions.begin(), actions.end(), [](const auto& a, const auto& b) {
    const int64_t dayA = DayNumberOfStoredDate(a.exDate);
    const int64_t dayB = DayNumberOfStoredDate(b.exDate);
    return dayA != dayB ? dayA < dayB : a.name < b.name;
  });
  return VLResult::Ok;
}

VLResult VLDatabase::PreviewSplit(VLDatabaseConn* conn, const SplitRequest& request, SplitPreview& preview) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  SplitRun run(*this, request);
  return run.Plan(preview);
}

VLResult VLDatabase::RecordSplit(VLDatabaseConn* conn, const SplitRequest& request, SplitPreview& preview) {
  preview = SplitPreview{};
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    SplitRun run(*this, request);
    if (VLResult rc = run.Plan(preview); rc != VLResult::Ok) return rc;
    return run.Apply(change);
  });
}

VLResult VLDatabase::RecordSymbolChange(VLDatabaseConn* conn, const std::string& oldSymbol,
                                        const std::string& newSymbol, int64_t exDate,
                                        const std::string& comment, int& renamed) {
  renamed = 0;
  VLCorporateActionItem fields = ActionFields(oldSymbol, exDate, CorporateActionKind::SymbolChange);
  fields.newSymbol = AsciiUpper(newSymbol);
  fields.comment = comment;
  if (!fields.FitsRecord()) return VLResult::Failed;
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    if (FindCorporateAction(fields)) return VLResult::AlreadyRecorded;
    std::vector<VLStockHoldingItem*> renaming;
    for (const auto& item : positions) {
      VLStockHoldingItem* stock = AsStock(static_cast<VLHoldingItem*>(item.get()));
      if (stock && EqualNoCase(stock->name, fields.name)) renaming.push_back(stock);
    }
    if (lastCorporateActionId == kLastId || (!renaming.empty() && lastQuoteId == kLastId))
      return VLResult::StoreFull;
    SymbolIndex index = IndexSymbols();
    std::map<uint32_t, std::vector<uint32_t>> changed;
    for (VLStockHoldingItem* stock : renaming) {
      VLStockInfoItem* quote = BindQuote(fields.newSymbol, &index);  // found or made once: ids were checked
      change.record.Position(*stock);
      change.record.Portfolio(stock->ownerPortfolioId);
      stock->quoteId = quote->id;
      stock->quote = quote->quote;
      stock->name = quote->name;
      changed[stock->ownerPortfolioId].push_back(stock->id);
      Touch(stock->ownerPortfolioId);
    }
    if (!renaming.empty()) DropUnusedQuotes();
    StoreCorporateAction(change.record, fields);
    change.record.SetText("Change the symbol " + fields.name + " to " + fields.newSymbol + " on " +
                          StoredDayText(fields.exDate));
    TellPortfolios(changed, change.events);
    renamed = static_cast<int>(renaming.size());
    return VLResult::Ok;
  });
}

VLResult VLDatabase::ApplySplit(Change& change, const SplitRequest& request) {
  SplitRun run(*this, request);
  SplitPreview preview;
  if (VLResult rc = run.Plan(preview); rc != VLResult::Ok) return rc;
  return run.Apply(change);
}

void VLDatabase::KnownSplits(const std::vector<ImportAction>& imported, ImportSplits& all,
                             ImportSplits& reported) const {
  for (const auto& item : corporateActions) {
    const auto* action = static_cast<const VLCorporateActionItem*>(item.get());
    if (action->kind != CorporateActionKind::Split || action->exDate == 0) continue;
    all.Add(action->name, {DayNumberOfStoredDate(action->exDate), {action->newShares, action->oldShares}, 0});
  }
  for (const ImportAction& i : imported) {
    if (!i.IsReportedSplit() || i.action.exDate == 0) continue;
    const ImportSplit split{
        DayNumberOfStoredDate(i.action.exDate), {i.action.newShares, i.action.oldShares}, i.line};
    all.Add(i.action.name, split);
    reported.Add(i.action.name, split);
  }
}

std::vector<ImportAction> VLDatabase::ImportedActions(const ImportPlan& plan,
                                                      std::vector<ImportProblem>& problems) const {
  const auto same = [](const VLCorporateActionItem& a, const VLCorporateActionItem& b) {
    return a.newShares == b.newShares && a.oldShares == b.oldShares && a.newSymbol == b.newSymbol;
  };
  const auto what = [](const VLCorporateActionItem& a) {
    return a.kind == CorporateActionKind::Split ? SplitRatioText({a.newShares, a.oldShares})
                                                : "to " + a.newSymbol;
  };
  std::vector<ImportAction> added;
  for (const ImportAction& imported : plan.actions) {
    const VLCorporateActionItem& action = imported.action;
    const VLCorporateActionItem* known = FindCorporateAction(action);
    for (const ImportAction& earlier : added) {
      if (!known && SameAction(earlier.action, action)) known = &earlier.action;
    }
    if (!known) {
      added.push_back(imported);
    } else if (!same(*known, action)) {
      problems.push_back(
          {imported.line, ImportField::None,
           std::string(action.kind == CorporateActionKind::Split ? "a split" : "a symbol change") + " of " +
               action.name + " on " + StoredDayText(action.exDate) + " is recorded already as " +
               what(*known) + ", not " + what(action)});
    }
  }
  return added;
}
