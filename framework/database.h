#pragma once
#include <cstdint>
#include <string>

#include "framework/file_util.h"
#include "framework/serializable.h"
#include "framework/store_lock.h"

class SaveFileOps;

// Codes of Open, Save, Create and the change bracket.
enum DatabaseCode : int32_t {
  kDbOk = 0,
  kDbFailed = 1,
  kDbExists = 2,          // Create: a file is already there; load: type mismatch
  kDbVersionTooNew = 3,   // load
  kDbMissing = 5,         // Open: no file at the path
  kDbBusy = 6,            // another process kept the file locked for the whole wait
  kDbTooLarge = 7,        // load: the store would not fit in the memory available; nothing was read
};

// A record store that lives in one binary file, rewritten whole on every save. The derived store supplies
// its content through Serialize. Save never overwrites the file in place: it writes a temporary file beside
// it, flushes it to disk and renames it over the database, so a crash leaves the old or the new store.
//
// The file is the truth, shared by every process that opens it. Whoever changes it holds the file's
// exclusive lock from reading to writing (BeginChange ... EndChange) and first re-reads the store when the
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
  // load's code (0, 1, 2, 3). Also removes temporary files that interrupted saves left beside the file.
  [[nodiscard]] int32_t Open();
  // 0 nothing to write or written; 6 locked elsewhere; 1 on any other failure (modified stays set).
  [[nodiscard]] int32_t Save();

  // Takes the file's lock and, when the file changed since this object last read or wrote it, re-reads it
  // (`reloaded` tells). 0 with the lock held; 6 busy; else the failed load's code with the content kept as
  // it was and the lock released. A second call inside a change is a no-op.
  [[nodiscard]] int32_t BeginChange(bool& reloaded);
  // Saves when modified, the lock still held, then releases the lock. 0 or Save's failure codes.
  [[nodiscard]] int32_t EndChange();
  // A stat when nothing changed; when the file is not the version last read or written, re-reads it under
  // the lock. 0 whether or not it reloaded; else the code of the failed lock or load, content kept.
  // `waitMs` bounds the wait for the lock here, so a caller on a timer never stalls long.
  [[nodiscard]] int32_t ReloadIfFileChanged(bool& reloaded, int waitMs);

  // Bytes the file held after the end of the store at the last successful load (0 for a file this code
  // wrote). The load ignores them; a save drops them.
  uint64_t GetTrailingBytes() const { return trailingBytes; }
  bool IsModified() const { return modified; }
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
  [[nodiscard]] int32_t WriteStoreTo(int fd);
  [[nodiscard]] int32_t WriteReplacing(int currentFd);
  // Reads the whole store from the locked file and remembers the file's identity.
  [[nodiscard]] int32_t LoadFrom(int fd);
  // LoadFrom, with the content as it was put back when the load fails.
  [[nodiscard]] int32_t ReloadKeeping(int fd);
  // The path the file operations use: the given one with symbolic links resolved.
  const std::string& FilePath();

  SaveFileOps& Ops() const;

  bool modified = false;
  bool loaded = false;
  std::string path;
  std::string filePath;
  int lockWaitMs = kDefaultLockWaitMs;
  uint64_t trailingBytes = 0;
  FileIdentity known;      // the version last read or written
  FileHandle changeLock;   // held between BeginChange and EndChange
  SaveFileOps* fileOps = nullptr;
};
