#include "app/startup_file_steps.h"

#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_startup_files.h"
#include "ui/widgets/string_table.h"

QString RunStartupFileSteps(VLDatabase& database, const std::string& folder) {
  StartupFileResult step = EnsureDatabaseFile(database, folder);
  if (step.Ok()) step = BackupDatabaseAtStartup(folder);
  if (!step.Ok()) return FormatString(step.messageId, QString::fromStdString(step.path));
  DeleteLeftoverReportFiles(folder);
  return {};
}
