#include "framework/memory_budget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <string>

namespace {

constexpr uint64_t kUnknown = std::numeric_limits<uint64_t>::max();
uint64_t testAnswer = 0;

// The "MemAvailable:" line of /proc/meminfo, in bytes.
uint64_t SystemAvailable() {
  std::ifstream in("/proc/meminfo");
  std::string key;
  uint64_t kilobytes = 0;
  std::string unit;
  while (in >> key >> kilobytes >> unit) {
    if (key == "MemAvailable:") return kilobytes * 1024;
  }
  return kUnknown;
}

// Room under a resource limit, given what the process uses of it now.
uint64_t RoomUnder(int resource, uint64_t used) {
  struct rlimit limit {};
  if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnknown;
  return limit.rlim_cur > used ? limit.rlim_cur - used : 0;
}

// The process's virtual size and data size from /proc/self/statm, in bytes.
void ProcessSizes(uint64_t& virtualBytes, uint64_t& dataBytes) {
  std::ifstream in("/proc/self/statm");
  uint64_t size = 0, resident = 0, shared = 0, text = 0, lib = 0, data = 0;
  in >> size >> resident >> shared >> text >> lib >> data;
  const auto page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
  virtualBytes = size * page;
  dataBytes = data * page;
}

// A number from a control-group file; kUnknown for "max", a missing file or anything else.
uint64_t ReadCgroupNumber(const std::string& path) {
  std::ifstream in(path);
  uint64_t value = 0;
  return (in >> value) ? value : kUnknown;
}

// Room under the memory limit of the process's control group (version 2).
uint64_t CgroupRoom() {
  std::ifstream in("/proc/self/cgroup");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("0::", 0) != 0) continue;
    const std::string folder = "/sys/fs/cgroup" + line.substr(3);
    const uint64_t max = ReadCgroupNumber(folder + "/memory.max");
    const uint64_t current = ReadCgroupNumber(folder + "/memory.current");
    if (max == kUnknown || current == kUnknown) return kUnknown;
    return max > current ? max - current : 0;
  }
  return kUnknown;
}

}  // namespace

uint64_t AvailableMemoryBytes() {
  if (testAnswer != 0) return testAnswer;
  uint64_t virtualBytes = 0, dataBytes = 0;
  ProcessSizes(virtualBytes, dataBytes);
  return std::min({SystemAvailable(), RoomUnder(RLIMIT_AS, virtualBytes), RoomUnder(RLIMIT_DATA, dataBytes),
                   CgroupRoom()});
}

void SetAvailableMemoryForTesting(uint64_t bytes) {
  testAnswer = bytes;
}
