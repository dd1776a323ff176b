#pragma once
#include <cstdint>
#include <string>

#include "framework/serializable.h"

class FileHandle;
class SaveFileOps;

// Codes of Open, Save and Create.
enum DatabaseCode : int32_t {
  kDbOk = 0,
  kDbFailed = 1,
  kDbExists = 2,          // Create: a file is already there; load: type mismatch
  kDbVersionTooNew = 3,   // load
  kDbMissing = 5,         // Open: no file at the path
};

// A record store that lives in one binary file, rewritten whole on every save. The derived store supplies
// its content through Serialize. Save never overwrites the file in place: it writes a temporary file beside
// it, flushes it to disk and renames it over the database, so a crash leaves the old or the new store.
class Database : public ISerializable {
 public:
  Database() { Reset(); }
  ~Database() override = default;

  // Refused (false) once a load has succeeded.
  [[nodiscard]] bool SetPath(const std::string& newPath);
  const std::string& GetPath() const { return path; }

  [[nodiscard]] int32_t Create();  // 2 exists, 1 cannot create or write, 0 written
  [[nodiscard]] int32_t Open();  // 1 empty path or cannot open, 5 missing, else the load's code (0, 1, 2, 3)
  [[nodiscard]] int32_t Save();  // 0 nothing to write or written; 1 on any failure (modified stays set)

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

  SaveFileOps& Ops() const;

  bool modified = false;
  bool loaded = false;
  std::string path;
  SaveFileOps* fileOps = nullptr;
};
