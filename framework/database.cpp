#include "framework/database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/archive.h"
#include "framework/archive_stream.h"
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
    const auto* p = static_cast<const uint8_t*>(src);
    while (n > 0) {
      const ssize_t put = ops.Write(fd, p, n);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        error = put == 0 ? ENOSPC : errno;
        throw ArchiveError(std::string("write failed: ") + std::strerror(error));
      }
      p += put;
      n -= static_cast<size_t>(put);
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

int32_t Database::WriteStoreTo(int fd, const std::string& name) {
  SaveStream stream(Ops(), fd);
  try {
    Archive ar(stream, Archive::Mode::Store, Archive::kSaveBufferSize);
    if (Serialize(&ar) != kSerializeOk) {
      lastError = FileError::WithReason("write", name, "the store could not be written out");
      return kDbFailed;
    }
    ar.Flush();
    if (Ops().Sync(fd) != 0) {
      lastError = FileError::FromErrno("write", name);
      return kDbFailed;
    }
    return kDbOk;
  } catch (const std::exception& e) {
    lastError = stream.error != 0 ? FileError{"write", name, stream.error, {}}
                                  : FileError::WithReason("write", name, e.what());
    return kDbFailed;
  }
}

int32_t Database::Create() {
  lastError = {};
  FileHandle file;
  const int32_t rc = CreateNewFile(path, file);
  if (rc == 2) return kDbExists;
  if (rc != 0) {
    lastError = FileError::FromErrno("create", path);
    return kDbFailed;
  }
  if (WriteStoreTo(file.Get(), path) != kDbOk) {
    file.Close();
    ::unlink(path.c_str());  // never leave a half-written store behind
    return kDbFailed;
  }
  // The new file is complete; only its entry may not be durable yet, and every save syncs the folder again.
  (void)Ops().SyncFolder(FolderOf(path));
  return kDbOk;
}

int32_t Database::LoadFrom(int fd) {
  FileIdentity identity;
  if (!IdentityOfFile(fd, identity)) return kDbFailed;
  // A store that would not fit is refused before anything is read or allocated.
  if (identity.size > 0 &&
      static_cast<uint64_t>(identity.size) > AvailableMemoryBytes() / kMemoryPerStoredByte)
    return kDbTooLarge;
  int32_t code = kDbFailed;
  uint64_t trailing = 0;
  try {
    if (::lseek(fd, 0, SEEK_SET) != 0) return kDbFailed;
    FileStream stream(fd);
    Archive ar(stream, Archive::Mode::Load);
    PrepareForLoad();
    code = Serialize(&ar);
    if (code == kDbOk) trailing = ar.Remaining();
  } catch (const std::bad_alloc&) {
    code = kDbTooLarge;
  } catch (const std::exception&) {
    code = kDbFailed;
  }
  if (code != kDbOk && code != kDbExists && code != kDbVersionTooNew && code != kDbTooLarge) code = kDbFailed;
  if (code == kDbOk) {
    trailingBytes = trailing;
    known = identity;
    modified = false;
  }
  return code;
}

