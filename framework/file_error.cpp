#include "framework/file_error.h"

#include <cerrno>
#include <cstring>

std::string FileError::Cause() const {
  if (errorNumber == 0) return reason;
  char buffer[256];
  // The GNU strerror_r returns the text, which need not be in `buffer`.
  return ::strerror_r(errorNumber, buffer, sizeof buffer);
}

std::string FileError::Describe() const {
  if (!IsSet()) return {};
  const std::string cause = Cause();
  return "cannot " + action + " " + path + (cause.empty() ? std::string() : ": " + cause);
}

FileError FileError::FromErrno(std::string action, std::string path) {
  const int error = errno;
  return FileError{std::move(action), std::move(path), error, {}};
}

FileError FileError::WithReason(std::string action, std::string path, std::string reason) {
  return FileError{std::move(action), std::move(path), 0, std::move(reason)};
}
