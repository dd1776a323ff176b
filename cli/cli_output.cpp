#include "cli/cli_output.h"

#include "cli/command_help.h"
#include "cli/json_writer.h"
#include "cli/tsv_writer.h"

void PrintList(const CliArgs& args, CliIo& io, const std::vector<std::string>& columns,
               const std::vector<OutputRecord>& records, const std::vector<std::string>& headers) {
  if (args.Has("json")) {
    WriteJson(io.out, records);
  } else {
    WriteTsv(io.out, columns, records, headers);
  }
}

void PrintOne(const CliArgs& args, CliIo& io, const std::vector<std::string>& columns, const OutputRecord& record) {
  if (args.Has("json")) {
    WriteJsonObject(io.out, record);
  } else {
    WriteTsv(io.out, columns, {record});
  }
}

int Usage(CliIo& io, const char* command, const std::string& problem) {
  io.err << "vellumar-cli " << command << ": " << problem << "\n";
  PrintUsageLine(io.err, command);
  return kExitUsage;
}

int Failed(CliIo& io, const std::string& errorText) {
  io.err << errorText << "\n";
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