int32_t Database::ReloadKeeping(int fd) {
  MemoryStream kept;
  try {
    Archive ar(kept, Archive::Mode::Store);
    if (Serialize(&ar) != kSerializeOk) return kDbFailed;
    ar.Flush();
  } catch (const std::exception&) {
    return kDbFailed;
  }
  const int32_t code = LoadFrom(fd);
  if (code == kDbOk) return kDbOk;
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

void Database::NoteWriteAccess(int32_t lockCode, int systemError) {
  readOnly = lockCode == kStoreReadOnly;
  readOnlyCause = readOnly ? FileError{"write", FilePath(), systemError, {}} : FileError{};
  FileError folderCause;
  if (!readOnly && !FolderWritable(FilePath(), folderCause)) {
    readOnly = true;
    readOnlyCause = folderCause;
  }
}

void Database::NoteLoadFailure(int32_t code) {
  if (code == kDbVersionTooNew) {
    lastError = FileError::WithReason("read", FilePath(), "it was written by a newer version of Vellumar");
    return;
  }
  lastError = FileError::WithReason("read", FilePath(), "it is not a Vellumar database, or it is damaged");
  // A store that was read before and now does not load was replaced underneath this program.
  if (loaded) fileLost = true;
}

int32_t Database::LockRefused(int32_t lockCode, int systemError) {
  switch (lockCode) {
    case kStoreBusy:
      return kDbBusy;
    case kStoreMissing:
      lastError = FileError{"open", FilePath(), ENOENT, {}};
      if (loaded) fileLost = true;
      return kDbMissing;
    case kStoreReadOnly:
      readOnly = true;
      readOnlyCause = lastError = FileError{"write", FilePath(), systemError, {}};
      return kDbReadOnly;
    default:
      lastError = FileError{"open", FilePath(), systemError, {}};
      return kDbFailed;
  }
}

int32_t Database::Open() {
  lastError = {};
  if (path.empty()) return kDbFailed;
  filePath.clear();
  StoreLocks file;
  int error = 0;
  const int32_t lock = LockStore(FilePath(), lockWaitMs, file, StoreAccess::ReadAtLeast, &error);
  if (lock != kStoreLocked && lock != kStoreReadOnly) return LockRefused(lock, error);
  NoteWriteAccess(lock, error);
  if (!readOnly) RemoveStaleTempFiles(FilePath());  // the lock proves that no save is under way
  const int32_t code = LoadFrom(file.Get());
  if (code != kDbOk) {
    NoteLoadFailure(code);
    return code;
  }
  loaded = true;
  fileLost = false;
  return code;
}

int32_t Database::WriteReplacing(int currentFd) {
  const std::string& target = FilePath();
  std::string temp = TempTemplateFor(target);
  FileHandle out(Ops().CreateTemp(temp));
  if (!out.IsOpen()) {
    lastError = FileError::FromErrno("create a file in", FolderOf(target));
    if (IsWriteRefusal(lastError.errorNumber)) {
      readOnly = true;
      readOnlyCause = lastError;
      return kDbReadOnly;
    }
    return kDbFailed;
  }
  // Keep the file's permissions; a file written back where there was none gets those of a new file.
  struct stat st {};
  const mode_t mode = currentFd >= 0 && ::fstat(currentFd, &st) == 0 ? (st.st_mode & 07777) : 0644;
  (void)::fchmod(out.Get(), mode);  // a failure leaves the temporary file private, nothing worse
  FileIdentity written;
  bool ok = WriteStoreTo(out.Get(), temp) == kDbOk && IdentityOfFile(out.Get(), written);
  out.Close();
  if (ok && !BeforeReplace(temp)) {  // abandoned as by a crash: the temp file stays
    lastError = FileError::WithReason("replace", target, "the save was abandoned");
    return kDbFailed;
  }
  if (ok && Ops().Rename(temp, target) != 0) {
    lastError = FileError::FromErrno("replace", target);
    ok = false;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return kDbFailed;
  }
  known = written;  // the rename keeps inode, size and modification time
  // The new store is in place but not yet durable: report the failure so the change is saved again.
  if (Ops().SyncFolder(FolderOf(target)) != 0) {
    lastError = FileError::FromErrno("flush the folder", FolderOf(target));
    return kDbFailed;
  }
  return kDbOk;
}

int32_t Database::Save() {
  if (!modified) return kDbOk;
  lastError = {};
  if (path.empty()) return kDbFailed;
  if (changeLock.IsOpen()) {
    if (int32_t rc = WriteReplacing(changeLock.Get()); rc != kDbOk) return rc;
    modified = false;
    return kDbOk;
  }
  // The lock is kept until the new file has replaced the old one.
  StoreLocks current;
  int error = 0;
  const int32_t lock = LockStore(FilePath(), lockWaitMs, current, StoreAccess::Write, &error);
  if (lock != kStoreLocked) {
    const int32_t rc = LockRefused(lock, error);
    return rc == kDbBusy || rc == kDbReadOnly ? rc : kDbFailed;
  }
  if (int32_t rc = WriteReplacing(current.Get()); rc != kDbOk) return rc;
  modified = false;
  return kDbOk;
}

int32_t Database::WriteBack() {
  lastError = {};
  if (path.empty()) return kDbFailed;
  StoreLocks current;
  int error = 0;
  const int32_t lock = LockStore(FilePath(), lockWaitMs, current, StoreAccess::Write, &error);
  if (lock != kStoreLocked && lock != kStoreMissing) {
    const int32_t rc = LockRefused(lock, error);
    return rc == kDbBusy || rc == kDbReadOnly ? rc : kDbFailed;
  }
  if (int32_t rc = WriteReplacing(current.IsOpen() ? current.Get() : -1); rc != kDbOk) return rc;
  modified = false;
  fileLost = false;
  readOnly = false;
  readOnlyCause = {};
  return kDbOk;
}

int32_t Database::BeginChange(bool& reloaded) {
  reloaded = false;
  if (changeLock.IsOpen()) return kDbOk;
  lastError = {};
  if (path.empty()) return kDbFailed;
  StoreLocks file;
  int error = 0;
  const int32_t lock = LockStore(FilePath(), lockWaitMs, file, StoreAccess::Write, &error);
  if (lock != kStoreLocked) return LockRefused(lock, error);
  // A save writes a new file beside the database: a folder that refuses one makes the database read-only,
  // found before anything is changed.
  NoteWriteAccess(lock, error);
  if (readOnly) {
    lastError = readOnlyCause;
    return kDbReadOnly;
  }
  FileIdentity now;
  if (!IdentityOfFile(file.Get(), now)) {
    lastError = FileError::FromErrno("examine", FilePath());
    return kDbFailed;
  }
  if (!(now == known)) {
    if (int32_t rc = ReloadKeeping(file.Get()); rc != kDbOk) {
      NoteLoadFailure(rc);
      return rc;
    }
    reloaded = true;
  }
  changeLock = std::move(file);
  return kDbOk;
}

int32_t Database::EndChange() {
  const int32_t code = Save();
  changeLock.Close();
  return code;
}

int32_t Database::LockForReading(StoreLocks& held, int waitMs) {
  if (path.empty()) return kDbFailed;
  const int32_t lock = LockStore(FilePath(), waitMs, held, StoreAccess::ReadAtLeast);
  if (lock == kStoreLocked || lock == kStoreReadOnly) return kDbOk;
  if (lock == kStoreBusy) return kDbBusy;
  return lock == kStoreMissing ? kDbMissing : kDbFailed;
}

int32_t Database::ReloadIfFileChanged(bool& reloaded, int waitMs) {
  reloaded = false;
  if (!loaded || changeLock.IsOpen()) return loaded ? kDbOk : kDbFailed;
  FileIdentity atPath;
  if (!IdentityOfPath(FilePath(), atPath)) {
    if (errno != ENOENT) return kDbFailed;
    lastError = FileError{"open", FilePath(), ENOENT, {}};
    fileLost = true;
    return kDbMissing;
  }
  if (atPath == known) return kDbOk;
  lastError = {};
  StoreLocks file;
  int error = 0;
  const int32_t lock = LockStore(FilePath(), waitMs, file, StoreAccess::ReadAtLeast, &error);
  if (lock != kStoreLocked && lock != kStoreReadOnly) return LockRefused(lock, error);
  NoteWriteAccess(lock, error);
  FileIdentity now;
  if (!IdentityOfFile(file.Get(), now)) return kDbFailed;
  if (now == known) return kDbOk;
  const int32_t code = ReloadKeeping(file.Get());
  if (code != kDbOk) {
    NoteLoadFailure(code);
    return code;
  }
  reloaded = true;
  fileLost = false;
  return code;
}
