// vellumar-cli changes, undo and redo: the change journal beside the database.
#include <ctime>

#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "cli/db_session.h"
#include "cli/value_parsers.h"

namespace {

const std::vector<std::string> kChangeColumns = {"sequence", "time", "program", "text", "undone"};

// A moment as the local date and time, "2024-03-15 14:03:05".
std::string FormatMoment(int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// What was ignored at the end of the journal, when anything was.
void WarnDamage(CliIo& io, const VLJournalState& state, const std::string& path) {
  if (state.damagedBytes == 0) return;
  const char* why = state.damage == JournalFrameResult::Torn     ? "an entry that was not written to its end"
                    : state.damage == JournalFrameResult::TooNew ? "written by a newer version of Vellumar"
                                                                 : "damaged";
  Warn(io, "the last " + std::to_string(state.damagedBytes) + " bytes of the journal " + path + " are " +
               (state.damage == JournalFrameResult::Damaged ? std::string(why)
                                                            : std::string("not read: ") + why) +
               "; they were ignored");
}

int RunChanges(const CliArgs& args, CliIo& io) {
  if (!args.positional.empty()) return Usage(io, "changes", "takes no arguments but its options");
  int limit = 0;
  if (args.HasOption("limit") && !ParseIntArg(args.Option("limit"), 1, 1000000, &limit)) {
    return Usage(io, "changes", "--limit needs a whole number from 1");
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  std::vector<VLJournalListing> list;
  VLJournalState state;
  const VLResult code = s.Db().GetChanges(s.Conn(), static_cast<size_t>(limit), list, state);
  // Listing changes nothing: its failure says only what could not be read.
  if (code == VLResult::JournalUnreadable) {
    const FileError& why = s.Db().GetLastJournalError();
    return Failed(io, "the change journal cannot be read" + (why.IsSet() ? " (" + why.Describe() + ")" : ""));
  }
  if (code != VLResult::Ok) return Failed(io, DatabaseCodeText(code, s.Db()));
  WarnDamage(io, state, s.Db().GetJournalPath());
  std::vector<OutputRecord> records;
  records.reserve(list.size());
  for (const VLJournalListing& e : list) {
    records.emplace_back()
        .AddNumber("sequence", static_cast<int64_t>(e.sequence))
        .Add("time", FormatMoment(e.time))
        .Add("program", e.program)
        .Add("text", e.text)
        .AddBool("undone", e.undone);
  }
  PrintList(args, io, kChangeColumns, records);
  return kExitOk;
}

// Undo (true) or redo (false), and what it did: the entry written for it, the entry it undid or redid, and
// that entry's text.
int RunStep(const CliArgs& args, CliIo& io, bool undo) {
  const char* command = undo ? "undo" : "redo";
  if (!args.positional.empty()) return Usage(io, command, "takes no arguments but its options");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  VLJournalStep step;
  const VLResult code = undo ? s.Db().Undo(s.Conn(), step) : s.Db().Redo(s.Conn(), step);
  if (code == VLResult::NothingToUndo || code == VLResult::NothingToRedo) {
    PrintError(io.err, command, DatabaseCodeText(code));
    return kExitJournalRefused;
  }
  if (code == VLResult::JournalMismatch) {
    PrintError(io.err, command,
               std::string("cannot ") + command + " \"" + step.text + "\": " + DatabaseCodeText(code));
    return kExitJournalRefused;
  }
  if (code != VLResult::Ok) return Failed(io, DatabaseCodeText(code, s.Db()));
  s.WarnIfNotJournaled(io);
  const std::string target = undo ? "undid" : "redid";
  PrintOne(args, io, {"sequence", target, "text"},
           OutputRecord()
               .AddNumber("sequence", static_cast<int64_t>(step.sequence))
               .AddNumber(target, static_cast<int64_t>(step.target))
               .Add("text", step.text));
  return kExitOk;
}

int RunUndo(const CliArgs& args, CliIo& io) {
  return RunStep(args, io, true);
}

int RunRedo(const CliArgs& args, CliIo& io) {
  return RunStep(args, io, false);
}

}  // namespace

std::vector<CliCommand> JournalCommands() {
  return {
      {"changes", "[--limit N]", {"db", "limit"}, {}, RunChanges},
      {"undo", "", {"db"}, {}, RunUndo},
      {"redo", "", {"db"}, {}, RunRedo},
  };
}
