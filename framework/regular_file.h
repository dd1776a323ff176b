#pragma once
#include <string>

#include "framework/file_error.h"
#include "framework/file_util.h"

// Opens `path` with `flags` (O_RDONLY, O_WRONLY | O_APPEND | O_CREAT, ...; `mode` for a new file) without
// ever waiting for a writer or reader at the other end: a named pipe, a device, a socket or a folder at the
// path is refused ("it is not a regular file") instead of opened. On success `file` holds the descriptor in
// blocking mode. On failure `error` says what and why (errno ENOENT for a missing file).
[[nodiscard]] bool OpenRegularFile(const std::string& path, int flags, FileHandle& file, FileError& error,
                                   int mode = 0644);

// Whether what is at `path` may be replaced by a new file: nothing there, or a regular file this program
// may write. A named pipe, a device, a socket or a folder is refused, and so is a file without write
// permission. `error` says why not.
[[nodiscard]] bool IsReplaceableFile(const std::string& path, FileError& error);

// `path` with every symbolic link of its last component followed (a link to a link too), so that a file
// written there replaces the file the link leads to and keeps the link. A link that leads nowhere gives the
// path it names; a path that is no link is returned as it is. False (`error` set) for a loop of links.
[[nodiscard]] bool FollowFileLinks(const std::string& path, std::string& target, FileError& error);
