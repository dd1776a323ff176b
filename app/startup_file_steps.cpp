#include "app/startup_file_steps.h"

#include "framework/replace_file.h"
#include "portfolio/database/vl_database.h"

StartupFileResult RunStartupFileSteps(VLDatabase& database, const std::string& folder) {
  StartupFileResult step = EnsureDatabaseFile(database, folder);
  // A database on a medium that may only be read (or in a folder that takes no file) cannot change, so it
  // needs no backup: it opens read-only, and the window says so.
  if (step.Ok() && !CanCreateFilesIn(folder)) return step;
  if (step.Ok()) step = BackupDatabaseAtStartup(folder);
  if (step.Ok()) DeleteLeftoverReportFiles(folder);
  return step;
}
