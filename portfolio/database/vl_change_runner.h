#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "portfolio/database/vl_change_notifier.h"
#include "portfolio/database/vl_database_conn.h"
#include "portfolio/database/vl_journal_listing.h"
#include "portfolio/database/vl_refresh_state.h"
#include "portfolio/database/vl_result.h"
#include "portfolio/database/vl_store_records.h"
#include "portfolio/journal/change_journal.h"
#include "portfolio/journal/change_recorder.h"

// The connections of a portfolio database and the way every change goes: checked, applied under the
// file's lock, saved, journaled, then told to the windows and listeners; and the journal's undo and redo,
// which are changes of their own. The operations themselves are VLDatabase's.
class VLChangeRunner : public VLStoreRecords {
 public:
  // Null for a null window. The first connection loads the file; on failure it returns null and every
  // connection is dropped. `lastOpenCode` then tells why.
  VLDatabaseConn* Connect(const std::shared_ptr<IVLCommandWindow>& window, uint32_t portfolioCmd,
                          uint32_t positionCmd, uint32_t quoteCmd);
  VLResult Disconnect(VLDatabaseConn* conn);
  void AddListener(IVLDatabaseListener* listener);
  void RemoveListener(IVLDatabaseListener* listener);
  DbResult GetLastOpenCode() const { return lastOpenCode; }

  // After a change failed because the file was deleted or replaced underneath (IsFileLost): writes the store
  // as this process has it back to the path. Failed for an unknown connection or while a refresh runs; else
  // what WriteBack answers (Ok, Failed, Busy, ReadOnly), GetLastFileError saying why.
  VLResult WriteBackFile(VLDatabaseConn* conn);

  // For a process that keeps the store in memory (the application's timer calls it once a second). A stat
  // when nothing changed. When the file is not the version this process last read or wrote, re-reads it
  // under the lock and notifies like any change: posts the portfolios command to every connection, then
  // sends kPortfolioDeleted for each portfolio that disappeared, kPortfolioAdded for each new portfolio,
  // kPortfolioModified for every other portfolio, then kQuotesRefreshed. Ok whether or not it reloaded; Busy
  // when another process holds the lock (try again on the next tick); Failed when the file cannot be read.
  // On failure the store in memory stays as it was and nothing is sent.
  VLResult ReloadIfChanged();
  static constexpr int kReloadLockWaitMs = 250;

  // ---- The change journal: Vellumar.journal beside the database (ChangeJournal::PathFor). Every change
  // operation writes an entry after its save, under the same lock; Update and the market setting do not.
  // The program named in the entries ("vellumar" unless told).
  void SetJournalProgram(std::string program) { journaling.program = std::move(program); }
  std::string GetJournalPath();
  // Applies the records as they were before the newest change in effect (same ids; id counters never go
  // back), and journals that as an undo entry naming it. Refused, changing nothing: NothingToUndo;
  // JournalMismatch when the store is not where that entry left it (the file was replaced by a backup,
  // changed by an older program or where the journal did not see it, or the journal belongs to another
  // database); JournalUnreadable; and every refusal of a change (read-only, busy, refresh running).
  VLResult Undo(VLDatabaseConn* conn, VLJournalStep& step);
  // Applies again the records after the newest undone change that no later change ended; the same
  // refusals (NothingToRedo in place of NothingToUndo).
  VLResult Redo(VLDatabaseConn* conn, VLJournalStep& step);
  // The journal's entries, newest first, at most `limit` (0: all), and its state. Reads the file under the
  // database's lock (waiting at most `waitMs`) when another program wrote it: Busy when that lock was not to
  // be had, JournalUnreadable; the list and the state are those last read then.
  VLResult GetChanges(VLDatabaseConn* conn, size_t limit, std::vector<VLJournalListing>& list,
                      VLJournalState& state, int waitMs = Database::kDefaultLockWaitMs);
  VLResult GetJournalState(VLDatabaseConn* conn, VLJournalState& state, int waitMs = kReloadLockWaitMs);
  // Why the journal could not be read or written, the last time it could not.
  const FileError& GetLastJournalError() const { return journaling.lastError; }
  // The last change was saved (it reported success) but its entry could not be written, so it cannot be
  // undone; GetLastJournalError says why. Until the next change.
  bool LastChangeNotJournaled() const { return journaling.lastChangeNotJournaled; }

 protected:
  using NoticeKind = VLNoticeKind;
  using Notice = VLNotice;
  // What a change operation fills in for RunChange.
  struct Change {
    NoticeKind kind;                      // the command posted to the connections
    std::vector<VLDatabaseEvent> events;  // sent to the listeners, in order
    ChangeRecorder record;                // the records it touches, for the journal (change_recorder.h)
    bool unchanged = false;  // set by an `apply` that found nothing to do: Ok, nothing saved or sent
  };
  // One change: under the lock, refuses when CheckChange does, runs `apply`, saves, writes the journal's
  // entry, and after unlocking posts the command of `kind` and sends the events. A refusal from `apply`, or a
  // failed save, ends it without a word to anybody.
  //
  // `apply` checks everything first and changes nothing when it refuses. Before it changes, adds or
  // removes a portfolio or position it tells change.record (Portfolio(id), Position(id), or the record
  // itself), and says what it did with change.record.SetText(...). A batch operation (an import) does the
  // same for each record it touches, in one change: the journal then undoes and redoes it as one.
  VLResult RunChange(VLDatabaseConn* conn, NoticeKind kind,
                     const std::function<VLResult(Change& change)>& apply);
  bool IsConnected(const VLDatabaseConn* conn) const;
  // The guard of every change: Failed for an unknown connection or while a refresh runs.
  VLResult CheckChange(const VLDatabaseConn* conn) const;
  // Takes the file's lock for a change and re-reads the file when another process changed it; the notice
  // of that reload, if any, goes to `reload`. Ok with the lock held; Busy, ReadOnly or Failed.
  VLResult BeginFileChange(Notice& reload);
  // Saves the change and releases the file's lock.
  VLResult SaveChange();

  VLChangeNotifier notifier;
  VLRefreshState refresh;
  DbResult lastOpenCode = DbResult::Ok;

 private:
  // Saves the change with the lock still held (then ReleaseChange).
  VLResult SaveKeepingLock();
  // After a change's save: takes the records' images as they are now, keeps the fingerprint up to date and,
  // when the save succeeded, appends the entry. With the audit on, also sums the fingerprint anew and ends
  // the program, saying so, when it differs from the one kept change by change: a record was changed without
  // being noted, and the journal would not hold it.
  void JournalChange(ChangeRecorder& record, bool saved);
  ChangeJournal& Journal();
  // The journal's index brought up to date for a reader (not inside a change).
  VLResult RefreshJournalForReading(int waitMs);
  // Undo (true) or redo (false).
  VLResult JournalStep(VLDatabaseConn* conn, bool undo, VLJournalStep& step);
  // Checks the store against the entry, reads its records, then puts them back (EntryRestore,
  // vl_database_undo.cpp).
  struct EntryRestore;
  VLResult ApplyJournalEntry(Change& change, const JournalEntry& entry, bool undo, VLJournalStep& step);
};
