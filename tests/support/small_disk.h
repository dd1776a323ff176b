#pragma once
// A small file system of its own (tmpfs) for tests of a full disk, mounted where the suite may mount (it runs
// as root on the build machines) and removed at scope end. Where mounting is not allowed, Mounted() is false
// and the test says so and skips; the same failures are also covered by injected write errors.
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

class SmallDisk {
 public:
  explicit SmallDisk(const char* size = "256k") {
    if (folder.Path().empty()) return;
    const std::string options = std::string("size=") + size + ",mode=0777";
    mounted = ::mount("tmpfs", folder.Path().c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted) ::umount2(folder.Path().c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted; }
  // Turns the disk into a read-only medium: every write is refused (EROFS), the superuser's too.
  bool MakeReadOnly() const {
    return mounted && ::mount(nullptr, folder.Path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  std::string File(const std::string& name) const { return folder.File(name); }
  const std::string& Path() const { return folder.Path(); }

  // Fills what is left of the disk with one file, so the next write that needs a block fails (ENOSPC).
  void Fill() const {
    std::FILE* filler = std::fopen(File("filler").c_str(), "wb");
    if (!filler) return;
    static const char block[4096] = {};
    while (std::fwrite(block, 1, sizeof block, filler) == sizeof block && std::fflush(filler) == 0) {
    }
    std::fclose(filler);
  }

 private:
  TempFolder folder{"vl_small_disk"};
  bool mounted = false;
};
