#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "cli/command_table.h"
#include "portfolio/database/vl_database.h"

// A database opened for one command: the file named by --db (default: the application's database, see
// framework/app_paths.h),
// loaded through a connection of its own.
class DbSession {
 public:
  // False, with the message printed, when the file cannot be loaded.
  [[nodiscard]] bool Open(const CliArgs& args, CliIo& io);
  VLDatabase& Db() { return *db; }
  VLDatabaseConn* Conn() { return conn; }
  // A portfolio named by its id or by its name (any letter case); 0, with the message printed, when none.
  uint32_t FindPortfolio(const std::string& idOrName, CliIo& io);
  // After a change that succeeded: warns when its entry could not be written to the change journal (the
  // change is saved, but cannot be undone).
  void WarnIfNotJournaled(CliIo& io);

 private:
  std::unique_ptr<VLDatabase> db;
  std::shared_ptr<IVLCommandWindow> window;
  VLDatabaseConn* conn = nullptr;
};

std::string DatabasePathOption(const CliArgs& args);
// What a database code means, for the error stream.
std::string DatabaseCodeText(VLResult code);
// The same for a change that `db` refused, with the file and the system's reason when the file system was
// the cause (read-only, a failed save, the file deleted or replaced).
std::string DatabaseCodeText(VLResult code, const VLDatabase& db);
