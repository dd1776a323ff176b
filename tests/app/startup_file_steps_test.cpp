// Start-up's file steps run in order, stop at the first failure and show its message with the path.
#include "app/startup_file_steps.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "portfolio/database/vl_database.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_folder.h"
#include "ui/widgets/string_table.h"

namespace fs = std::filesystem;

namespace {
bool Has(const TempFolder& folder, const std::string& name) {
  return fs::exists(folder.File(name));
}

// The message start-up shows for the step's result.
std::string MessageOf(const StartupFileResult& result) {
  return FormatString(result.messageId, QString::fromStdString(result.path)).toStdString();
}

}  // namespace

TEST(StartupFileSteps, DatabaseThenBackupThenLeftoverReports) {
  TempFolder folder("vl_app_startup");
  ASSERT_FALSE(folder.Path().empty());
  WriteText(folder.File("report.htm"), "x");
  WriteText(folder.File("report.html"), "x");
  VLDatabase database(folder.Path() + "Vellumar.db");
  EXPECT_TRUE(RunStartupFileSteps(database, folder.Path()).Ok());
  EXPECT_TRUE(Has(folder, "Vellumar.db"));
  EXPECT_TRUE(Has(folder, "backup/Vellumar_1.db"));
  EXPECT_FALSE(Has(folder, "report.htm"));
  EXPECT_TRUE(Has(folder, "report.html"));
}

TEST(StartupFileSteps, ADatabaseThatCannotBeCreatedIsNamedInTheMessage) {
  TempFolder folder("vl_app_startup");
  // A path through a plain file cannot hold a database, whoever runs the test.
  WriteText(folder.File("plain"), "x");
  const std::string programFolder = folder.Path() + "plain/";
  VLDatabase database(programFolder + "Vellumar.db");
  EXPECT_EQ(MessageOf(RunStartupFileSteps(database, programFolder)),
            "[ " + programFolder + "Vellumar.db ]\n\nVellumar was unable to create this database\nfile.");
}

TEST(StartupFileSteps, AFailedBackupEndsTheStepsWithTheFolderInTheMessage) {
  TempFolder folder("vl_app_startup");
  WriteText(folder.File("backup"), "x");  // a file where the backup folder belongs
  WriteText(folder.File("report.gif"), "x");
  VLDatabase database(folder.Path() + "Vellumar.db");
  EXPECT_EQ(MessageOf(RunStartupFileSteps(database, folder.Path())),
            "[ " + folder.Path() + "backup/ ]\n\nVellumar was unable to create this backup folder.");
  EXPECT_TRUE(Has(folder, "Vellumar.db"));
  EXPECT_TRUE(Has(folder, "report.gif")) << "the steps after a failure do not run";
}

// A database on a medium that may only be read starts without a backup (it cannot change), instead of ending
// the program at the backup step.
TEST(StartupFileSteps, ADatabaseOnAReadOnlyMediumNeedsNoBackup) {
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << "no file system can be mounted read-only here";
  VLDatabase created(disk.Path() + "Vellumar.db");
  ASSERT_EQ(created.Create(), DbResult::Ok);
  ASSERT_TRUE(disk.MakeReadOnly());
  VLDatabase database(disk.Path() + "Vellumar.db");
  EXPECT_TRUE(RunStartupFileSteps(database, disk.Path()).Ok());
  EXPECT_FALSE(fs::exists(disk.File("backup")));
}
