#pragma once
#include <string>
#include <string_view>

#include "framework/file_error.h"

class SaveFileOps;

// Writes `content` to a temporary file beside `path`, flushes it to disk and renames it over `path` (a new
// file when there is none), so a reader or a crash sees the old file or the new one, never a part of either.
// A file that is there keeps its permissions. A symbolic link at `path` is kept: the file it leads to is
// replaced. What is not a regular file (a named pipe, a device, a folder) and a file without write
// permission are refused and left alone. On any failure (a full disk, no permission, the folder gone)
// the old file stays exactly as it was, the temporary file is removed, and `error` says what failed and why;
// but for one: when the folder cannot be flushed after the rename, the new file is in place and the answer
// is still false ("flush the folder"), since the rename may not survive a power cut (the database's saves
// follow the same rule).
// `ops` are the system calls unless a test substitutes failing ones.
[[nodiscard]] bool ReplaceFileContent(const std::string& path, std::string_view content, FileError& error,
                                      SaveFileOps* ops = nullptr);

// The folder of `path` with its trailing '/' ("./" for a bare name).
std::string FolderOfPath(const std::string& path);

// Whether this program may make files in `folder` (its permissions for the effective user, and a medium that
// is not read-only); when not, `why` (if given) says so with the system's reason.
bool CanCreateFilesIn(const std::string& folder, FileError* why = nullptr);
