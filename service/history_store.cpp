#include "service/history_store.h"
#include "framework/full_io.h"
#include "service/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

static constexpr std::uintmax_t kMaxHistoryFileBytes = 64u << 20;

static bool SameFigures(const DailyBar& a, const DailyBar& b) {
  return a.open == b.open && a.high == b.high && a.low == b.low && a.close == b.close &&
         a.volume == b.volume && a.adjClose == b.adjClose;
}

MergedHistory MergeHistory(const std::vector<DailyBar>& stored, const std::vector<DailyBar>& fetched) {
  MergedHistory merged;
  merged.rows.reserve(stored.size() + fetched.size());
  size_t i = 0, j = 0;
  while (i < stored.size() || j < fetched.size()) {
    if (j == fetched.size() || (i < stored.size() && stored[i].day < fetched[j].day)) {
      merged.rows.push_back(stored[i++]);
      continue;
    }
    if (i == stored.size() || fetched[j].day < stored[i].day) {
      merged.rows.push_back(fetched[j++]);
      ++merged.added;
      continue;
    }
    if (!SameFigures(stored[i], fetched[j])) ++merged.replaced;
    merged.rows.push_back(fetched[j++]);
    ++i;
  }
  return merged;
}

bool ReadHistoryFile(const std::string& path, std::vector<DailyBar>& rows, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    rows.clear();
    return true;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxHistoryFileBytes) {
    error = path + ": " + (ec ? "cannot be read" : "larger than 64 MB");
    return false;
  }
  std::string text;
  if (!ReadTextFile(path, text)) {
    error = path + ": cannot be read";
    return false;
  }
  if (!ParseHistoryCsv(text, rows, error)) {
    error = path + ": " + error + "; repair or remove it before fetching";
    return false;
  }
  return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = path + ": cannot create a temporary file: " + std::strerror(errno);
    return false;
  }
  auto fail = [&](const char* step) {
    error = path + ": " + step + ": " + std::strerror(errno);
    std::remove(temp.c_str());
    return false;
  };
  if (!WriteFully(fd, text.data(), text.size())) {
    const int written = errno;
    close(fd);
    errno = written;
    return fail("cannot write");
  }
  if (fchmod(fd, 0644) != 0 || fsync(fd) != 0) {
    close(fd);
    return fail("cannot flush");
  }
  if (close(fd) != 0) return fail("cannot close");
  if (std::rename(temp.c_str(), path.c_str()) != 0) return fail("cannot replace");
  // The rename itself reaches the disk with the folder.
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}
