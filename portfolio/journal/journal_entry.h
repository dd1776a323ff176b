#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "portfolio/journal/record_image.h"

// What kind of step an entry records.
enum class JournalEntryKind : uint8_t {
  Change = 0,  // an ordinary change operation of the database
  Undo = 1,    // the inverse of the entry `target` names
  Redo = 2,    // entry `target` applied again after it was undone
};

// One record before and after a change: the images of RecordImager; an empty image means the record did
// not exist (before an addition, after a removal).
struct JournalRecordChange {
  JournalRecordKind kind = JournalRecordKind::Position;
  uint32_t id = 0;
  std::string before;
  std::string after;
};

// What a journal entry says about a change, without its records: enough to list it, to tell undo and redo
// which entry is next, and to check that the database is where the entry left it.
struct JournalEntryHeader {
  uint64_t sequence = 0;
  int64_t time = 0;  // seconds since 1970 UTC
  JournalEntryKind kind = JournalEntryKind::Change;
  uint64_t target = 0;  // the sequence number an undo or redo refers to; 0 for a change
  // The store's fingerprint before and after: the sum of the hashes of every portfolio's and position's
  // image. The chain of these tells whether the database is still the one the journal saw.
  uint64_t fingerprintBefore = 0;
  uint64_t fingerprintAfter = 0;
  std::string program;  // "vellumar", "vellumar-cli"
  std::string text;     // what was done, as the user reads it
  uint32_t recordCount = 0;
};

struct JournalEntry {
  JournalEntryHeader header;
  std::vector<JournalRecordChange> records;
};

// The framing of an entry in the file: a magic number, the payload's length, a checksum of the payload,
// then the payload (version, header fields, records). A reader trusts an entry only when all of it is there
// and the checksum holds.
inline constexpr uint32_t kJournalEntryMagic = 0x454A4C56;  // "VLJE"
inline constexpr size_t kJournalFrameBytes = 16;            // magic, length, checksum
inline constexpr uint32_t kJournalFormatVersion = 1;
// No entry of a sane store comes near this; a larger length is damage.
inline constexpr uint64_t kJournalMaxPayloadBytes = uint64_t{1} << 31;

// The whole framed entry.
std::string EncodeJournalEntry(const JournalEntry& entry);

// Reading one framed entry at the start of `bytes`.
enum class JournalFrameResult {
  Ok,
  Torn,     // the bytes end inside the entry (a write that did not finish)
  Damaged,  // the magic number or the checksum is wrong
  TooNew,   // written by a newer version of Vellumar
};
// `frameSize` receives the entry's whole size when Ok. `entry` is filled when given; `header` always.
JournalFrameResult DecodeJournalEntry(std::string_view bytes, size_t& frameSize, JournalEntryHeader& header,
                                      JournalEntry* entry = nullptr);
