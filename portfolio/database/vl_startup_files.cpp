#include "portfolio/database/vl_startup_files.h"

#include <sys/stat.h>

#include <cstdio>

#include "framework/database.h"
#include "framework/file_util.h"
#include "framework/text_util.h"

namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsLeftoverReportFile(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = name.substr(dot + 1);
  return EqualNoCase(extension, "htm") || EqualNoCase(extension, "gif");
}

StartupFileResult Failure(StringId messageId, const std::string& path) {
  return {messageId, path};
}

}  // namespace

std::string GetDatabasePath(const std::string& folder) {
  return folder + "Vellumar.db";
}

std::string GetBackupFolder(const std::string& folder) {
  return folder + "backup/";
}

std::string GetBackupPath(const std::string& backupFolder, int32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "Vellumar_%d.db", number);
  return backupFolder + name;
}

StartupFileResult EnsureDatabaseFile(Database& database, const std::string& folder) {
  const std::string path = GetDatabasePath(folder);
  if (!database.SetPath(path)) return Failure(StringId::DatabaseCreateError, path);
  const DbResult code = database.Create();
  if (code != DbResult::Ok && code != DbResult::Exists) return Failure(StringId::DatabaseCreateError, path);
  return {StringId::None, path};
}

StartupFileResult EnsureBackupFolder(const std::string& folder) {
  const std::string backupFolder = GetBackupFolder(folder);
  if (IsFolder(backupFolder)) return {StringId::None, backupFolder};
  // A plain file named "backup" would only make every copy fail later; say what is wrong now.
  if (FileExists(backupFolder.substr(0, backupFolder.size() - 1)) || !CreateFolder(backupFolder)) {
    return Failure(StringId::BackupFolderCreateError, backupFolder);
  }
  return {StringId::None, backupFolder};
}

StartupFileResult FindNextBackupPath(const std::string& folder, int32_t limit) {
  const std::string backupFolder = GetBackupFolder(folder);
  for (int32_t n = 1; n < limit; ++n) {
    std::string candidate = GetBackupPath(backupFolder, n);
    if (!FileExists(candidate)) return {StringId::None, std::move(candidate)};
  }
  return Failure(StringId::BackupFolderFullError, backupFolder);
}

StartupFileResult CopyDatabaseToBackup(const std::string& folder, const std::string& backupPath) {
  if (!CopyFileNoOverwrite(GetDatabasePath(folder), backupPath))
    return Failure(StringId::BackupCreateError, backupPath);
  return {StringId::None, backupPath};
}

StartupFileResult BackupDatabaseAtStartup(const std::string& folder) {
  const StartupFileResult made = EnsureBackupFolder(folder);
  if (!made.Ok()) return made;
  const StartupFileResult next = FindNextBackupPath(folder);
  if (!next.Ok()) return next;
  return CopyDatabaseToBackup(folder, next.path);
}

int32_t DeleteLeftoverReportFiles(const std::string& folder) {
  int32_t deleted = 0;
  for (const std::string& name : ListFolder(folder)) {
    if (IsLeftoverReportFile(name) && DeleteFile(folder + name)) ++deleted;
  }
  return deleted;
}
