#pragma once
#include <cstdint>
#include <string>

#include "framework/string_id.h"

class Database;

// The file work of start-up and of the Backup command: the database file in the application's data folder,
// the numbered backups in "backup/" and the removal of leftover report files. Every function takes the folder
// (with its trailing '/') so the application passes its data folder (framework/app_paths.h) and tests a
// temporary one. Nothing here shows a message: a failure returns the string id the window shows and the
// text for its "%s".

struct StartupFileResult {
  StringId messageId = StringId::None;  // None on success, else the failure's message (named below)
  std::string path;                     // the text for the message's "%s"; on success the file or folder made

  bool Ok() const { return messageId == StringId::None; }
};

// Backup numbers run from 1 up to, but not including, this one.
constexpr int32_t kBackupNumberLimit = 999999;

std::string GetDatabasePath(const std::string& folder);                      // folder + "Vellumar.db"
std::string GetBackupFolder(const std::string& folder);                      // folder + "backup/"
std::string GetBackupPath(const std::string& backupFolder, int32_t number);  // "%sVellumar_%d.db"

// Points `database` at the folder's "Vellumar.db" and creates it there when missing (an empty store).
// The file is not loaded. Codes 0 (created) and 2 (already there) succeed; anything else gives
// DatabaseCreateError.
[[nodiscard]] StartupFileResult EnsureDatabaseFile(Database& database, const std::string& folder);

// Creates the backup folder when it does not exist; BackupFolderCreateError when that fails or a file of that
// name is in the way.
[[nodiscard]] StartupFileResult EnsureBackupFolder(const std::string& folder);

// The first "Vellumar_<n>.db" in the backup folder that does not exist; BackupFolderFullError with the backup
// folder when
// every number below `limit` is taken. The folder itself need not exist.
StartupFileResult FindNextBackupPath(const std::string& folder, int32_t limit = kBackupNumberLimit);

// Copies the folder's "Vellumar.db" to `backupPath`, failing when it exists; BackupCreateError
// with `backupPath`.
[[nodiscard]] StartupFileResult CopyDatabaseToBackup(const std::string& folder,
                                                     const std::string& backupPath);

// Start-up's backup step: the backup folder (created when missing), the next free name and the copy.
[[nodiscard]] StartupFileResult BackupDatabaseAtStartup(const std::string& folder);

// Deletes every file in the folder whose extension (after the last dot) is "htm" or "gif" in any case.
// Failures are ignored. Returns how many were deleted.
int32_t DeleteLeftoverReportFiles(const std::string& folder);
