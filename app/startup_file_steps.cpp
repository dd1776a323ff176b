#include "app/startup_file_steps.h"

#include "portfolio/database/vl_database.h"

StartupFileResult RunStartupFileSteps(VLDatabase& database, const std::string& folder) {
  StartupFileResult step = EnsureDatabaseFile(database, folder);
  if (step.Ok()) step = BackupDatabaseAtStartup(folder);
  if (step.Ok()) DeleteLeftoverReportFiles(folder);
  return step;
}
