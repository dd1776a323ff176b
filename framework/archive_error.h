#pragma once
#include <stdexcept>

// Raised inside the archive and its streams for a stream that ends early, an I/O error or a length that
// cannot be right. Never leaves Database::Open/Save: they turn it into Failed.
class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
