#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/file_error.h"
#include "framework/store_lock.h"
#include "portfolio/journal/journal_entry.h"

// Where an entry lies in the journal file, with what it says.
struct JournalIndexEntry {
  JournalEntryHeader header;
  uint64_t offset = 0;
  uint64_t size = 0;
};

// The change journal beside a database: a file of checksummed entries, one per change, appended after the
// database's save succeeded and under the same lock (the database's lock is what serialises every
// writer of the journal). The journal keeps an index of the file's entries in memory and reads only what
// another program appended since.
//
// Reading never trusts the file: entries are taken from the start up to the first one that is torn (a write
// that did not finish), damaged (wrong magic number or checksum) or written by a newer version; what follows
// is ignored and reported by DamagedBytes. The next append rewrites the file without it.
//
// The journal is bounded: when an append would pass kMaxEntries or kMaxBytes, the file is rewritten
// (a temporary file renamed over it) with the newest entries only, down to kKeptEntries and kKeptBytes, so
// that a full journal is not rewritten at every change. The entry just written is always kept. An entry
// larger than kMaxBytes on its own (a very large import) does not count against the bound and never pushes
// out the entries before it; of such entries only the newest is kept.
class ChangeJournal {
 public:
  static constexpr size_t kMaxEntries = 1000;
  static constexpr uint64_t kMaxBytes = 10u << 20;
  static constexpr size_t kKeptEntries = 750;
  static constexpr uint64_t kKeptBytes = kMaxBytes / 4 * 3;

  // The journal of the database at `databasePath`: beside the file the path leads to (links resolved),
  // named like it with the extension "journal" in place of "db" (Vellumar.db: Vellumar.journal).
  static std::string PathFor(const std::string& databasePath);

  void SetPath(std::string journalPath);
  const std::string& Path() const { return path; }

  // Whether the file is still the one the index was read from (a stat). A missing file is an empty journal.
  bool IsCurrent() const;
  // Brings the index up to date with the file. False when the file exists but cannot be read (LastError
  // says why); the index is then empty.
  [[nodiscard]] bool Refresh();
  const std::vector<JournalIndexEntry>& Entries() const { return entries; }
  // Bytes after the last whole entry that were ignored, and why (Torn, Damaged or TooNew).
  uint64_t DamagedBytes() const { return damagedBytes; }
  JournalFrameResult Damage() const { return damage; }
  // Grows whenever the index changes: a window compares it to know when to list the entries again.
  uint64_t Revision() const { return revision; }
  const FileError& LastError() const { return lastError; }

  // Gives `entry` the next sequence number and writes it, flushed to disk. `newFileMode`: the permissions
  // of a journal made now (those of the database, whose records it holds). False, LastError saying why,
  // when it could not be written; the file is then as it was.
  [[nodiscard]] bool Append(JournalEntry& entry, mode_t newFileMode);
  // The entry at `index` of Entries(), records included. False when it no longer reads whole.
  [[nodiscard]] bool Read(size_t index, JournalEntry& entry);

 private:
  // Reads entries from `from` (a byte offset of an entry) to the end of the open file `fd`.
  [[nodiscard]] bool Scan(int fd, uint64_t from, uint64_t fileSize);
  [[nodiscard]] bool AppendInPlace(const std::string& framed, mode_t newFileMode);
  [[nodiscard]] bool Rewrite(const std::string& framed);
  // The bytes that count against kMaxBytes: every entry but those larger than the bound themselves.
  uint64_t CountedBytes() const;
  void Forget();

  std::string path;
  std::vector<JournalIndexEntry> entries;
  uint64_t validEnd = 0;  // where the last whole entry ends
  uint64_t damagedBytes = 0;
  JournalFrameResult damage = JournalFrameResult::Ok;
  FileIdentity known;  // of the file the index was read from; unknown = no file
  bool indexed = false;
  uint64_t revision = 0;
  FileError lastError;
};
