// The portfolio database's side of the change journal: recording each change, the fingerprint, and reading
// the journal for the command line and the windows. Undo and redo are in vl_database_undo.cpp.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <unordered_map>
#include <vector>

#include "portfolio/database/vl_database.h"
#include "portfolio/journal/journal_history.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"

const VLStoreRecords::RecordKindRow VLStoreRecords::kRecordKindRows[] = {
    {JournalRecordKind::Portfolio, [](VLStoreRecords& s) -> ItemList& { return s.portfolios; },
     [](VLStoreRecords& s) -> uint32_t& { return s.lastPortfolioId; }},
    {JournalRecordKind::Position, [](VLStoreRecords& s) -> ItemList& { return s.positions; },
     [](VLStoreRecords& s) -> uint32_t& { return s.lastPositionId; }},
    {JournalRecordKind::ManualPrice, [](VLStoreRecords& s) -> ItemList& { return s.manualPrices; },
     [](VLStoreRecords& s) -> uint32_t& { return s.lastManualPriceId; }},
    {JournalRecordKind::CorporateAction, [](VLStoreRecords& s) -> ItemList& { return s.corporateActions; },
     [](VLStoreRecords& s) -> uint32_t& { return s.lastCorporateActionId; }},
    {JournalRecordKind::Income, [](VLStoreRecords& s) -> ItemList& { return s.incomes; },
     [](VLStoreRecords& s) -> uint32_t& { return s.lastIncomeId; }},
};
const size_t VLStoreRecords::kRecordKindCount = std::size(kRecordKindRows);

const VLStoreRecords::RecordKindRow& VLStoreRecords::RowOf(JournalRecordKind kind) {
  for (const RecordKindRow& row : kRecordKindRows) {
    if (row.kind == kind) return row;
  }
  return kRecordKindRows[0];  // not reached: an entry's kinds are bounded when it is read
}

ChangeJournal& VLChangeRunner::Journal() {
  return journaling.Journal(GetPath());
}

std::string VLChangeRunner::GetJournalPath() {
  std::lock_guard guard(lock);
  return Journal().Path();
}

ItemList& VLStoreRecords::RecordList(JournalRecordKind kind) {
  return RowOf(kind).list(*this);
}

uint32_t& VLStoreRecords::LastRecordId(JournalRecordKind kind) {
  return RowOf(kind).lastId(*this);
}

ChangeRecorder::Finder VLStoreRecords::RecordFinder(size_t expectedLookups) {
  // The first few look-ups search the lists from their end (new records are there), knowing that an id
  // beyond a counter was never given; once there are more, an index built once answers them. The index is
  // taken when it is built: a caller notes a record before it changes, adds or removes it, never after.
  struct Index {
    size_t lookups = 0;
    std::vector<std::unordered_map<uint32_t, Item*>> byKind =
        std::vector<std::unordered_map<uint32_t, Item*>>(kRecordKindCount);
  };
  auto index = std::make_shared<Index>();
  // Many look-ups to come (the records of a large change) go to the index from the first.
  if (expectedLookups > kSearchedLookups) index->lookups = kSearchedLookups;
  return [this, index](JournalRecordKind kind, uint32_t id) -> Item* {
    if (static_cast<size_t>(kind) >= kRecordKindCount || id > LastRecordId(kind)) return nullptr;
    const ItemList& list = RecordList(kind);
    if (++index->lookups <= kSearchedLookups) {
      for (auto it = std::make_reverse_iterator(list.end()); it != std::make_reverse_iterator(list.begin());
           ++it) {
        if ((*it)->id == id) return it->get();
      }
      return nullptr;
    }
    if (index->lookups == kSearchedLookups + 1) {
      for (const RecordKindRow& row : kRecordKindRows) {
        const JournalRecordKind k = row.kind;
        const ItemList& records = RecordList(k);
        auto& byId = index->byKind[static_cast<size_t>(k)];
        byId.reserve(static_cast<size_t>(records.GetCount()));
        for (const auto& item : records) byId.emplace(item->id, item.get());
      }
    }
    const auto& byId = index->byKind[static_cast<size_t>(kind)];
    const auto found = byId.find(id);
    return found == byId.end() ? nullptr : found->second;
  };
}

