#include "portfolio/journal/journal_history.h"

#include <algorithm>
#include <unordered_map>

#include "portfolio/journal/change_journal.h"

std::optional<size_t> JournalHistory::NextUndo() const {
  if (done.empty()) return std::nullopt;
  return done.back();
}

std::optional<size_t> JournalHistory::NextRedo() const {
  if (redoable.empty()) return std::nullopt;
  return redoable.back();
}

JournalHistory DeriveJournalHistory(const std::vector<JournalIndexEntry>& entries) {
  JournalHistory h;
  h.undone.assign(entries.size(), false);
  std::unordered_map<uint64_t, size_t> bySequence;
  bySequence.reserve(entries.size());
  auto take = [](std::vector<size_t>& from, size_t index) {
    const auto at = std::find(from.rbegin(), from.rend(), index);
    if (at == from.rend()) return false;
    from.erase(std::next(at).base());
    return true;
  };
  for (size_t i = 0; i < entries.size(); ++i) {
    const JournalEntryHeader& e = entries[i].header;
    if (e.kind == JournalEntryKind::Change) {
      bySequence[e.sequence] = i;
      h.done.push_back(i);
      h.redoable.clear();
      continue;
    }
    const auto target = bySequence.find(e.target);
    if (target == bySequence.end()) continue;
    const size_t t = target->second;
    if (e.kind == JournalEntryKind::Undo && take(h.done, t)) {
      h.redoable.push_back(t);
      h.undone[t] = true;
    } else if (e.kind == JournalEntryKind::Redo && take(h.redoable, t)) {
      h.done.push_back(t);
      h.undone[t] = false;
    }
  }
  return h;
}
