#include "framework/database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <ostream>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "framework/full_io.h"
#include "framework/memory_budget.h"
#include "framework/replace_file.h"
#include "framework/save_file_ops.h"
#include "framework/store_guard.h"

namespace {

std::string FolderOf(const std::string& path) {
  return FolderOfPath(path);
}

// Writes the archive's bytes through the save's file calls; the errno of a failed write stays in `error`.
class SaveStream : public ArchiveStream {
 public:
  SaveStream(SaveFileOps& ops, int fd) : ops(ops), fd(fd) {}
  size_t Read(void*, size_t) override { throw ArchiveError("a save stream is not read"); }
  uint64_t Remaining() const override { return 0; }
  void Write(const void* src, size_t n) override {
    if (!WriteFullyWith([this](const void* p, size_t size) { return ops.Write(fd, p, size); }, src, n)) {
      error = errno;
      throw ArchiveError(std::string("write failed: ") + std::strerror(error));
    }
  }
  int error = 0;

 private:
  SaveFileOps& ops;
  int fd;
};

// Whether a save can make its temporary file beside the database; `cause` says why not.
bool FolderWritable(const std::string& filePath, FileError& cause) {
  return CanCreateFilesIn(FolderOfPath(filePath), &cause);
}

// What a load that read the whole stream answers: the store's own result, or a failure.
DbResult LoadResult(SerializeResult result) {
  switch (result) {
    case SerializeResult::Ok:
      return DbResult::Ok;
    case SerializeResult::TypeMismatch:
      return DbResult::TypeMismatch;
    case SerializeResult::VersionTooNew:
      return DbResult::VersionTooNew;
    case SerializeResult::Failed:
      break;
  }
  return DbResult::Failed;
}

std::string ResolveLinks(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

bool Database::SetPath(const std::string& newPath) {
  if (loaded) return false;
  path = newPath;
  filePath.clear();
  return true;
}

void Database::Reset() {
  modified = false;
  loaded = false;
  readOnly = false;
  fileLost = false;
  known = FileIdentity{};
  changeLock.Close();
}

SaveFileOps& Database::Ops() const {
  return fileOps ? *fileOps : SaveFileOps::System();
}

const std::string& Database::FilePath() {
  if (filePath.empty()) filePath = ResolveLinks(path);
  return filePath;
}

DbResult Database::WriteStoreTo(int fd, const std::string& name) {
  SaveStream stream(Ops(), fd);
  try {
    Archive ar(stream, Archive::Mode::Store, Archive::kSaveBufferSize);
    if (Serialize(&ar) != SerializeResult::Ok) {
      lastError = FileError::WithReason("write", name, "the store could not be written out");
      return DbResult::Failed;
    }
    ar.Flush();
    if (Ops().Sync(fd) != 0) {
      lastError = FileError::FromErrno("write", name);
      return DbResult::Failed;
    }
    return DbResult::Ok;
  } catch (const std::exception& e) {
    lastError = stream.error != 0 ? FileError{"write", name, stream.error, {}}
                                  : FileError::WithReason("write", name, e.what());
    return DbResult::Failed;
  }
}

DbResult Database::Create() {
  lastError = {};
  FileHandle file;
  const FileOpenResult made = CreateNewFile(path, file);
  if (made == FileOpenResult::Exists) return DbResult::Exists;
  if (made != FileOpenResult::Opened) {
    lastError = FileError::FromErrno("create", path);
    return DbResult::Failed;
  }
  if (WriteStoreTo(file.Get(), path) != DbResult::Ok) {
    file.Close();
    ::unlink(path.c_str());  // never leave a half-written store behind
    return DbResult::Failed;
  }
  // The new file is complete; only its entry may not be durable yet, and every save syncs the folder again.
  (void)Ops().SyncFolder(FolderOf(path));
  return DbResult::Ok;
}

DbResult Database::LoadFrom(int fd) {
  FileIdentity identity;
  if (!IdentityOfFile(fd, identity)) return DbResult::Failed;
  // A store that would not fit is refused before anything is read or allocated.
  if (identity.size > 0 &&
      static_cast<uint64_t>(identity.size) > AvailableMemoryBytes() / kMemoryPerStoredByte)
    return DbResult::TooLarge;
  DbResult code = DbResult::Failed;
  uint64_t trailing = 0;
  try {
    if (::lseek(fd, 0, SEEK_SET) != 0) return DbResult::Failed;
    FileStream stream(fd);
    Archive ar(stream, Archive::Mode::Load);
    PrepareForLoad();
    code = LoadResult(Serialize(&ar));
    if (code == DbResult::Ok) trailing = ar.Remaining();
  } catch (const std::bad_alloc&) {
    code = DbResult::TooLarge;
  } catch (const std::exception&) {
    code = DbResult::Failed;
  }
  if (code == DbResult::Ok) {
    trailingBytes = trailing;
    known = identity;
    modified = false;
  }
  return code;
}

DbResult Database::ReloadKeeping(int fd) {
  MemoryStream kept;
  try {
    Archive ar(kept, Archive::Mode::Store);
    if (Serialize(&ar) != SerializeResult::Ok) return DbResult::Failed;
    ar.Flush();
  } catch (const std::exception&) {
    return DbResult::Failed;
  }
  const DbResult code = LoadFrom(fd);
  if (code == DbResult::Ok) return DbResult::Ok;
  try {
    MemoryStream again(kept.Bytes());
    Archive ar(again, Archive::Mode::Load);
    PrepareForLoad();
    // Reads back what was just written from memory; the failed load's code stays the answer.
    (void)Serialize(&ar);
  } catch (const std::exception&) {
  }
  return code;
}

void Database::NoteWriteAccess(LockResult lock, int systemError) {
  readOnly = lock == LockResult::ReadOnly;
  readOnlyCause = readOnly ? FileError{"write", FilePath(), systemError, {}} : FileError{};
  FileError folderCause;
  if (!readOnly && !FolderWritable(FilePath(), folderCause)) {
    readOnly = true;
    readOnlyCause = folderCause;
  }
}

void Database::NoteLoadFailure(DbResult result) {
  if (result == DbResult::VersionTooNew) {
    lastError = FileError::WithReason("read", FilePath(), "it was written by a newer version of Vellumar");
    return;
  }
  lastError = FileError::WithReason("read", FilePath(), "it is not a Vellumar database, or it is damaged");
  // A store that was read before and now does not load was replaced underneath this program.
  if (loaded) fileLost = true;
}

DbResult Database::LockRefused(LockResult lock, int systemError) {
  switch (lock) {
    case LockResult::Busy:
      return DbResult::Busy;
    case LockResult::Missing:
      lastError = FileError{"open", FilePath(), ENOENT, {}};
      if (loaded) fileLost = true;
      return DbResult::Missing;
    case LockResult::ReadOnly:
      readOnly = true;
      readOnlyCause = lastError = FileError{"write", FilePath(), systemError, {}};
      return DbResult::ReadOnly;
    default:
      lastError = FileError{"open", FilePath(), systemError, {}};
      return DbResult::Failed;
  }
}

DbResult Database::Open() {
  lastError = {};
  if (path.empty()) return DbResult::Failed;
  filePath.clear();
  StoreLocks file;
  int error = 0;
  const LockResult lock = LockStore(FilePath(), lockWaitMs, file, StoreAccess::ReadAtLeast, &error);
  if (lock != LockResult::Locked && lock != LockResult::ReadOnly) return LockRefused(lock, error);
  NoteWriteAccess(lock, error);
  if (!readOnly) RemoveStaleTempFiles(FilePath());  // the lock proves that no save is under way
  const DbResult code = LoadFrom(file.Get());
  if (code != DbResult::Ok) {
    NoteLoadFailure(code);
    return code;
  }
  loaded = true;
  fileLost = false;
  return code;
}

DbResult Database::WriteReplacing(int currentFd) {
  const std::string& target = FilePath();
  std::string temp = TempTemplateFor(target);
  FileHandle out(Ops().CreateTemp(temp));
  if (!out.IsOpen()) {
    lastError = FileError::FromErrno("create a file in", FolderOf(target));
    if (IsWriteRefusal(lastError.errorNumber)) {
      readOnly = true;
      readOnlyCause = lastError;
      return DbResult::ReadOnly;
    }
    return DbResult::Failed;
  }
  // Keep the file's permissions; a file written back where there was none gets those of a new file.
  struct stat st {};
  const mode_t mode = currentFd >= 0 && ::fstat(currentFd, &st) == 0 ? (st.st_mode & 07777) : 0644;
  (void)::fchmod(out.Get(), mode);  // a failure leaves the temporary file private, nothing worse
  FileIdentity written;
  bool ok = WriteStoreTo(out.Get(), temp) == DbResult::Ok && IdentityOfFile(out.Get(), written);
  out.Close();
  if (ok && !BeforeReplace(temp)) {  // abandoned as by a crash: the temp file stays
    lastError = FileError::WithReason("replace", target, "the save was abandoned");
    return DbResult::Failed;
  }
  if (ok && Ops().Rename(temp, target) != 0) {
    lastError = FileError::FromErrno("replace", target);
    ok = false;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return DbResult::Failed;
  }
  known = written;  // the rename keeps inode, size and modification time
  // The new store is in place but not yet durable: report the failure so the change is saved again.
  if (Ops().SyncFolder(FolderOf(target)) != 0) {
    lastError = FileError::FromErrno("flush the folder", FolderOf(target));
    return DbResult::Failed;
  }
  return DbResult::Ok;
}

DbResult Database::Save() {
  if (!modified) return DbResult::Ok;
  lastError = {};
  if (path.empty()) return DbResult::Failed;
  if (changeLock.IsOpen()) {
    if (DbResult rc = WriteReplacing(changeLock.Get()); rc != DbResult::Ok) return rc;
    modified = false;
    return DbResult::Ok;
  }
  // The lock is kept until the new file has replaced the old one.
  StoreLocks current;
  int error = 0;
  const LockResult lock = LockStore(FilePath(), lockWaitMs, current, StoreAccess::Write, &error);
  if (lock != LockResult::Locked) {
    const DbResult rc = LockRefused(lock, error);
    return rc == DbResult::Busy || rc == DbResult::ReadOnly ? rc : DbResult::Failed;
  }
  if (DbResult rc = WriteReplacing(current.Get()); rc != DbResult::Ok) return rc;
  modified = false;
  return DbResult::Ok;
}

DbResult Database::WriteBack() {
  lastError = {};
  if (path.empty()) return DbResult::Failed;
  StoreLocks current;
  int error = 0;
  const LockResult lock = LockStore(FilePath(), lockWaitMs, current, StoreAccess::Write, &error);
  if (lock != LockResult::Locked && lock != LockResult::Missing) {
    const DbResult rc = LockRefused(lock, error);
    return rc == DbResult::Busy || rc == DbResult::ReadOnly ? rc : DbResult::Failed;
  }
  if (DbResult rc = WriteReplacing(current.IsOpen() ? current.Get() : -1); rc != DbResult::Ok) return rc;
  modified = false;
  fileLost = false;
  readOnly = false;
  readOnlyCause = {};
  return DbResult::Ok;
}

DbResult Database::BeginChange(bool& reloaded) {
  reloaded = false;
  if (changeLock.IsOpen()) return DbResult::Ok;
  lastError = {};
  if (path.empty()) return DbResult::Failed;
  StoreLocks file;
  int error = 0;
  const LockResult lock = LockStore(FilePath(), lockWaitMs, file, StoreAccess::Write, &error);
  if (lock != LockResult::Locked) return LockRefused(lock, error);
  // A save writes a new file beside the database: a folder that refuses one makes the database read-only,
  // found before anything is changed.
  NoteWriteAccess(lock, error);
  if (readOnly) {
    lastError = readOnlyCause;
    return DbResult::ReadOnly;
  }
  FileIdentity now;
  if (!IdentityOfFile(file.Get(), now)) {
    lastError = FileError::FromErrno("examine", FilePath());
    return DbResult::Failed;
  }
  if (!(now == known)) {
    if (DbResult rc = ReloadKeeping(file.Get()); rc != DbResult::Ok) {
      NoteLoadFailure(rc);
      return rc;
    }
    reloaded = true;
  }
  changeLock = std::move(file);
  return DbResult::Ok;
}

DbResult Database::EndChange() {
  const DbResult code = Save();
  changeLock.Close();
  return code;
}

DbResult Database::LockForReading(StoreLocks& held, int waitMs) {
  if (path.empty()) return DbResult::Failed;
  const LockResult lock = LockStore(FilePath(), waitMs, held, StoreAccess::ReadAtLeast);
  if (lock == LockResult::Locked || lock == LockResult::ReadOnly) return DbResult::Ok;
  if (lock == LockResult::Busy) return DbResult::Busy;
  return lock == LockResult::Missing ? DbResult::Missing : DbResult::Failed;
}

DbResult Database::ReloadIfFileChanged(bool& reloaded, int waitMs) {
  reloaded = false;
  if (!loaded || changeLock.IsOpen()) return loaded ? DbResult::Ok : DbResult::Failed;
  FileIdentity atPath;
  if (!IdentityOfPath(FilePath(), atPath)) {
    if (errno != ENOENT) return DbResult::Failed;
    lastError = FileError{"open", FilePath(), ENOENT, {}};
    fileLost = true;
    return DbResult::Missing;
  }
  if (atPath == known) return DbResult::Ok;
  lastError = {};
  StoreLocks file;
  int error = 0;
  const LockResult lock = LockStore(FilePath(), waitMs, file, StoreAccess::ReadAtLeast, &error);
  if (lock != LockResult::Locked && lock != LockResult::ReadOnly) return LockRefused(lock, error);
  NoteWriteAccess(lock, error);
  FileIdentity now;
  if (!IdentityOfFile(file.Get(), now)) return DbResult::Failed;
  if (now == known) return DbResult::Ok;
  const DbResult code = ReloadKeeping(file.Get());
  if (code != DbResult::Ok) {
    NoteLoadFailure(code);
    return code;
  }
  reloaded = true;
  fileLost = false;
  return code;
}

std::ostream& operator<<(std::ostream& out, DbResult result) {
  switch (result) {
    case DbResult::Ok:
      return out << "Ok";
    case DbResult::Failed:
      return out << "Failed";
    case DbResult::TypeMismatch:
      return out << "TypeMismatch";
    case DbResult::VersionTooNew:
      return out << "VersionTooNew";
    case DbResult::Exists:
      return out << "Exists";
    case DbResult::Missing:
      return out << "Missing";
    case DbResult::Busy:
      return out << "Busy";
    case DbResult::TooLarge:
      return out << "TooLarge";
    case DbResult::ReadOnly:
      return out << "ReadOnly";
  }
  return out << static_cast<int>(result);
}
