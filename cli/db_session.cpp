#include "cli/db_session.h"

#include <cctype>
#include <filesystem>

#include "cli/cli_output.h"
#include "framework/app_paths.h"
#include "framework/file_util.h"
#include "framework/memory_budget.h"
#include "framework/text_util.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/records/vl_portfolio_item.h"

namespace {

// The tool is no window: what the database posts goes nowhere.
class NoWindow : public IVLCommandWindow {
 public:
  void PostCommand(uint32_t) override {}
};

constexpr const char* kBusyText =
    "another program is changing the database and kept it locked; nothing was changed, try again";

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

std::string DatabasePathOption(const CliArgs& args) {
  if (args.HasOption("db")) return args.Option("db");
  // The default follows the application: beside the program, or in the user's data folder (made now).
  const AppPaths paths = GetAppPaths();
  std::string failedFolder;
  // A folder that cannot be made fails at the file, with its path.
  (void)EnsureAppFolders(paths, failedFolder);
  return paths.DatabasePath();
}

bool DbSession::Open(const CliArgs& args, CliIo& io) {
  const std::string path = DatabasePathOption(args);
  db = std::make_unique<VLDatabase>(path);
  window = std::make_shared<NoWindow>();
  db->SetJournalProgram("vellumar-cli");
  conn = db->Connect(window, 1, 2, 3);
  if (conn) return true;
  const DbResult code = db->GetLastOpenCode();
  if (code == DbResult::Missing) {
    PrintError(io.err, io.command,
               "no database file at " + path + " (create one with: vellumar-cli init --db " + path + ")");
  } else if (code == DbResult::Busy) {
    PrintError(io.err, io.command, "cannot open " + path + ": " + kBusyText);
  } else if (code == DbResult::TooLarge) {
    std::error_code error;
    const uint64_t size = std::filesystem::file_size(path, error);
    const uint64_t megabytes = error ? 0 : size >> 20;
    PrintError(io.err, io.command,
               "cannot open " + path + ": the database is too large for the memory available (its " +
                   std::to_string(megabytes) + " MB need about " +
                   std::to_string(megabytes * kMemoryPerStoredByte) + " MB, " +
                   std::to_string(AvailableMemoryBytes() >> 20) + " MB are available)");
  } else if (code == DbResult::VersionTooNew) {
    PrintError(io.err, io.command,
               "cannot open " + path +
                   ": it was written by a newer version of Vellumar, which this version cannot read; nothing "
                   "was changed");
  } else if (code == DbResult::Failed && !FileExists(path)) {
    PrintError(io.err, io.command, "cannot open " + path);
  } else if (db->GetLastFileError().errorNumber != 0) {
    // The system refused the file (no permission to read it): that is no damage, and says why.
    PrintError(io.err, io.command, db->GetLastFileError().Describe());
  } else {
    PrintError(
        io.err, io.command,
        "An error occurred while opening the Vellumar\ndatabase.  The database file may be corrupt.\n(" +
            path + ", load code " + std::to_string(static_cast<int32_t>(code)) + ")");
  }
  return false;
}

uint32_t DbSession::FindPortfolio(const std::string& idOrName, CliIo& io) {
  VLPortfolioItemList list;
  if (VLResult code = db->GetPortfolios(conn, list); code != VLResult::Ok) {
    PrintError(io.err, io.command, "cannot list the portfolios: " + DatabaseCodeText(code));
    return 0;
  }
  // Names are stored trimmed (add-portfolio trims them), so a name is looked up trimmed as well.
  const std::string wanted(TrimBlanks(idOrName));
  if (AllDigits(wanted)) {
    for (const auto& p : list) {
      if (std::to_string(p->id) == wanted) return p->id;
    }
  }
  for (const auto& p : list) {
    if (EqualNoCase(p->name, wanted)) return p->id;
  }
  PrintError(io.err, io.command, "no portfolio \"" + idOrName + "\"");
  return 0;
}

void DbSession::WarnIfNotJournaled(CliIo& io) {
  if (!db->LastChangeNotJournaled()) return;
  const FileError& error = db->GetLastJournalError();
  Warn(io, "the change was saved, but the change journal could not record it (" + error.Describe() +
               "), so it cannot be undone");
}

std::string DatabaseCodeText(VLResult code) {
  switch (code) {
    case VLResult::Failed:
      return "the change was refused or could not be saved";
    case VLResult::NameClash:
      return "a portfolio of that name already exists";
    case VLResult::NotFound:
      return "no such portfolio or position";
    case VLResult::AlreadySold:
      return "the position is already sold";
    case VLResult::NotSold:
      return "the position is not sold";
    case VLResult::Busy:
      return kBusyText;
    case VLResult::StoreFull:
      return "the database holds as many portfolios, positions and quotes as its file can number";
    case VLResult::ReadOnly:
      return "the database may only be read; nothing was changed";
    case VLResult::NothingToUndo:
      return "there is nothing to undo";
    case VLResult::NothingToRedo:
      return "there is nothing to redo";
    case VLResult::JournalMismatch:
      return "the database no longer matches its change journal (it was replaced, for example by a backup, "
             "or changed by a program that keeps no journal); nothing was changed";
    case VLResult::JournalUnreadable:
      return "the change journal cannot be read; nothing was changed";
    default:
      return "failed with code " + std::to_string(static_cast<int32_t>(code));
  }
}

std::string DatabaseCodeText(VLResult code, const VLDatabase& db) {
  if (code == VLResult::ReadOnly) {
    return "the database may only be read (" + db.GetReadOnlyCause().Describe() + "); nothing was changed";
  }
  if (code == VLResult::JournalUnreadable && db.GetLastJournalError().IsSet()) {
    return "the change journal cannot be read (" + db.GetLastJournalError().Describe() +
           "); nothing was changed";
  }
  const FileError& error = db.GetLastFileError();
  if (code != VLResult::Failed || !error.IsSet()) return DatabaseCodeText(code);
  if (db.IsFileLost()) {
    return error.Describe() +
           " (the database file was deleted or replaced while this command ran); nothing "
           "was changed";
  }
  return "the change could not be saved: " + error.Describe() + "; the file was left as it was";
}
