#pragma once
#include <string>

// Why a file operation failed, in words a person can act on: what was being done, to which file or folder,
// and the system's reason (errno). Carried from the core to the messages of the command line and the window.
struct FileError {
  std::string action;   // "open", "read", "write", "flush", "replace", "create a file in", ...
  std::string path;     // the file or folder concerned
  int errorNumber = 0;  // errno; 0 when the system did not fail (then `reason` says why)
  std::string reason;   // the cause when it is not the system's

  bool IsSet() const { return !action.empty(); }
  // The system's text of errorNumber ("No space left on device"), else `reason`.
  std::string Cause() const;
  // "cannot write /home/u/Vellumar.db.Ab12Cd: No space left on device"
  std::string Describe() const;
  // Takes errno as it is at the call.
  static FileError FromErrno(std::string action, std::string path);
  static FileError WithReason(std::string action, std::string path, std::string reason);
};
