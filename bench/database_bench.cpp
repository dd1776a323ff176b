// The database file: a store of 10,000 positions over 100 portfolios and 2,000 quotes, saved and loaded
// whole, against a plain write (with the same flush to disk) and read of the same bytes.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "framework/store_lock.h"
#include "portfolio/database/vl_database.h"
#include "sample_store.h"
#include "tests/support/temp_folder.h"

namespace {

class NullWindow : public IVLCommandWindow {
 public:
  void PostCommand(uint32_t) override {}
};

struct BenchFolder {
  BenchFolder() {
    path = folder.File("Vellumar.db");
    WriteSampleStore(path, 100, 10000, 2000);
  }
  TempFolder folder{"vl_bench"};
  std::string path;
};

BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void BM_DatabaseLoad(benchmark::State& state) {
  const std::string& path = Folder().path;
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) {
    auto db = std::make_unique<VLDatabase>(path);
    if (db->Open() != kDbOk) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(db->GetPositionCount());
    state.PauseTiming();  // closing the store is not part of loading it
    db.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_DatabaseLoad)->Unit(benchmark::kMillisecond);

void BM_PlainRead(benchmark::State& state) {
  const std::string& path = Folder().path;
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) benchmark::DoNotOptimize(ReadBytes(path).size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_DatabaseSave(benchmark::State& state) {
  const std::string& path = Folder().path;
  VLDatabase db(path);
  if (db.Open() != kDbOk) state.SkipWithError("load failed");
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) {
    db.SetModified();
    if (db.Save() != kDbOk) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_DatabaseSave)->Unit(benchmark::kMillisecond);

// The same bytes written the way a save must: a new file, flushed to disk, renamed over the old one.
void BM_PlainWrite(benchmark::State& state) {
  const std::string& path = Folder().path;
  const std::vector<char> bytes = ReadBytes(path);
  const std::string temp = path + ".plain";
  for (auto _ : state) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      state.SkipWithError("write failed");
    }
    ::fsync(fd);
    ::close(fd);
    std::filesystem::rename(temp, path + ".copy");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);

// One change as a user makes it: add a cash position, which saves the whole store.
void BM_AddCashPosition(benchmark::State& state) {
  const std::string& path = Folder().path;
  VLDatabase db(path);
  auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
  if (!conn) state.SkipWithError("load failed");
  for (auto _ : state) {
    uint32_t id = 0;
    if (db.AddCashPosition(conn, 1, 100, "cash", id) != kVLOk) state.SkipWithError("add failed");
  }
}
BENCHMARK(BM_AddCashPosition)->Unit(benchmark::kMillisecond);

// What every change adds to keep several processes safe: take the file's lock (making sure it is the file
// at the path), compare the file's identity with the one last read or written, release the lock.
void BM_LockAndIdentityCheck(benchmark::State& state) {
  const std::string& path = Folder().path;
  FileIdentity known;
  if (!IdentityOfPath(path, known)) state.SkipWithError("no file");
  for (auto _ : state) {
    FileHandle file;
    if (LockStoreFile(path, 1000, file) != kStoreLocked) state.SkipWithError("lock failed");
    FileIdentity now;
    IdentityOfFile(file.Get(), now);
    benchmark::DoNotOptimize(now == known);
  }
}
BENCHMARK(BM_LockAndIdentityCheck)->Unit(benchmark::kMicrosecond);

// What a long-lived reader pays once a second when nothing changed: one stat.
void BM_ReloadIfUnchanged(benchmark::State& state) {
  const std::string& path = Folder().path;
  VLDatabase db(path);
  auto window = std::make_shared<NullWindow>();
  if (!db.Connect(window, 1, 2, 3)) state.SkipWithError("load failed");
  for (auto _ : state) benchmark::DoNotOptimize(db.ReloadIfChanged());
}
BENCHMARK(BM_ReloadIfUnchanged)->Unit(benchmark::kMicrosecond);

}  // namespace
