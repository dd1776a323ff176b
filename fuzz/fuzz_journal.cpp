// Feeds bytes to the journal as the payload of an entry whose frame and checksum are right, so that the
// reading gets past the checksum: an entry either reads or is refused as damaged or too new; one that reads
// encodes back to the same bytes, and every record image in it either restores a whole record or is
// refused.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "framework/item.h"
#include "portfolio/journal/journal_entry.h"
#include "portfolio/journal/journal_hash.h"
#include "portfolio/journal/record_image.h"

namespace {

void PutLittleEndian(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A damaged image may still restore to a record that images differently (the fuzzer found such bytes); the
// record it gives must then image to bytes that restore to that same record again, so that undo and redo
// compare like with like.
void CheckImage(RecordImager& imager, JournalRecordKind kind, const std::string& image) {
  if (image.empty()) return;  // the record did not exist on that side
  std::unique_ptr<Item> record = RestoreRecord(kind, image);
  if (!record) return;
  const std::string first(imager.Image(kind, *record));
  std::unique_ptr<Item> again = RestoreRecord(kind, first);
  if (!again) std::abort();
  if (imager.Image(kind, *again) != first) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view payload(reinterpret_cast<const char*>(data), size);
  std::string frame;
  PutLittleEndian(frame, kJournalEntryMagic, 4);
  PutLittleEndian(frame, payload.size(), 4);
  PutLittleEndian(frame, JournalHash(payload, payload.size()), 8);
  frame.append(payload);
  size_t frameSize = 0;
  JournalEntryHeader header;
  JournalEntry entry;
  if (DecodeJournalEntry(frame, frameSize, header, &entry) != JournalFrameResult::Ok) return 0;
  if (frameSize != frame.size()) std::abort();
  if (EncodeJournalEntry(entry) != frame) std::abort();
  RecordImager imager;
  for (const JournalRecordChange& change : entry.records) {
    CheckImage(imager, change.kind, change.before);
    CheckImage(imager, change.kind, change.after);
  }
  return 0;
}
