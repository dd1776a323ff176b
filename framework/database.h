#pragma once
#include <cstdint>
#include <string>

#include "framework/db_result.h"
#include "framework/file_error.h"
#include "framework/file_util.h"
#include "framework/serializable.h"
#include "framework/store_guard.h"
#include "framework/store_lock.h"

class SaveFileOps;

// A record store that lives in one binary file, rewritten whole on every save. The derived store supplies
// its content through Serialize. Save never overwrites the file in place: it writes a temporary file beside
// it, flushes it to disk and renames it over the database, so a crash leaves the old or the new store.
//
// The file is the truth, shared by every process that opens it. Whoever changes it holds the store's
// exclusive locks (StoreLocks: a lock file beside it that no save replaces, then the file's own) from
// reading to writing (BeginChange ... EndChange or ReleaseChange) and first re-reads the store when the
// file is not the version this object last read or wrote. Waiting for the lock is bounded.
// A path that is a symbolic link is resolved once, when the file is opened: saves replace the file the
// link points to, in that file's folder.
class Database : public ISerializable {
 public:
  static constexpr int kDefaultLockWaitMs = 5000;

  Database() { Reset(); }
  ~Database() override = default;

  // Refused (false) once a load has succeeded.
  [[nodiscard]] bool SetPath(const std::string& newPath);
  const std::string& GetPath() const { return path; }
  // How long Open, Save, BeginChange and ReloadIfChanged wait for another process's lock.
  void SetLockWait(int milliseconds) { lockWaitMs = milliseconds; }

  // Ok written; Exists; Failed when it cannot be created or written.
  DbResult Create();
  // Failed for an empty path or a file that cannot be opened; Missing; Busy when another process kept it
  // locked for the whole wait; TooLarge for the memory available (refused before reading, or when memory
  // ran out while reading); else the load's result (Ok, Failed, TypeMismatch, VersionTooNew). A file that
  // may be read but not written opens (Ok) read-only: IsReadOnly tells. Also removes temporary files that
  // interrupted saves left beside a writable file.
  DbResult Open();
  // Ok when there was nothing to write or it was written; Busy; ReadOnly; Failed on any other failure
  // (modified stays set).
  DbResult Save();

  // Takes the file's lock and, when the file changed since this object last read or wrote it, re-reads it
  // (`reloaded` tells). Ok with the lock held; Busy; ReadOnly when the file or its folder may not be
  // written; Missing when the file is gone; else the failed load's result with the content kept as it was
  // and the lock released. A second call inside a change is a no-op.
  DbResult BeginChange(bool& reloaded);
  // Saves when modified, the lock still held, then releases the lock. Ok or Save's failures.
  DbResult EndChange();
  // Releases the lock of a change without saving: for a change that saved (Save) and then wrote what
  // belongs with its save (the change journal) under the same lock.
  void ReleaseChange() { changeLock.Close(); }
  // Takes the file's lock without changing anything, for reading files that only a change writes (the
  // change journal beside the database); `held` releases it. Ok; Busy; Missing when the file is gone;
  // Failed otherwise. Never inside a change: the lock is the change's already.
  DbResult LockForReading(StoreLocks& held, int waitMs);
  // A stat when nothing changed; when the file is not the version last read or written, re-reads it under
  // the lock. Ok whether or not it reloaded; else the failed lock's or load's result, content kept.
  // `waitMs` bounds the wait for the lock here, so a caller on a timer never stalls long.
  DbResult ReloadIfFileChanged(bool& reloaded, int waitMs);

  // Bytes the file held after the end of the store at the last successful load (0 for a file this code
  // wrote). The load ignores them; a save drops them.
  uint64_t GetTrailingBytes() const { return trailingBytes; }
  bool IsModified() const { return modified; }

  // Why the last Open, Create, Save, change, reload or write-back failed: what was done to which file and
  // the system's reason. Empty when it did not fail for a reason of the file system.
  const FileError& GetLastFileError() const { return lastError; }
  // The file can be read but not written: its permissions or owner, a read-only medium, or a folder in which
  // no file can be made (a save writes a new file there). Known since the last open, reload or change, which
  // also clear it once writing is allowed again; GetReadOnlyCause says why.
  bool IsReadOnly() const { return readOnly; }
  const FileError& GetReadOnlyCause() const { return readOnlyCause; }
  // The file this store was loaded from was deleted, or replaced by one that does not load, while the store
  // was in memory (as a change or a reload found). The store in memory is intact: WriteBack puts it back.
  bool IsFileLost() const { return fileLost; }
  // Writes the store as it is in memory to the path, replacing whatever is there now or making the file anew.
  // Ok; ReadOnly; Busy; Failed on any other failure, GetLastFileError saying why.
  DbResult WriteBack();
  bool IsLoaded() const { return loaded; }
  void SetModified(bool value = true) { modified = value; }
  // The file calls of Save and Create (not owned; null puts the system calls back).
  void SetFileOps(SaveFileOps* ops) { fileOps = ops; }

  // Called just before the content is read, so the derived store can empty itself.
  virtual void PrepareForLoad() = 0;
  virtual void Reset();

 protected:
  // Called after the temporary file is complete and synced, before it replaces the database.
  // Returning false abandons the save at that point (used to prove an interrupted save loses nothing).
  [[nodiscard]] virtual bool BeforeReplace(const std::string& /*tempPath*/) { return true; }

 private:
  // Writes the store to `fd`, the file at `name` (for the messages), and flushes it to disk.
  DbResult WriteStoreTo(int fd, const std::string& name);
  // Writes a temporary file beside the database and renames it over it; `currentFd` (or -1 when there is
  // no file) gives the permissions to keep.
  DbResult WriteReplacing(int currentFd);
  // The result of a lock that was not taken for a change, with the file error, read-only and lost states
  // it implies.
  DbResult LockRefused(LockResult lock, int systemError);
  // Notes whether the file and its folder may be written, after a lock for reading at least.
  void NoteWriteAccess(LockResult lock, int systemError);
  // The file error of a load that failed with `result`, and whether that loses the file.
  void NoteLoadFailure(DbResult result);
  // Reads the whole store from the locked file and remembers the file's identity.
  DbResult LoadFrom(int fd);
  // LoadFrom, with the content as it was put back when the load fails.
  DbResult ReloadKeeping(int fd);
  // The path the file operations use: the given one with symbolic links resolved.
  const std::string& FilePath();

  SaveFileOps& Ops() const;

  bool modified = false;
  bool loaded = false;
  bool readOnly = false;
  bool fileLost = false;
  FileError lastError;
  FileError readOnlyCause;
  std::string path;
  std::string filePath;
  int lockWaitMs = kDefaultLockWaitMs;
  uint64_t trailingBytes = 0;
  FileIdentity known;     // the version last read or written
  StoreLocks changeLock;  // held between BeginChange and EndChange, or ReleaseChange
  SaveFileOps* fileOps = nullptr;
};
