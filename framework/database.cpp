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
#include "framework/save_file_ops.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// Writes the archive's bytes through the save's file calls.
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
      if (put <= 0) throw ArchiveError(std::string("write failed: ") + std::strerror(errno));
      p += put;
      n -= static_cast<size_t>(put);
    }
  }

 private:
  SaveFileOps& ops;
  int fd;
};

std::string ResolveLinks(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

int32_t DbCodeOfLock(int32_t lockCode) {
  switch (lockCode) {
    case kStoreLocked: return kDbOk;
    case kStoreMissing: return kDbMissing;
    case kStoreBusy: return kDbBusy;
    default: return kDbFailed;
  }
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

int32_t Database::WriteStoreTo(int fd) {
  try {
    SaveStream stream(Ops(), fd);
    Archive ar(stream, Archive::Mode::Store, Archive::kSaveBufferSize);
    if (Serialize(&ar) != kSerializeOk) return kDbFailed;
    ar.Flush();
    if (Ops().Sync(fd) != 0) return kDbFailed;
    return kDbOk;
  } catch (const std::exception&) {
    return kDbFailed;
  }
}

int32_t Database::Create() {
  FileHandle file;
  const int32_t rc = CreateNewFile(path, file);
  if (rc == 2) return kDbExists;
  if (rc != 0) return kDbFailed;
  if (WriteStoreTo(file.Get()) != kDbOk) {
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

int32_t Database::Open() {
  if (path.empty()) return kDbFailed;
  filePath.clear();
  FileHandle file;
  if (int32_t rc = DbCodeOfLock(LockStoreFile(FilePath(), lockWaitMs, file)); rc != kDbOk) return rc;
  RemoveStaleTempFiles(FilePath());  // the lock proves that no save is under way
  const int32_t code = LoadFrom(file.Get());
  if (code == kDbOk) loaded = true;
  return code;
}

int32_t Database::WriteReplacing(int currentFd) {
  const std::string& target = FilePath();
  std::string temp = TempTemplateFor(target);
  FileHandle out(Ops().CreateTemp(temp));
  if (!out.IsOpen()) return kDbFailed;
  struct stat st {};
  if (::fstat(currentFd, &st) == 0) ::fchmod(out.Get(), st.st_mode & 07777);  // keep the file's permissions
  FileIdentity written;
  bool ok = WriteStoreTo(out.Get()) == kDbOk && IdentityOfFile(out.Get(), written);
  out.Close();
  if (ok && !BeforeReplace(temp)) return kDbFailed;  // abandoned as by a crash: the temp file stays
  ok = ok && Ops().Rename(temp, target) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return kDbFailed;
  }
  known = written;  // the rename keeps inode, size and modification time
  // The new store is in place but not yet durable: report the failure so the change is saved again.
  return Ops().SyncFolder(FolderOf(target)) == 0 ? kDbOk : kDbFailed;
}

int32_t Database::Save() {
  if (!modified) return kDbOk;
  if (path.empty()) return kDbFailed;
  if (changeLock.IsOpen()) {
    if (WriteReplacing(changeLock.Get()) != kDbOk) return kDbFailed;
    modified = false;
    return kDbOk;
  }
  // The lock is kept until the new file has replaced the old one.
  FileHandle current;
  if (int32_t rc = DbCodeOfLock(LockStoreFile(FilePath(), lockWaitMs, current)); rc != kDbOk) {
    return rc == kDbBusy ? kDbBusy : kDbFailed;
  }
  if (WriteReplacing(current.Get()) != kDbOk) return kDbFailed;
  modified = false;
  return kDbOk;
}

int32_t Database::BeginChange(bool& reloaded) {
  reloaded = false;
  if (changeLock.IsOpen()) return kDbOk;
  if (path.empty()) return kDbFailed;
  FileHandle file;
  if (int32_t rc = DbCodeOfLock(LockStoreFile(FilePath(), lockWaitMs, file)); rc != kDbOk) return rc;
  FileIdentity now;
  if (!IdentityOfFile(file.Get(), now)) return kDbFailed;
  if (!(now == known)) {
    if (int32_t rc = ReloadKeeping(file.Get()); rc != kDbOk) return rc;
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

int32_t Database::ReloadIfFileChanged(bool& reloaded, int waitMs) {
  reloaded = false;
  if (!loaded || changeLock.IsOpen()) return loaded ? kDbOk : kDbFailed;
  FileIdentity atPath;
  if (!IdentityOfPath(FilePath(), atPath)) return kDbMissing;
  if (atPath == known) return kDbOk;
  FileHandle file;
  if (int32_t rc = DbCodeOfLock(LockStoreFile(FilePath(), waitMs, file)); rc != kDbOk) return rc;
  FileIdentity now;
  if (!IdentityOfFile(file.Get(), now)) return kDbFailed;
  if (now == known) return kDbOk;
  const int32_t code = ReloadKeeping(file.Get());
  reloaded = code == kDbOk;
  return code;
}
