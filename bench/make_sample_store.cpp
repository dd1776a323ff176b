// vellumar_sample_store PATH POSITIONS [QUOTES [PORTFOLIOS]] [--ties] [--mixed] [--fractional]: writes a
// store of that size, as the application would have saved it, for timing the programs on large stores.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/sample_store.h"

int main(int argc, char** argv) {
  SampleStoreShape shape{1, 0, 2000, false, false};
  std::string path;
  int numbers = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--ties") {
      shape.ties = true;
    } else if (arg == "--mixed") {
      shape.mixed = true;
    } else if (arg == "--fractional") {
      shape.fractional = true;
    } else if (path.empty()) {
      path = arg;
    } else {
      const int value = std::atoi(arg.c_str());
      int* fields[] = {&shape.positions, &shape.quotes, &shape.portfolios};
      if (numbers < 3) *fields[numbers++] = value;
    }
  }
  if (path.empty() || numbers == 0) {
    std::fprintf(stderr,
                 "usage: vellumar_sample_store PATH POSITIONS [QUOTES [PORTFOLIOS]] [--ties] [--mixed] "
                 "[--fractional]\n");
    return 2;
  }
  if (!WriteSampleStore(path, shape)) {
    std::fprintf(stderr, "vellumar_sample_store: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
