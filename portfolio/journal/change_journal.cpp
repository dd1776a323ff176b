#include "portfolio/journal/change_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "framework/file_util.h"
#include "framework/full_io.h"
#include "framework/regular_file.h"
#include "framework/replace_file.h"
#include "framework/save_file_ops.h"

namespace {

// Reads `size` bytes at `offset`; false with errno set (0 for a file that ended early).
bool ReadAt(int fd, uint64_t offset, uint64_t size, std::string& out) {
  out.resize(size);
  return ReadFullyAt(fd, out.data(), size, offset);
}

bool WriteAll(int fd, const std::string& bytes) {
  return WriteFully(fd, bytes.data(), bytes.size());
}

}  // namespace

std::string ChangeJournal::PathFor(const std::string& databasePath) {
  char resolved[PATH_MAX];
  std::string file = ::realpath(databasePath.c_str(), resolved) ? std::string(resolved) : databasePath;
  const size_t slash = file.rfind('/');
  const size_t dot = file.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) file.resize(dot);
  return file + ".journal";
}

void ChangeJournal::SetPath(std::string journalPath) {
  path = std::move(journalPath);
  Forget();
}

void ChangeJournal::Forget() {
  if (!entries.empty() || damagedBytes != 0) ++revision;
  entries.clear();
  validEnd = 0;
  damagedBytes = 0;
  damage = JournalFrameResult::Ok;
  known = FileIdentity{};
  indexed = false;
}

bool ChangeJournal::IsCurrent() const {
  if (!indexed) return false;
  FileIdentity now;
  if (!IdentityOfPath(path, now)) return errno == ENOENT && !known.IsKnown();
  return now == known;
}

bool ChangeJournal::Refresh() {
  lastError = {};
  FileHandle file;
  FileError opened;
  if (!OpenRegularFile(path, O_RDONLY, file, opened)) {
    if (opened.errorNumber != ENOENT) {
      lastError = opened;
      Forget();
      return false;
    }
    if (known.IsKnown() || !indexed) Forget();
    indexed = true;
    return true;
  }
  FileIdentity now;
  if (!IdentityOfFile(file.Get(), now)) {
    lastError = FileError::FromErrno("read", path);
    Forget();
    return false;
  }
  if (indexed && now == known) return true;
  // Another program appended to the file this index was read from: only the new entries are read.
  const bool appended = indexed && known.IsKnown() && now.device == known.device &&
                        now.inode == known.inode && now.size >= known.size && damagedBytes == 0;
  if (!appended) Forget();
  known = now;
  indexed = true;
  ++revision;
  if (!Scan(file.Get(), appended ? validEnd : 0, static_cast<uint64_t>(now.size))) {
    lastError = FileError::FromErrno("read", path);
    Forget();
    return false;
  }
  return true;
}

bool ChangeJournal::Scan(int fd, uint64_t from, uint64_t fileSize) {
  std::string bytes;
  if (fileSize > from && !ReadAt(fd, from, fileSize - from, bytes)) {
    if (errno != 0) return false;
    // The file shrank while it was read: what was read is judged like any other tail.
    bytes.clear();
  }
  size_t at = 0;
  while (at < bytes.size()) {
    JournalIndexEntry e;
    size_t frameSize = 0;
    const JournalFrameResult result =
        DecodeJournalEntry(std::string_view(bytes).substr(at), frameSize, e.header, nullptr);
    if (result != JournalFrameResult::Ok) {
      damage = result;
      damagedBytes = bytes.size() - at;
      break;
    }
    e.offset = from + at;
    e.size = frameSize;
    entries.push_back(std::move(e));
    at += frameSize;
  }
  validEnd = from + at;
  return true;
}

bool ChangeJournal::Append(JournalEntry& entry, mode_t newFileMode) {
  if (!Refresh()) return false;
  entry.header.sequence = entries.empty() ? 1 : entries.back().header.sequence + 1;
  entry.header.recordCount = static_cast<uint32_t>(entry.records.size());
  const std::string framed = EncodeJournalEntry(entry);
  const bool oversized = framed.size() > kMaxBytes;
  const bool full = entries.size() + 1 > kMaxEntries ||
                    CountedBytes() + (oversized ? 0 : framed.size()) > kMaxBytes ||
                    (oversized && CountedBytes() != validEnd);  // a second entry of that size
  if (full || damagedBytes != 0) return Rewrite(framed);
  return AppendInPlace(framed, newFileMode);
}

