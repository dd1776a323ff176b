// Undo and redo: change operations of their own that put back the records a journal entry holds.
#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <unordered_map>

#include "framework/text_util.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/journal/journal_history.h"
#include "portfolio/journal/list_restore.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

namespace {

const VLHoldingItem* AsHolding(const Item* item) {
  return static_cast<const VLHoldingItem*>(item);
}

}  // namespace

VLResult VLChangeRunner::Undo(VLDatabaseConn* conn, VLJournalStep& step) {
  return JournalStep(conn, true, step);
}

VLResult VLChangeRunner::Redo(VLDatabaseConn* conn, VLJournalStep& step) {
  return JournalStep(conn, false, step);
}

VLResult VLChangeRunner::JournalStep(VLDatabaseConn* conn, bool undo, VLJournalStep& step) {
  step = VLJournalStep{};
  const VLResult rc = RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    ChangeJournal& j = Journal();
    if (!j.Refresh()) {
      journaling.lastError = j.LastError();
      return VLResult::JournalUnreadable;
    }
    const JournalHistory history = DeriveJournalHistory(j.Entries());
    const std::optional<size_t> next = undo ? history.NextUndo() : history.NextRedo();
    if (!next) return undo ? VLResult::NothingToUndo : VLResult::NothingToRedo;
    const JournalEntryHeader& target = j.Entries()[*next].header;
    step.target = target.sequence;
    step.text = target.text;
    // The store must be where the entry left it (undo) or found it (redo), or the records put back
    // would not be the records that were there.
    if (CurrentFingerprint() != (undo ? target.fingerprintAfter : target.fingerprintBefore)) {
      return VLResult::JournalMismatch;
    }
    JournalEntry entry;
    if (!j.Read(*next, entry)) {
      journaling.lastError = j.LastError();
      return VLResult::JournalUnreadable;
    }
    return ApplyJournalEntry(change, entry, undo, step);
  });
  if (rc == VLResult::Ok) step.sequence = journaling.lastSequence;
  return rc;
}

// The records an undo or redo puts back, read from the entry before anything changes, and what the windows
// are told of them.
struct VLChangeRunner::EntryRestore {
  EntryRestore(VLChangeRunner& db, const JournalEntry& entry, bool undo)
      : db(db), entry(entry), undo(undo), find(db.RecordFinder(entry.records.size())) {}

  // Whether each record as the store holds it now is the entry's image of it, byte for byte.
  bool Matches() const {
    for (const JournalRecordChange& r : entry.records) {
      const std::string& now = undo ? r.after : r.before;
      Item* current = find(r.kind, r.id);
      if (!current ? !now.empty() : (now.empty() || db.journaling.imager.Image(r.kind, *current) != now))
        return false;
    }
    return true;
  }

  // The records as the step leaves them: JournalUnreadable for one that does not read, StoreFull when the
  // quotes its positions need have no ids left.
  VLResult ReadRecords() {
    for (const auto& q : db.quotes)
      cachedQuotes.emplace(AsciiUpper(q->name), static_cast<VLStockInfoItem*>(q.get()));
    std::set<std::string> newSymbols;
    for (const JournalRecordChange& r : entry.records) {
      const std::string& wanted = undo ? r.before : r.after;
      const bool isPortfolio = r.kind == JournalRecordKind::Portfolio;
      const bool isPlain = IsPlain(r.kind);
      if (wanted.empty()) {
        (isPortfolio ? portfolioRemoved : isPlain ? plain[r.kind].removed : positionRemoved).push_back(r.id);
        continue;
      }
      std::unique_ptr<Item> record = RestoreRecord(r.kind, wanted);
      if (!record || record->id != r.id) {
        db.journaling.lastError = FileError::WithReason("read", db.journaling.Opened().Path(),
                                                        "an entry holds a record that does not read");
        return VLResult::JournalUnreadable;
      }
      if (isPlain) {
        plain[r.kind].records.push_back(std::move(record));
        continue;
      }
      if (!isPortfolio && AsHolding(record.get())->GetKind() == kHoldingStock &&
          !cachedQuotes.count(AsciiUpper(record->name))) {
        newSymbols.insert(AsciiUpper(record->name));
      }
      (isPortfolio ? portfolioRecords : positionRecords).push_back(std::move(record));
    }
    if (newSymbols.size() > std::numeric_limits<uint32_t>::max() - db.lastQuoteId) return VLResult::StoreFull;
    return VLResult::Ok;
  }

