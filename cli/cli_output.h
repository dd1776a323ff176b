#pragma once
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/output_record.h"
#include "marketdata/fetch_failure.h"

// Prints a list: a JSON array with --json, else a TSV table with a header line (`headers` when given, else
// the field names of `columns`).
void PrintList(const CliArgs& args, CliIo& io, const std::vector<std::string>& columns,
               const std::vector<OutputRecord>& records, const std::vector<std::string>& headers = {});
// PrintList one record at a time, for lists too long to hold as records: the header (or the array's
// opening) with the first record, then each record, then Finish.
class ListPrinter {
 public:
  ListPrinter(const CliArgs& args, CliIo& io, std::vector<std::string> columns,
              std::vector<std::string> headers = {});
  void Print(const OutputRecord& record);
  void Finish();

 private:
  CliIo& io;
  bool json;
  std::vector<std::string> columns;
  std::vector<std::string> headers;
  bool started = false;
};
// Prints one result: a JSON object with --json, else a header line and one row.
void PrintOne(const CliArgs& args, CliIo& io, const std::vector<std::string>& columns,
              const OutputRecord& record);
// Every error and warning of every command goes through here: "vellumar-cli COMMAND: TEXT" on `err`, or
// "vellumar-cli: TEXT" when no command is known (yet).
void PrintError(std::ostream& err, const std::string& command, const std::string& text);
// "vellumar-cli COMMAND: warning: TEXT"; the command goes on.
void Warn(CliIo& io, const std::string& text);
// "vellumar-cli COMMAND: PROBLEM" on the error stream; exit code 2.
[[nodiscard]] int Usage(CliIo& io, const char* command, const std::string& problem);
// "vellumar-cli COMMAND: ERRORTEXT" on the error stream; exit code 1.
[[nodiscard]] int Failed(CliIo& io, const std::string& errorText);
// The error text, then why the request failed and, when the local market-data service did not answer, how
// to start it; exit code 1.
[[nodiscard]] int FailedFetch(CliIo& io, const std::string& errorText, const FetchFailure& failure);
// The lines FailedFetch adds to the error text ("" when the failure is not known).
std::string FailureLines(const FetchFailure& failure);
