#pragma once
// File operations on a disk with no space left: every write fails with ENOSPC, as a full disk answers.
#include <cerrno>
#include <cstddef>

#include "framework/save_file_ops.h"

class FullDiskOps : public SaveFileOps {
 public:
  ssize_t Write(int, const void*, size_t) override {
    errno = ENOSPC;
    return -1;
  }
};