  // What the windows are told: the portfolios that come, change and go; of the positions, one event each
  // where a portfolio has one, else one "position changed" naming no position (one refill of that
  // portfolio, not one per position). Also the records the step leaves, for `step`.
  void Tell(Change& change, VLJournalStep& step) const {
    std::unordered_map<uint32_t, const VLHoldingItem*> restoredPositions;
    for (const auto& record : positionRecords) restoredPositions.emplace(record->id, AsHolding(record.get()));
    std::map<uint32_t, std::vector<VLDatabaseEvent>> positionEvents;
    std::vector<VLDatabaseEvent> portfolioEvents;
    std::vector<VLDatabaseEvent> portfoliosGone;
    for (const JournalRecordChange& r : entry.records) {
      if (IsPlain(r.kind)) continue;  // prices are told below, as new figures
      const Item* current = find(r.kind, r.id);
      if (r.kind == JournalRecordKind::Portfolio) {
        if ((undo ? r.before : r.after).empty()) {
          portfoliosGone.emplace_back(r.id, 0, VLDatabaseEvent::kPortfolioDeleted);
        } else {
          portfolioEvents.emplace_back(
              r.id, 0, current ? VLDatabaseEvent::kPortfolioModified : VLDatabaseEvent::kPortfolioAdded);
          step.portfolioIds.push_back(r.id);
        }
        continue;
      }
      const auto restored = restoredPositions.find(r.id);
      const uint32_t from = current ? AsHolding(current)->ownerPortfolioId : 0;
      const uint32_t to = restored != restoredPositions.end() ? restored->second->ownerPortfolioId : 0;
      if (to) step.positionIds.push_back(r.id);
      if (from && from != to)
        positionEvents[from].emplace_back(from, r.id, VLDatabaseEvent::kPositionRemoved);
      if (to && from != to) positionEvents[to].emplace_back(to, r.id, VLDatabaseEvent::kPositionAdded);
      if (to && from == to) positionEvents[to].emplace_back(to, r.id, VLDatabaseEvent::kPositionChanged);
    }
    change.events = portfolioEvents;
    for (auto& [portfolioId, events] : positionEvents) {
      if (events.size() == 1) {
        change.events.push_back(events.front());
      } else if (std::none_of(portfoliosGone.begin(), portfoliosGone.end(),
                              [id = portfolioId](const auto& e) { return e.portfolioId == id; })) {
        change.events.emplace_back(portfolioId, 0, VLDatabaseEvent::kPositionChanged);
      }
    }
    change.events.insert(change.events.end(), portfoliosGone.begin(), portfoliosGone.end());
    change.kind =
        portfolioEvents.empty() && portfoliosGone.empty() ? NoticeKind::Positions : NoticeKind::Portfolios;
    // A price set by hand changes the figures of every position of its symbol, as a quote refresh does.
    if (PricesChange()) change.events.emplace_back(0, 0, VLDatabaseEvent::kQuotesRefreshed);
  }

  // The change itself, journaled as the undo or redo of the entry.
  void PutBack(Change& change) {
    for (const JournalRecordChange& r : entry.records) change.record.Record(r.kind, r.id);
    change.record.SetStep(undo ? JournalEntryKind::Undo : JournalEntryKind::Redo, entry.header.sequence);
    change.record.SetText((undo ? "Undo " : "Redo ") + entry.header.text);
    for (auto& record : positionRecords) {
      auto* holding = static_cast<VLHoldingItem*>(record.get());
      db.lastPositionId = std::max(db.lastPositionId, holding->id);
      if (holding->GetKind() == kHoldingStock) Bind(*static_cast<VLStockHoldingItem*>(holding));
    }
    for (const auto& record : portfolioRecords) db.lastPortfolioId = std::max(db.lastPortfolioId, record->id);
    const bool positionsChanged = !positionRecords.empty() || !positionRemoved.empty();
    RestoreRecords(db.portfolios, std::move(portfolioRecords), portfolioRemoved);
    RestoreRecords(db.positions, std::move(positionRecords), positionRemoved);
    for (auto& [kind, restored] : plain) {
      uint32_t& lastId = db.LastRecordId(kind);
      for (const auto& record : restored.records) lastId = std::max(lastId, record->id);
      RestoreRecords(db.RecordList(kind), std::move(restored.records), restored.removed);
    }
    if (positionsChanged) db.DropUnusedQuotes();
  }

 private:
  // Kinds whose records stand alone: put back as they are, with nothing to bind.
  static bool IsPlain(JournalRecordKind kind) {
    return kind == JournalRecordKind::ManualPrice || kind == JournalRecordKind::CorporateAction ||
           kind == JournalRecordKind::Income;
  }
  bool PricesChange() const { return plain.count(JournalRecordKind::ManualPrice) != 0; }

  // The symbol binds the position to its cached quote, made anew (with a new id) when the symbol has none
  // any more; its figures come with the next refresh.
  void Bind(VLStockHoldingItem& stock) {
    VLStockInfoItem*& quote = cachedQuotes[AsciiUpper(stock.name)];
    if (quote) {
      ++quote->refCount;  // bound once more, as every binding counts
    } else {
      quote = db.BindQuote(stock.name);  // cannot fail: ReadRecords counted the ids
    }
    stock.quoteId = quote->id;
    stock.quote = quote->quote;
    stock.name = quote->name;
  }

  VLChangeRunner& db;
  const JournalEntry& entry;
  bool undo;
  ChangeRecorder::Finder find;
  std::vector<std::unique_ptr<Item>> portfolioRecords;
  std::vector<std::unique_ptr<Item>> positionRecords;
  std::vector<uint32_t> portfolioRemoved;
  std::vector<uint32_t> positionRemoved;
  struct PlainRecords {
    std::vector<std::unique_ptr<Item>> records;
    std::vector<uint32_t> removed;
  };
  std::map<JournalRecordKind, PlainRecords> plain;
  std::unordered_map<std::string, VLStockInfoItem*> cachedQuotes;
};

VLResult VLChangeRunner::ApplyJournalEntry(Change& change, const JournalEntry& entry, bool undo,
                                           VLJournalStep& step) {
  EntryRestore restore(*this, entry, undo);
  if (!restore.Matches()) return VLResult::JournalMismatch;
  if (VLResult rc = restore.ReadRecords(); rc != VLResult::Ok) return rc;
  restore.Tell(change, step);
  restore.PutBack(change);
  return VLResult::Ok;
}
