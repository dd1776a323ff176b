#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>

#include "framework/file_util.h"

// What tells one version of a file from another: a save always writes a new file and renames it over the
// old one, so the inode changes with every save, and size and modification time catch the rest.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = -1;  // -1: not known
  int64_t modifiedNs = 0;

  bool IsKnown() const { return size >= 0; }
  bool operator==(const FileIdentity&) const = default;
};

// False (identity left as it was) when the file cannot be examined.
[[nodiscard]] bool IdentityOfPath(const std::string& path, FileIdentity& identity);
[[nodiscard]] bool IdentityOfFile(int fd, FileIdentity& identity);

// What taking a store file's lock came to.
// (clang-format 14 takes the attribute for the start of an initializer.)
// clang-format off
enum class [[nodiscard]] LockResult {
  Locked,
  Failed,    // the file cannot be opened
  Missing,   // no file at the path
  Busy,      // another process kept the lock for the whole wait
  ReadOnly,  // the file may be read but not written (permissions, a read-only medium)
};
// clang-format on
// The enumerator's name ("Busy"), for messages and test output.
std::ostream& operator<<(std::ostream& out, LockResult result);

// What the opener needs: to write (a change), or to read, and to write only when that is allowed (a load).
enum class StoreAccess { Write, ReadAtLeast };

// Opens the file at `path` and takes its exclusive lock (flock), waiting at most `waitMs`. With Write the
// file is opened read-write, and a file the user may not write gives LockResult::ReadOnly without a handle.
// With ReadAtLeast such a file is opened for reading instead and locked: LockResult::ReadOnly with the
// handle. The lock counts only for the file that is at the path once it is taken: when another process
// replaced the file during the wait, the new one is opened and locked instead. On LockResult::Failed and
// LockResult::ReadOnly, `systemError` (when given) receives the errno of the refused open.
LockResult LockStoreFile(const std::string& path, int waitMs, FileHandle& file,
                         StoreAccess access = StoreAccess::Write, int* systemError = nullptr);

// Whether an open that failed with `error` means the file exists but may not be written.
bool IsWriteRefusal(int error);

// The name a save gives its temporary file beside `path`, as a mkstemp template.
std::string TempTemplateFor(const std::string& path);
// Removes the temporary files of earlier saves of `path` that never finished (only names of exactly that
// pattern). Call only while holding the lock of `path`, so that no save of another process is under way.
int RemoveStaleTempFiles(const std::string& path);
