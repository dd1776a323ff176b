#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/journal/change_journal.h"

// What the database tells of its change journal: an undo or redo done, an entry listed, the journal's state.

// What an undo or redo did.
struct VLJournalStep {
  uint64_t sequence = 0;  // of the entry written for it (0 when the journal could not be written)
  uint64_t target = 0;    // the entry undone or redone
  std::string text;       // that entry's text, also when the step was refused
  // The records that exist after the step, for a window to show them.
  std::vector<uint32_t> portfolioIds;
  std::vector<uint32_t> positionIds;
};

// One entry of the journal as `vellumar-cli changes` and the history window list it.
struct VLJournalListing {
  uint64_t sequence = 0;
  int64_t time = 0;
  std::string program;
  std::string text;
  JournalEntryKind kind = JournalEntryKind::Change;
  uint64_t target = 0;
  bool undone = false;  // a change that is undone now
};

// What the Edit menu needs, and what is known of the journal file.
struct VLJournalState {
  bool canUndo = false;
  bool canRedo = false;
  std::string undoText;  // the text of the change undo would undo
  std::string redoText;
  size_t entries = 0;
  uint64_t revision = 0;      // changes whenever the journal read differs from the last one
  uint64_t damagedBytes = 0;  // bytes at the end of the file that were ignored
  JournalFrameResult damage = JournalFrameResult::Ok;
};
