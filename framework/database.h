#pragma once
#include <cstdint>
#include <string>

#include "framework/file_error.h"
#include "framework/file_util.h"
#include "framework/serializable.h"
#include "framework/store_guard.h"
#include "framework/store_lock.h"

class SaveFileOps;

// Codes of Open, Save, Create and the change bracket.
enum DatabaseCode : int32_t {
  kDbOk = 0,
  kDbFailed = 1,
  kDbExists = 2,         // Create: a file is already there; load: type mismatch
  kDbVersionTooNew = 3,  // load
  kDbMissing = 5,        // Open: no file at the path
  kDbBusy = 6,           // another process kept the file locked for the whole wait
  kDbTooLarge = 7,       // load: the store would not fit in the memory available; nothing was read
  kDbReadOnly = 8,       // a change refused: the file, or the folder a save writes in, may not be written
};

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

  [[nodiscard]] int32_t Create();  // 2 exists, 1 cannot create or write, 0 written
  // 1 empty path or cannot open, 5 missing, 6 locked by another process for the whole wait, 7 too large
  // for the memory available (refused before reading, or when memory ran out while reading), else the
  // load's code (0, 1, 2, 3). A file that may be read but not written opens (0) read-only: IsReadOnly tells.
  // Also removes temporary files that interrupted saves left beside a writable file.
  [[nodiscard]] int32_t Open();
  // 0 nothing to write or written; 6 locked elsewhere; 8 read-only; 1 on any other failure (modified stays
  // set).
  [[nodiscard]] int32_t Save();

  // Takes the file's lock and, when the file changed since this object last read or wrote it, re-reads it
  // (`reloaded` tells). 0 with the lock held; 6 busy; 8 when the file or its folder may not be written; 5
  // when the file is gone; else the failed load's code with the content kept as it was and the lock released.
  // A second call inside a change is a no-op.
  [[nodiscard]] int32_t BeginChange(bool& reloaded);
  // Saves when modified, the lock still held, then releases the lock. 0 or Save's failure codes.
  [[nodiscard]] int32_t EndChange();
  // Releases the lock of a change without saving: for a change that saved (Save) and then wrote what
  // belongs with its save (the change journal) under the same lock.
  void ReleaseChange() { changeLock.Close(); }
  // Takes the file's lock without changing anything, for reading files that only a change writes (the
  // change journal beside the database); `held` releases it. 0; 6 busy; 5 the file is gone; 1 otherwise.
  // Never inside a change: the lock is the change's already.
  [[nodiscard]] int32_t LockForReading(StoreLocks& held, int waitMs);
  // A stat when nothing changed; when the file is not the version last read or written, re-reads it under
  // the lock. 0 whether or not it reloaded; else the code of the failed lock or load, content kept.
  // `waitMs` bounds the wait for the lock here, so a caller on a timer never stalls long.
  [[nodiscard]] int32_t ReloadIfFileChanged(bool& reloaded, int waitMs);

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
  // 0; 8 read-only; 6 busy; 1 on any other failure, GetLastFileError saying why.
  [[nodiscard]] int32_t WriteBack();
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
  [[nodiscard]] int32_t WriteStoreTo(int fd, const std::string& name);
  // Writes a temporary file beside the database and renames it over it; `currentFd` (or -1 when there is
  // no file) gives the permissions to keep.
  [[nodiscard]] int32_t WriteReplacing(int currentFd);
  // The code of a lock that was not taken for a change, with the file error, read-only and lost states
  // it implies.
  [[nodiscard]] int32_t LockRefused(int32_t lockCode, int systemError);
  // Notes whether the file and its folder may be written, after a lock for reading at least.
  void NoteWriteAccess(int32_t lockCode, int systemError);
  // The file error of a load that failed with `code`, and whether that loses the file.
  void NoteLoadFailure(int32_t code);
  // Reads the whole store from the locked file and remembers the file's identity.
  [[nodiscard]] int32_t LoadFrom(int fd);
  // LoadFrom, with the content as it was put back when the load fails.
  [[nodiscard]] int32_t ReloadKeeping(int fd);
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
