// vellumar-cli fetch: asks the market-data service to fetch real prices for the symbols of a database.
#include "cli/command_table.h"

#include <algorithm>
#include <set>

#include "cli/cli_output.h"
#include "cli/db_session.h"
#include "cli/progress.h"
#include "cli/tsv_writer.h"
#include "marketdata/c_web_grab.h"
#include "marketdata/service_hosts.h"
#include "marketdata/url_encode.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"

namespace {

// The service tries each of its sources within their own deadlines; this bounds the wait for one symbol.
constexpr uint32_t kFetchTimeoutMs = 5 * 60 * 1000;

// Every symbol that a stock position of the database uses, held or sold, sorted.
bool DatabaseSymbols(DbSession& s, CliIo& io, std::set<std::string>& symbols) {
  VLPortfolioItemList portfolios;
  if (VLResult code = s.Db().GetPortfolios(s.Conn(), portfolios); code != VLResult::Ok) {
    (void)Failed(io, "" + DatabaseCodeText(code));  // prints; the caller exits with kExitFailed
    return false;
  }
  for (int p = 0; p < portfolios.GetCount(); ++p) {
    for (bool held : {true, false}) {
      VLHoldingItemList positions;
      if (VLResult code = s.Db().GetPositions(s.Conn(), portfolios.GetAt(p)->id, held, positions);
          code != VLResult::Ok) {
        (void)Failed(io, "" + DatabaseCodeText(code));  // prints; the caller exits with kExitFailed
        return false;
      }
      for (int i = 0; i < positions.GetCount(); ++i) {
        const auto* h = static_cast<const VLHoldingItem*>(positions.GetAt(i));
        if (h->GetKind() == kHoldingStock && !h->name.empty()) symbols.insert(h->name);
      }
    }
  }
  return true;
}

struct FetchResult {
  bool ok = false;
  std::string line;
};

FetchResult FetchOne(CWebGrab& grab, const std::string& symbol) {
  const ServiceHosts& hosts = GetServiceHosts();
  std::string body;
  // A fetch changes the service's files, so it is a POST (the service answers a GET with 405).
  const std::string url = "http://" + hosts.quoteCsvHost + "/vellumar/fetch?s=" + EncodeUrlValue(symbol);
  if (!grab.PostForm(url, "", body, hosts.agent, nullptr)) {
    const std::string why = grab.GetErrorText().empty() ? "the service does not answer" : grab.GetErrorText();
    return {false, symbol + ": " + why};
  }
  // The service answers one line; anything longer is cut so a wrong server cannot flood the terminal.
  std::string line = body.substr(0, std::min(body.find('\n'), size_t{300}));
  if (line.empty()) line = symbol + ": empty answer (status " + std::to_string(grab.GetStatusCode()) + ")";
  return {grab.GetStatusCode() == 200, line};
}

int RunFetch(const CliArgs& args, CliIo& io) {
  std::set<std::string> symbols(args.positional.begin(), args.positional.end());
  if (symbols.empty()) {
    DbSession s;
    if (!s.Open(args, io)) return kExitFailed;
    if (!DatabaseSymbols(s, io, symbols)) return kExitFailed;
    if (symbols.empty()) return Failed(io, "the database has no stock positions");
  }
  if (io.startService) io.startService();
  CWebGrab grab;
  grab.SetReceiveTimeout(kFetchTimeoutMs);
  if (!grab.Initialize(GetServiceHosts().agent, nullptr)) return Failed(io, "cannot start a transfer");
  const bool json = args.Has("json");
  std::vector<OutputRecord> records;
  bool allFetched = true;
  size_t done = 0;
  // Progress on the terminal only ("fetch: symbol 2 of 5, MSFT"); the results go to standard output.
  ProgressLine progress(io.progress);
  for (const std::string& symbol : symbols) {
    progress.Show(ProgressText("fetch", "symbol", static_cast<int>(done + 1),
                               static_cast<int>(symbols.size()), symbol));
    const FetchResult result = FetchOne(grab, symbol);
    progress.Finish();
    ++done;
    allFetched = allFetched && result.ok;
    if (json) {
      records.emplace_back()
          .Add("symbol", symbol)
          .Add("fetched", result.ok ? "yes" : "no")
          .Add("result", result.line);
      continue;
    }
    // One line per symbol as it finishes.
    io.out << "[" << done << "/" << symbols.size() << "] " << TerminalText(result.line) << "\n" << std::flush;
  }
  if (json) PrintList(args, io, {"symbol", "fetched", "result"}, records);
  return allFetched ? kExitOk : kExitFailed;
}

}  // namespace

std::vector<CliCommand> FetchCommands() {
  return {
      {"fetch", "[SYMBOL...] [--db PATH]", {"db"}, {}, RunFetch},
  };
}
