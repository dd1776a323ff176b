#pragma once
#include <array>
#include <ostream>
#include <streambuf>
#include <string>

// A stream buffer over a file descriptor (standard output) that remembers why a write failed, so that a
// command whose output was lost (a full disk, a closed pipe, /dev/full) can say so and exit with a failure
// instead of reporting success over an empty file.
class CheckedOutputBuf : public std::streambuf {
 public:
  explicit CheckedOutputBuf(int fd) : fd(fd) { setp(buffer.data(), buffer.data() + buffer.size()); }
  ~CheckedOutputBuf() override { (void)sync(); }
  CheckedOutputBuf(const CheckedOutputBuf&) = delete;
  CheckedOutputBuf& operator=(const CheckedOutputBuf&) = delete;

  // The errno of the first write that failed; 0 while none has.
  int Error() const { return error; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;
  std::streamsize xsputn(const char* data, std::streamsize count) override;

 private:
  bool Drain();
  bool WriteAll(const char* data, size_t count);

  int fd;
  int error = 0;
  std::array<char, 64 * 1024> buffer{};
};

// Flushes `out` and, when anything written to it was lost, prints why after "vellumar-cli COMMAND: " on
// `err`. Returns the exit code to use: `code` when the output is whole, else 1 (a failure) unless the
// command had already failed with a code of its own.
[[nodiscard]] int FinishOutput(std::ostream& out, std::ostream& err, const std::string& command, int code);
