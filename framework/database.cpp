#include "framework/database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "framework/file_util.h"
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

}  // namespace

bool Database::SetPath(const std::string& newPath) {
  if (loaded) return false;
  path = newPath;
  return true;
}

void Database::Reset() {
  modified = false;
  loaded = false;
}

SaveFileOps& Database::Ops() const {
  return fileOps ? *fileOps : SaveFileOps::System();
}

int32_t Database::WriteStoreTo(int fd) {
  try {
    SaveStream stream(Ops(), fd);
    Archive ar(stream, Archive::Mode::Store);
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

int32_t Database::Open() {
  if (path.empty()) return kDbFailed;
  FileHandle file;
  const int32_t rc = OpenExistingFile(path, kOpenReadWriteExclusive, file);
  if (rc == 3) return kDbMissing;
  if (rc != 0) return kDbFailed;
  int32_t code = kDbFailed;
  try {
    if (::lseek(file.Get(), 0, SEEK_SET) != 0) return kDbFailed;
    FileStream stream(file.Get());
    Archive ar(stream, Archive::Mode::Load);
    PrepareForLoad();
    code = Serialize(&ar);
  } catch (const std::exception&) {
    code = kDbFailed;
  }
  if (code != kDbOk && code != kDbExists && code != kDbVersionTooNew) code = kDbFailed;
  if (code == kDbOk) loaded = true;
  return code;
}

int32_t Database::WriteReplacing(int currentFd) {
  std::string temp = path + ".XXXXXX";
  FileHandle out(Ops().CreateTemp(temp));
  if (!out.IsOpen()) return kDbFailed;
  struct stat st {};
  if (::fstat(currentFd, &st) == 0) ::fchmod(out.Get(), st.st_mode & 07777);  // keep the file's permissions
  bool ok = WriteStoreTo(out.Get()) == kDbOk;
  out.Close();
  if (ok && !BeforeReplace(temp)) return kDbFailed;  // abandoned as by a crash: the temp file stays
  ok = ok && Ops().Rename(temp, path) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return kDbFailed;
  }
  // The new store is in place but not yet durable: report the failure so the change is saved again.
  return Ops().SyncFolder(FolderOf(path)) == 0 ? kDbOk : kDbFailed;
}

int32_t Database::Save() {
  if (!modified) return kDbOk;
  if (path.empty()) return kDbFailed;
  // The exclusive open proves the file is still there and nobody else holds it; the lock is kept
  // until the new file has replaced it.
  FileHandle current;
  if (OpenExistingFile(path, kOpenReadWriteExclusive, current) != 0) return kDbFailed;
  if (WriteReplacing(current.Get()) != kDbOk) return kDbFailed;
  modified = false;
  return kDbOk;
}
