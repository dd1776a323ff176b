#include "framework/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "framework/replace_file.h"

namespace {

constexpr int kMaxLinkHops = 40;  // as the system's own path resolution allows

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISFIFO(mode)) return "it is a named pipe, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
  if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
  return "it is not a regular file";
}

}  // namespace

bool OpenRegularFile(const std::string& path, int flags, FileHandle& file, FileError& error, int mode) {
  const std::string action = (flags & O_ACCMODE) == O_RDONLY ? "read" : "write";
  // O_NONBLOCK: opening a named pipe would otherwise wait for its other end, for ever.
  FileHandle opened(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, static_cast<mode_t>(mode)));
  if (!opened.IsOpen()) {
    // A pipe opened for writing with nobody reading gives ENXIO: it is still a pipe, and said as such.
    struct stat st {};
    if (errno == ENXIO && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
      error = FileError::WithReason(action, path, KindOf(st.st_mode));
      return false;
    }
    const int opening = errno;
    const bool creating = (flags & O_CREAT) && ::lstat(path.c_str(), &st) != 0;
    errno = opening;
    error = FileError::FromErrno(creating                          ? "create"
                                 : (flags & O_ACCMODE) == O_RDONLY ? "open"
                                                                   : "write",
                                 path);
    return false;
  }
  struct stat st {};
  if (::fstat(opened.Get(), &st) != 0) {
    error = FileError::FromErrno(action, path);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = FileError::WithReason(action, path, KindOf(st.st_mode));
    return false;
  }
  const int status = ::fcntl(opened.Get(), F_GETFL);
  if (status < 0 || ::fcntl(opened.Get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
    error = FileError::FromErrno(action, path);
    return false;
  }
  file = std::move(opened);
  return true;
}

bool IsReplaceableFile(const std::string& path, FileError& error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    error = FileError::FromErrno("write", path);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = FileError::WithReason("write", path, KindOf(st.st_mode));
    return false;
  }
  // The rename that replaces the file needs only the folder's permission: ask the file itself.
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
    error = FileError::FromErrno("write", path);
    return false;
  }
  return true;
}

bool FollowFileLinks(const std::string& path, std::string& target, FileError& error) {
  std::string current = path;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(current.c_str(), buffer, sizeof buffer);
    if (length < 0 || static_cast<size_t>(length) >= sizeof buffer) {
      target = current;  // not a link (or nothing there): this is the file
      return true;
    }
    const std::string link(buffer, static_cast<size_t>(length));
    // A relative link is relative to the folder the link is in.
    current = link[0] == '/' ? link : FolderOfPath(current) + link;
  }
  errno = ELOOP;
  error = FileError::FromErrno("write", path);
  return false;
}
