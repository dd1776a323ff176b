#include "cli/checked_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "framework/full_io.h"

bool CheckedOutputBuf::WriteAll(const char* data, size_t count) {
  if (WriteFully(fd, data, count)) return true;
  if (error == 0) error = errno;
  return false;
}

bool CheckedOutputBuf::Drain() {
  const size_t pending = static_cast<size_t>(pptr() - pbase());
  setp(buffer.data(), buffer.data() + buffer.size());
  // After a failure nothing more is written: what follows a gap would only mislead.
  return error == 0 && WriteAll(buffer.data(), pending);
}

CheckedOutputBuf::int_type CheckedOutputBuf::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize CheckedOutputBuf::xsputn(const char* data, std::streamsize count) {
  const auto room = static_cast<std::streamsize>(epptr() - pptr());
  if (count <= room) {
    std::memcpy(pptr(), data, static_cast<size_t>(count));
    pbump(static_cast<int>(count));
    return count;
  }
  if (!Drain() || !WriteAll(data, static_cast<size_t>(count))) return 0;
  return count;
}

int CheckedOutputBuf::sync() {
  return Drain() ? 0 : -1;
}

int FinishOutput(std::ostream& out, std::ostream& err, const std::string& command, int code) {
  out.flush();
  if (out.good()) return code;
  const auto* checked = dynamic_cast<const CheckedOutputBuf*>(out.rdbuf());
  const int error = checked ? checked->Error() : 0;
  const std::string cause = error != 0 ? std::strerror(error) : "the output stream failed";
  PrintError(
      err, command,
      "cannot write to standard output: " + cause +
          (code == kExitOk ? " (the command itself was carried out; only its output is missing)" : ""));
  return code == kExitOk ? kExitFailed : code;
}
