#pragma once
#include <cstdint>
#include <iosfwd>

// What Open, Save, Create, the change bracket and WriteBack answer. The numbers of a failed load are those
// the command line prints ("load code 2").
// (clang-format 14 takes the attribute for the start of an initializer.)
// clang-format off
enum class [[nodiscard]] DbResult : int32_t {
  Ok = 0,
  Failed = 1,
  TypeMismatch = 2,   // load: the file's type name or a record's type key is not the store's
  VersionTooNew = 3,  // load
  Exists = 4,         // Create: a file is already there
  Missing = 5,        // Open: no file at the path
  Busy = 6,           // another process kept the file locked for the whole wait
  TooLarge = 7,       // load: the store would not fit in the memory available; nothing was read
  ReadOnly = 8,       // a change refused: the file, or the folder a save writes in, may not be written
};
// clang-format on
// The enumerator's name ("VersionTooNew"), for messages and test output.
std::ostream& operator<<(std::ostream& out, DbResult result);
