// Start-up's file steps run in order, stop at the first failure and show its message with the path.
#include "app/startup_file_steps.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "portfolio/database/vl_database.h"

namespace fs = std::filesystem;

namespace {
class Folder {
 public:
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "vl_app_startup_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path = pattern + "/";
  }
  ~Folder() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
  }
  void Write(const std::string& name) const { std::ofstream(path + name) << "x"; }
  bool Has(const std::string& name) const { return fs::exists(path + name); }
  std::string path;
};
}  // namespace

TEST(StartupFileSteps, DatabaseThenBackupThenLeftoverReports) {
  Folder folder;
  ASSERT_FALSE(folder.path.empty());
  folder.Write("report.htm");
  folder.Write("report.html");
  VLDatabase database(folder.path + "Vellumar.db");
  EXPECT_EQ(RunStartupFileSteps(database, folder.path).toStdString(), "");
  EXPECT_TRUE(folder.Has("Vellumar.db"));
  EXPECT_TRUE(folder.Has("backup/Vellumar_1.db"));
  EXPECT_FALSE(folder.Has("report.htm"));
  EXPECT_TRUE(folder.Has("report.html"));
}

TEST(StartupFileSteps, ADatabaseThatCannotBeCreatedIsNamedInTheMessage) {
  Folder folder;
  // A path through a plain file cannot hold a database, whoever runs the test.
  folder.Write("plain");
  const std::string programFolder = folder.path + "plain/";
  VLDatabase database(programFolder + "Vellumar.db");
  EXPECT_EQ(RunStartupFileSteps(database, programFolder).toStdString(),
            "[ " + programFolder + "Vellumar.db ]\n\nVellumar was unable to create this database\nfile.");
}

TEST(StartupFileSteps, AFailedBackupEndsTheStepsWithTheFolderInTheMessage) {
  Folder folder;
  folder.Write("backup");  // a file where the backup folder belongs
  folder.Write("report.gif");
  VLDatabase database(folder.path + "Vellumar.db");
  EXPECT_EQ(RunStartupFileSteps(database, folder.path).toStdString(),
            "[ " + folder.path + "backup/ ]\n\nVellumar was unable to create this backup folder.");
  EXPECT_TRUE(folder.Has("Vellumar.db"));
  EXPECT_TRUE(folder.Has("report.gif")) << "the steps after a failure do not run";
}
