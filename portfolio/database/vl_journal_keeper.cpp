#include "portfolio/database/vl_journal_keeper.h"

#include <cstdlib>
#include <vector>

ChangeJournal& VLJournalKeeper::Journal(const std::string& storePath) {
  if (journal.Path().empty()) journal.SetPath(ChangeJournal::PathFor(storePath));
  return journal;
}

void VLJournalKeeper::FillState(VLJournalState& state, const JournalHistory& history) const {
  const std::vector<JournalIndexEntry>& entries = journal.Entries();
  state = VLJournalState{};
  if (const auto undo = history.NextUndo()) {
    state.canUndo = true;
    state.undoText = entries[*undo].header.text;
  }
  if (const auto redo = history.NextRedo()) {
    state.canRedo = true;
    state.redoText = entries[*redo].header.text;
  }
  state.entries = entries.size();
  state.revision = journal.Revision();
  state.damagedBytes = journal.DamagedBytes();
  state.damage = journal.Damage();
}

bool VLJournalKeeper::FingerprintAudit() {
#ifndef NDEBUG
  return true;
#else
  static const bool on = std::getenv("VELLUMAR_AUDIT_JOURNAL") != nullptr;
  return on;
#endif
}
