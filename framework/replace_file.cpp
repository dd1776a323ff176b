#include "framework/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "framework/file_util.h"
#include "framework/full_io.h"
#include "framework/regular_file.h"
#include "framework/save_file_ops.h"

std::string FolderOfPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

bool CanCreateFilesIn(const std::string& folder, FileError* why) {
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return true;
  if (why) *why = FileError::FromErrno("create a file in", folder);
  return false;
}

bool ReplaceFileContent(const std::string& givenPath, std::string_view content, FileError& error,
                        SaveFileOps* ops) {
  SaveFileOps& io = ops ? *ops : SaveFileOps::System();
  // A link stays a link (the file it leads to is replaced); a pipe, a device or a file the user may not
  // write is never replaced by a file of ours.
  std::string path;
  if (!FollowFileLinks(givenPath, path, error) || !IsReplaceableFile(path, error)) return false;
  std::string temp = path + ".XXXXXX";
  FileHandle file(io.CreateTemp(temp));
  if (!file.IsOpen()) {
    error = FileError::FromErrno("create a file in", FolderOfPath(path));
    return false;
  }
  auto fail = [&](FileError why) {
    error = std::move(why);
    file.Close();
    ::unlink(temp.c_str());
    return false;
  };
  // mkstemp makes the file private; a file being replaced keeps its own permissions, a new one gets 0644.
  struct stat st {};
  const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (::fchmod(file.Get(), mode) != 0) return fail(FileError::FromErrno("set the permissions of", temp));
  const int fd = file.Get();
  if (!WriteFullyWith([&](const void* p, size_t n) { return io.Write(fd, p, n); }, content.data(),
                      content.size())) {
    return fail(FileError::FromErrno("write", temp));
  }
  if (io.Sync(file.Get()) != 0) return fail(FileError::FromErrno("write", temp));
  file.Close();
  if (io.Rename(temp, path) != 0) return fail(FileError::FromErrno("replace", path));
  // The new file is complete and in place, but until the folder is flushed the rename may not survive a
  // power cut: a failed flush is reported, as the database's save reports it, so that the caller writes
  // again rather than take the file for safe.
  if (io.SyncFolder(FolderOfPath(path)) != 0) {
    error = FileError::FromErrno("flush the folder", FolderOfPath(path));
    return false;
  }
  return true;
}