uint64_t VLStoreRecords::CurrentFingerprint() {
  if (journaling.fingerprintKnown) return journaling.fingerprint;
  uint64_t sum = 0;
  for (const RecordKindRow& row : kRecordKindRows) {
    for (const auto& item : row.list(*this)) sum += ImageHash(journaling.imager.Image(row.kind, *item));
  }
  journaling.fingerprint = sum;
  journaling.fingerprintKnown = true;
  return sum;
}

uint64_t VLStoreRecords::GetFingerprint() {
  std::lock_guard guard(lock);
  return CurrentFingerprint();
}

void VLChangeRunner::JournalChange(ChangeRecorder& record, bool saved) {
  // The audit looks at every change, also at one that noted nothing.
  const bool audit = VLJournalKeeper::FingerprintAudit();
  if (record.Empty() && !audit) return;
  if (!record.Empty()) record.Finish(RecordFinder(record.Records().size()));
  if (record.Empty() && !audit) return;
  // Each record's old hash out, its new one in; a store whose sum is not known yet is summed as it is now.
  const uint64_t delta = record.FingerprintAfter(0);
  const uint64_t after = journaling.fingerprintKnown ? journaling.fingerprint + delta : CurrentFingerprint();
  if (audit) {
    journaling.fingerprintKnown = false;
    if (CurrentFingerprint() != after) {
      std::fprintf(stderr,
                   "vellumar: the change \"%s\" changed a record without noting it for the change journal\n",
                   record.Text().c_str());
      std::abort();
    }
  }
  journaling.fingerprint = after;
  journaling.fingerprintKnown = true;
  if (record.Empty() || !saved)
    return;  // the change stays in memory and is saved with the next; the journal never sees it
  JournalEntry entry = record.TakeEntry(Now(), journaling.program, after - delta, after);
  // The journal holds the same records as the database: a new one gets the database's permissions.
  struct stat st {};
  const mode_t mode = ::stat(GetPath().c_str(), &st) == 0 ? (st.st_mode & 0666) : 0644;
  if (!Journal().Append(entry, mode)) {
    journaling.lastError = Journal().LastError();
    journaling.lastChangeNotJournaled = true;
    return;
  }
  journaling.lastSequence = entry.header.sequence;
}

VLResult VLChangeRunner::RefreshJournalForReading(int waitMs) {
  ChangeJournal& j = Journal();
  if (j.IsCurrent()) return VLResult::Ok;
  // Every writer holds the database's lock: under it no entry is half-written.
  StoreLocks held;
  if (LockForReading(held, waitMs) == DbResult::Busy) return VLResult::Busy;
  if (!j.Refresh()) {
    journaling.lastError = j.LastError();
    return VLResult::JournalUnreadable;
  }
  return VLResult::Ok;
}

VLResult VLChangeRunner::GetChanges(VLDatabaseConn* conn, size_t limit, std::vector<VLJournalListing>& list,
                                    VLJournalState& state, int waitMs) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  const VLResult rc = RefreshJournalForReading(waitMs);
  const std::vector<JournalIndexEntry>& entries = Journal().Entries();
  const JournalHistory history = DeriveJournalHistory(entries);
  list.clear();
  for (size_t i = entries.size(); i > 0 && (limit == 0 || list.size() < limit); --i) {
    const JournalEntryHeader& e = entries[i - 1].header;
    list.push_back({e.sequence, e.time, e.program, e.text, e.kind, e.target, history.undone[i - 1]});
  }
  journaling.FillState(state, history);
  return rc;
}

VLResult VLChangeRunner::GetJournalState(VLDatabaseConn* conn, VLJournalState& state, int waitMs) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  const VLResult rc = RefreshJournalForReading(waitMs);
  journaling.FillState(state, DeriveJournalHistory(Journal().Entries()));
  return rc;
}