bool ChangeJournal::AppendInPlace(const std::string& framed, mode_t newFileMode) {
  const bool existed = known.IsKnown();
  FileHandle file;
  if (!OpenRegularFile(path, O_WRONLY | O_APPEND | O_CREAT, file, lastError, static_cast<int>(newFileMode))) {
    return false;
  }
  FileIdentity before;
  if (!IdentityOfFile(file.Get(), before)) {
    lastError = FileError::FromErrno("write", path);
    return false;
  }
  const uint64_t offset = static_cast<uint64_t>(before.size);
  if (!WriteAll(file.Get(), framed) || SaveFileOps::System().Sync(file.Get()) != 0) {
    lastError = FileError::FromErrno("write", path);
    // Nothing half-written stays behind. Should even that fail, readers take the entries before the torn
    // one and the next append rewrites the file without it.
    const int truncated = ::ftruncate(file.Get(), static_cast<off_t>(offset));
    (void)truncated;
    if (!existed && offset == 0) (void)DeleteFile(path);
    Forget();
    return false;
  }
  // A new file's name must survive a power cut too.
  if (!existed) (void)SaveFileOps::System().SyncFolder(FolderOfPath(path));
  JournalIndexEntry e;
  size_t frameSize = 0;
  (void)DecodeJournalEntry(framed, frameSize, e.header);
  e.offset = offset;
  e.size = framed.size();
  entries.push_back(std::move(e));
  validEnd = offset + framed.size();
  if (!IdentityOfFile(file.Get(), known)) Forget();
  ++revision;
  return true;
}

uint64_t ChangeJournal::CountedBytes() const {
  uint64_t bytes = validEnd;
  for (const JournalIndexEntry& e : entries) {
    if (e.size > kMaxBytes) bytes -= e.size;
  }
  return bytes;
}

bool ChangeJournal::Rewrite(const std::string& framed) {
  // The newest entries that fit, then the new one. An entry larger than the whole bound (a very large
  // import) does not count against it, so that it never pushes out the history before it; only the newest
  // such entry is kept.
  size_t first = entries.size();
  bool oversizedKept = framed.size() > kMaxBytes;
  uint64_t bytes = oversizedKept ? 0 : framed.size();
  while (first > 0 && entries.size() - first + 1 < kKeptEntries) {
    const uint64_t size = entries[first - 1].size;
    if (size > kMaxBytes) {
      if (oversizedKept) break;
      oversizedKept = true;
    } else if (bytes + size > kKeptBytes) {
      break;
    } else {
      bytes += size;
    }
    --first;
  }
  std::string content;
  if (first < entries.size()) {
    FileHandle file;
    const uint64_t from = entries[first].offset;
    if (!OpenRegularFile(path, O_RDONLY, file, lastError)) return false;
    if (!ReadAt(file.Get(), from, validEnd - from, content)) {
      lastError = FileError::FromErrno("read", path);
      return false;
    }
  }
  content += framed;
  // Leftovers of a rewrite that a crash interrupted; every writer holds the database's lock, so none is
  // under way.
  (void)RemoveStaleTempFiles(path);
  if (!ReplaceFileContent(path, content, lastError)) {
    Forget();
    return false;
  }
  Forget();
  return Refresh();
}

bool ChangeJournal::Read(size_t index, JournalEntry& entry) {
  if (index >= entries.size()) return false;
  const JournalIndexEntry& at = entries[index];
  FileHandle file;
  if (!OpenRegularFile(path, O_RDONLY, file, lastError)) return false;
  std::string bytes;
  if (!ReadAt(file.Get(), at.offset, at.size, bytes)) {
    lastError = FileError::FromErrno("read", path);
    return false;
  }
  size_t frameSize = 0;
  JournalEntryHeader header;
  if (DecodeJournalEntry(bytes, frameSize, header, &entry) != JournalFrameResult::Ok ||
      header.sequence != at.header.sequence) {
    lastError = FileError::WithReason("read", path, "an entry changed since it was listed");
    return false;
  }
  return true;
}
