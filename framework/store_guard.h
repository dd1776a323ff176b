#pragma once
#include <string>

#include "framework/file_util.h"
#include "framework/store_lock.h"

// The locks of a store: first the lock file beside it, then the store file's own lock.
//
// A save renames a new file over the store, so a lock on the store file protects only the version that
// was there when it was taken: a second program that arrives after the rename locks the new file at once,
// while the first still writes what belongs with its save (the change journal). The lock file is never
// replaced or removed, so its lock holds across the save and everything after it. The store file's lock
// is still taken, so that a program that only knows that lock keeps waiting as before.
struct StoreLocks {
  FileHandle guard;  // the lock file's descriptor; closed when the folder allows no lock file
  FileHandle file;   // the store file, locked

  bool IsOpen() const { return file.IsOpen(); }
  int Get() const { return file.Get(); }
  // Releases both, the store file first.
  void Close() {
    file.Close();
    guard.Close();
  }
};

// The lock file of the store at `path` (symbolic links already resolved): "<path>.lock" beside it.
std::string StoreGuardPath(const std::string& path);

// Takes the lock file's lock, then the store file's (LockStoreFile), within `waitMs` in all. Returns
// LockStoreFile's code; with LockResult::Locked and LockResult::ReadOnly both locks are held, with
// LockResult::Missing the lock file's lock stays held (a store written back where none is left is written
// under it), else none. A lock file that cannot be made because the folder may not be written is done
// without: nobody can save in that folder, and the store file's lock still keeps readers apart from a writer
// of the old kind. A lock file that is not a regular file, or a link, gives LockResult::Failed.
LockResult LockStore(const std::string& path, int waitMs, StoreLocks& held,
                     StoreAccess access = StoreAccess::Write, int* systemError = nullptr);
