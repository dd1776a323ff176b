#include "cli/cli_output.h"

#include "cli/command_help.h"
#include "cli/json_writer.h"
#include "cli/tsv_writer.h"
#include "framework/visible_text.h"

void PrintList(const CliArgs& args, CliIo& io, const std::vector<std::string>& columns,
               const std::vector<OutputRecord>& records, const std::vector<std::string>& headers) {
  if (args.Has("json")) {
    WriteJson(io.out, records);
  } else {
    WriteTsv(io.out, columns, records, headers);
  }
}

ListPrinter::ListPrinter(const CliArgs& args, CliIo& io, std::vector<std::string> columns,
                         std::vector<std::string> headers)
    : io(io), json(args.Has("json")), columns(std::move(columns)), headers(std::move(headers)) {}

void ListPrinter::Print(const OutputRecord& record) {
  if (json) {
    WriteJsonArrayItem(io.out, record, !started);
  } else {
    if (!started) WriteTsvHeader(io.out, columns, headers);
    WriteTsvLine(io.out, columns, record);
  }
  started = true;
}

void ListPrinter::Finish() {
  if (json) {
    WriteJsonArrayEnd(io.out, !started);
  } else if (!started) {
    WriteTsvHeader(io.out, columns, headers);
  }
}

void PrintOne(const CliArgs& args, CliIo& io, const std::vector<std::string>& columns,
              const OutputRecord& record) {
  if (args.Has("json")) {
    WriteJsonObject(io.out, record);
  } else {
    WriteTsv(io.out, columns, {record});
  }
}

void PrintError(std::ostream& err, const std::string& command, const std::string& text) {
  // Messages quote file names, file content and service answers: nothing of those may steer the terminal.
  err << "vellumar-cli" << (command.empty() ? "" : " ") << command << ": " << VisibleText(text, true) << "\n";
}

void Warn(CliIo& io, const std::string& text) {
  PrintError(io.err, io.command, "warning: " + text);
}

int Usage(CliIo& io, const char* command, const std::string& problem) {
  PrintError(io.err, command, problem);
  PrintUsageLine(io.err, command);
  return kExitUsage;
}

int Failed(CliIo& io, const std::string& errorText) {
  PrintError(io.err, io.command, errorText);
  return kExitFailed;
}

std::string FailureLines(const FetchFailure& failure) {
  if (!failure.IsSet()) return {};
  std::string text = "\n" + failure.Describe();
  if (failure.IsLocalServiceDown()) {
    const size_t colon = failure.host.rfind(':');
    const std::string port = colon == std::string::npos ? "80" : failure.host.substr(colon + 1);
    text += "\nThe local market-data service does not answer at " + failure.host +
            ". Start it with: vellumar-marketd --port " + port;
  }
  return text;
}

int FailedFetch(CliIo& io, const std::string& errorText, const FetchFailure& failure) {
  return Failed(io, errorText + FailureLines(failure));
}
