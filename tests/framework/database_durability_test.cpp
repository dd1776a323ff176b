// The order in which a save makes the new store durable, and what a failure at each step leaves behind.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/database.h"
#include "framework/save_file_ops.h"
#include "test_records.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// The system calls, each logged by what it touched: the temporary file, the database or its folder.
// One step can be made to fail as the system would, with EIO.
class RecordingOps : public SaveFileOps {
 public:
  int CreateTemp(std::string& pathTemplate) override {
    if (Fails("create temp")) return -1;
    const int fd = SaveFileOps::CreateTemp(pathTemplate);
    tempPath = pathTemplate;
    tempFd = fd;
    return fd;
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    const std::string step = fd == tempFd ? "write temp" : "write other";
    if (Fails(step)) return -1;
    return SaveFileOps::Write(fd, data, size);
  }
  int Sync(int fd) override {
    if (Fails(fd == tempFd ? "sync temp" : "sync other")) return -1;
    return SaveFileOps::Sync(fd);
  }
  int Rename(const std::string& from, const std::string& to) override {
    if (Fails(std::string(from == tempPath ? "rename temp" : "rename other") +
              (to == dbPath ? " over database" : " elsewhere"))) {
      return -1;
    }
    return SaveFileOps::Rename(from, to);
  }
  int SyncFolder(const std::string& folder) override {
    const bool ours = fs::equivalent(folder, fs::path(dbPath).parent_path());
    if (Fails(ours ? "sync folder" : "sync other folder")) return -1;
    return SaveFileOps::SyncFolder(folder);
  }

  // Starts a new save: an empty log and `step` (or nothing) to fail.
  void Expect(const std::string& step = {}) {
    log.clear();
    failStep = step;
  }

  std::string dbPath;
  std::vector<std::string> log;

 private:
  // Logs the step (consecutive writes once); true when it is the one to fail.
  bool Fails(const std::string& step) {
    const bool repeatedWrite = step.rfind("write", 0) == 0 && !log.empty() && log.back() == step;
    if (!repeatedWrite) log.push_back(step);
    if (step != failStep) return false;
    errno = EIO;
    return true;
  }

  std::string failStep;
  std::string tempPath;
  int tempFd = -1;
};

class SaveDurability : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp.Path().empty());
    folder = temp.Path();
    path = temp.File("store.db");
    ASSERT_TRUE(store.SetPath(path));
    store.list.Add(MakeItem(1, "before", 10));
    ASSERT_EQ(store.Create(), DbResult::Ok);
    before = ReadAll();
    store.list.Add(MakeItem(2, "after", 20));
    store.SetModified();
    ops.dbPath = path;
    store.SetFileOps(&ops);
  }
  std::vector<uint8_t> ReadAll() const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // The files beside the database but its lock file, which every open makes once and no save touches.
  size_t FilesInFolder() const {
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder))
      files += entry.path().string() != StoreGuardPath(path);
    return files;
  }

  TempFolder temp{"vl_durable"};
  fs::path folder;
  std::string path;
  TestStore store;
  RecordingOps ops;
  std::vector<uint8_t> before;
};

}  // namespace

TEST_F(SaveDurability, WritesFlushesRenamesThenFlushesTheFolder) {
  ops.Expect();
  ASSERT_EQ(store.Save(), DbResult::Ok);
  EXPECT_EQ(ops.log, (std::vector<std::string>{"create temp", "write temp", "sync temp",
                                               "rename temp over database", "sync folder"}));
  EXPECT_FALSE(store.IsModified());
  EXPECT_NE(ReadAll(), before);
  EXPECT_EQ(FilesInFolder(), 1u);

  TestStore reader;
  ASSERT_TRUE(reader.SetPath(path));
  ASSERT_EQ(reader.Open(), DbResult::Ok);
  EXPECT_EQ(reader.list.GetCount(), 2);
}

TEST_F(SaveDurability, AFailedStepBeforeTheRenameKeepsTheOldFileAndReportsFailure) {
  const std::string folderText = temp.Path();
  const struct {
    const char* step;
    std::string said;  // what the error says, the temporary file's random name left out
  } cases[] = {
      {"create temp", "cannot create a file in " + folderText + ": Input/output error"},
      {"write temp", "cannot write " + path + ".XXXXXX: Input/output error"},
      {"sync temp", "cannot write " + path + ".XXXXXX: Input/output error"},
      {"rename temp over database", "cannot replace " + path + ": Input/output error"},
  };
  for (const auto& [step, said] : cases) {
    ops.Expect(step);
    EXPECT_EQ(store.Save(), DbResult::Failed) << step;
    std::string described = store.GetLastFileError().Describe();
    const size_t random = described.find(path + ".");
    if (random != std::string::npos) described.replace(random + path.size() + 1, 6, "XXXXXX");
    EXPECT_EQ(described, said) << step;
    ASSERT_FALSE(ops.log.empty()) << step;
    EXPECT_EQ(ops.log.back(), step) << "nothing runs after the failed step";
    EXPECT_TRUE(store.IsModified()) << step;
    EXPECT_EQ(ReadAll(), before) << step;
    EXPECT_EQ(FilesInFolder(), 1u) << step << ": the temporary file is removed";
  }
}

TEST_F(SaveDurability, AFailedFolderFlushIsReportedSoTheChangeIsSavedAgain) {
  // The rename has happened, so the new store is in the file, but nothing proves it reached the disk.
  ops.Expect("sync folder");
  EXPECT_EQ(store.Save(), DbResult::Failed);
  EXPECT_TRUE(store.IsModified());
  EXPECT_EQ(FilesInFolder(), 1u);

  ops.Expect();
  EXPECT_EQ(store.Save(), DbResult::Ok);
  EXPECT_FALSE(store.IsModified());
}
