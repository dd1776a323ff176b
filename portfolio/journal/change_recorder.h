#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "portfolio/journal/journal_entry.h"
#include "portfolio/journal/record_image.h"

class Item;

// Collects what one change operation of the database does to portfolios and positions, for the journal.
//
// An operation calls Portfolio(id) or Position(id) for every record it is about to change, add or remove,
// before it does so: the first call for a record keeps its image as it is then, or that it does not exist
// yet (a record about to be added, under the id it will get: note it before the id is taken from the
// counter, `lastPositionId + 1`, which the look-up knows no record has). A batch operation does the same
// for each of its records, in any number (many look-ups go through an index); a caller that holds the
// record itself passes it instead of its id, which spares the look-up. SetText says what was done, as the
// user reads it ("Sell 40 of MSFT in Retirement"). After the operation the database takes every noted record
// as it is then, writes the entry and keeps the store's fingerprint up to date from the two images of each
// record; an operation that notes nothing writes no entry (a setting such as the market).
class ChangeRecorder {
 public:
  // A record of the store by kind and id; null when there is none.
  using Finder = std::function<Item*(JournalRecordKind, uint32_t)>;

  ChangeRecorder(RecordImager& imager, Finder find);

  void Portfolio(uint32_t id) { Note(JournalRecordKind::Portfolio, id, nullptr); }
  void Position(uint32_t id) { Note(JournalRecordKind::Position, id, nullptr); }
  void ManualPrice(uint32_t id) { Note(JournalRecordKind::ManualPrice, id, nullptr); }
  // Any record of the store by its kind.
  void Record(JournalRecordKind recordKind, uint32_t id) { Note(recordKind, id, nullptr); }
  void Portfolio(Item& portfolio);
  void Position(Item& position);
  void ManualPrice(Item& price);
  void SetText(std::string what) { text = std::move(what); }
  const std::string& Text() const { return text; }

  // ---- What the database does with it.
  // An undo or redo of entry `target`.
  void SetStep(JournalEntryKind stepKind, uint64_t target);
  // Takes the image of every noted record as it is now, looked up with `find`.
  void Finish(const Finder& find);
  bool Empty() const { return records.empty(); }
  // The records as noted (before) and, after Finish, as they are now.
  const std::vector<JournalRecordChange>& Records() const { return records; }
  // The store's fingerprint after the change, from the one before it: every record's old hash out, its
  // new one in.
  uint64_t FingerprintAfter(uint64_t before) const;
  // The entry to append (its sequence number is the journal's to give).
  JournalEntry TakeEntry(int64_t time, const std::string& program, uint64_t fingerprintBefore,
                         uint64_t fingerprintAfter);

 private:
  void Note(JournalRecordKind kind, uint32_t id, Item* record);

  RecordImager& imager;
  Finder find;
  std::string text;
  JournalEntryKind kind = JournalEntryKind::Change;
  uint64_t target = 0;
  std::vector<JournalRecordChange> records;
  std::unordered_map<uint64_t, size_t> noted;  // kind and id -> index in records
};

// The hash of an image that the fingerprint adds up; 0 for a record that does not exist.
uint64_t ImageHash(std::string_view image);
