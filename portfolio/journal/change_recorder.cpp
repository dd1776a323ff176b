#include "portfolio/journal/change_recorder.h"

#include "framework/item.h"
#include "portfolio/journal/journal_hash.h"

namespace {
uint64_t Key(JournalRecordKind kind, uint32_t id) {
  return uint64_t{static_cast<uint8_t>(kind)} << 32 | id;
}
}  // namespace

uint64_t ImageHash(std::string_view image) {
  return image.empty() ? 0 : JournalHash(image);
}

ChangeRecorder::ChangeRecorder(RecordImager& imager, Finder find) : imager(imager), find(std::move(find)) {}

void ChangeRecorder::Portfolio(Item& portfolio) {
  Note(JournalRecordKind::Portfolio, portfolio.id, &portfolio);
}

void ChangeRecorder::Position(Item& position) {
  Note(JournalRecordKind::Position, position.id, &position);
}

void ChangeRecorder::ManualPrice(Item& price) {
  Note(JournalRecordKind::ManualPrice, price.id, &price);
}

void ChangeRecorder::Note(JournalRecordKind recordKind, uint32_t id, Item* record) {
  if (id == 0 || !noted.emplace(Key(recordKind, id), records.size()).second) return;
  if (!record) record = find(recordKind, id);
  JournalRecordChange change;
  change.kind = recordKind;
  change.id = id;
  if (record) change.before = std::string(imager.Image(recordKind, *record));
  records.push_back(std::move(change));
}

void ChangeRecorder::SetStep(JournalEntryKind stepKind, uint64_t stepTarget) {
  kind = stepKind;
  target = stepTarget;
}

void ChangeRecorder::Finish(const Finder& findNow) {
  for (JournalRecordChange& change : records) {
    Item* record = findNow(change.kind, change.id);
    change.after = record ? std::string(imager.Image(change.kind, *record)) : std::string();
  }
  // A record noted but left as it was is no part of the change.
  std::erase_if(records, [](const JournalRecordChange& c) { return c.before == c.after; });
  noted.clear();
}

uint64_t ChangeRecorder::FingerprintAfter(uint64_t before) const {
  uint64_t sum = before;
  for (const JournalRecordChange& change : records) sum += ImageHash(change.after) - ImageHash(change.before);
  return sum;
}

JournalEntry ChangeRecorder::TakeEntry(int64_t time, const std::string& program, uint64_t fingerprintBefore,
                                       uint64_t fingerprintAfter) {
  JournalEntry entry;
  entry.header.time = time;
  entry.header.kind = kind;
  entry.header.target = target;
  entry.header.fingerprintBefore = fingerprintBefore;
  entry.header.fingerprintAfter = fingerprintAfter;
  entry.header.program = program;
  entry.header.text = text.empty() ? std::string("Change") : text;
  entry.records = std::move(records);
  records.clear();
  return entry;
}
