#pragma once
#include <cstdint>
#include <string>

#include "framework/file_error.h"
#include "portfolio/database/vl_journal_listing.h"
#include "portfolio/journal/change_journal.h"
#include "portfolio/journal/journal_history.h"
#include "portfolio/journal/record_image.h"

// The database's side of its change journal: the journal file beside the store, the images its records
// are journaled as, the store's fingerprint kept change by change, and how the last change's entry went.
class VLJournalKeeper {
 public:
  // The journal beside the store at `storePath` (Vellumar.journal beside Vellumar.db), opened at first use.
  ChangeJournal& Journal(const std::string& storePath);
  // The journal as last opened (its path empty before the first use).
  const ChangeJournal& Opened() const { return journal; }
  // Undo and redo for the Edit menu, and what is known of the file, from the journal's entries as last read.
  void FillState(VLJournalState& state, const JournalHistory& history) const;
  // Whether every change sums the fingerprint anew to check the one kept change by change: on in debug
  // builds, and wherever VELLUMAR_AUDIT_JOURNAL is set (every test run sets it).
  static bool FingerprintAudit();

  RecordImager imager;
  uint64_t fingerprint = 0;
  bool fingerprintKnown = false;     // computed lazily, kept up to date by every change, forgotten at a load
  std::string program = "vellumar";  // named in the entries
  FileError lastError;               // why the journal could not be read or written, the last time
  uint64_t lastSequence = 0;         // of the entry the last change wrote
  bool lastChangeNotJournaled = false;  // saved, but its entry could not be written

 private:
  ChangeJournal journal;
};
