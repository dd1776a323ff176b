#pragma once
#include <cstddef>
#include <optional>
#include <vector>

struct JournalIndexEntry;

// Which changes of a journal are in effect and which are undone, derived from the entries alone: an undo
// entry takes the change it names off the changes in effect, a redo entry puts it back, and an ordinary
// change ends what may be redone (the undone changes stay undone). Entries that name a change older than
// the journal keeps are passed over.
struct JournalHistory {
  std::vector<size_t> done;      // indexes of the changes in effect, oldest first: undo takes the last
  std::vector<size_t> redoable;  // indexes of undone changes redo may apply again, the next one last
  std::vector<bool> undone;      // per entry: a change that is undone now

  std::optional<size_t> NextUndo() const;
  std::optional<size_t> NextRedo() const;
};

JournalHistory DeriveJournalHistory(const std::vector<JournalIndexEntry>& entries);
