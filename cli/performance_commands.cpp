// vellumar-cli performance: a portfolio's value over time, its time- and money-weighted returns and its
// realized gains by year, from the positions and the service's daily history.
#include <sstream>

#include "cli/base_conversion.h"
#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "cli/db_session.h"
#include "cli/displayed_number.h"
#include "cli/json_writer.h"
#include "cli/progress.h"
#include "portfolio/database/vl_database_reads.h"
#include "portfolio/performance/history_close_source.h"
#include "portfolio/performance/performance_run.h"
#include "portfolio/performance/performance_texts.h"
#include "portfolio/performance/split_warnings.h"
#include "portfolio/records/vl_portfolio_item.h"

namespace {

std::string JsonRate(const std::optional<double>& rate) {
  return rate ? JsonNumberText(*rate) : "null";
}
std::string JsonMoney(int64_t cents) {
  return JsonNumberText(static_cast<double>(cents) / 100.0);
}

// A portfolio with income records gives the price-only rate and its income by year as well; one without
// any prints what it always printed.
void PrintJson(std::ostream& out, const std::string& portfolio, const PerformanceFigures& f, int skipped,
               bool withIncome) {
  out << "{\"portfolio\":" << JsonString(portfolio)
      << ",\"from\":" << (f.fromDay ? JsonString(IsoDayText(*f.fromDay)) : "null")
      << ",\"to\":" << JsonString(IsoDayText(f.toDay)) << ",\"ttwror\":" << JsonRate(f.ttwror)
      << ",\"ttwrorAnnualized\":" << JsonRate(f.ttwrorAnnualized) << ",\"irr\":" << JsonRate(f.irr);
  if (withIncome) out << ",\"ttwrorPrice\":" << JsonRate(f.ttwrorPrice);
  out << ",\"realizedGains\":[";
  for (size_t i = 0; i < f.realizedGains.size(); ++i) {
    out << (i ? "," : "") << "{\"year\":" << f.realizedGains[i].year
        << ",\"gain\":" << JsonMoney(f.realizedGains[i].gainCents) << "}";
  }
  out << "]";
  if (withIncome) {
    out << ",\"income\":[";
    for (size_t i = 0; i < f.income.size(); ++i) {
      const YearIncome& y = f.income[i];
      out << (i ? "," : "") << "{\"year\":" << y.year << ",\"gross\":" << JsonMoney(y.grossCents)
          << ",\"withholding\":" << JsonMoney(y.withholdingCents) << ",\"fees\":" << JsonMoney(y.feesCents)
          << ",\"net\":" << JsonMoney(y.netCents) << "}";
    }
    out << "]";
  }
  out << ",\"skipped\":" << skipped << ",\"series\":[";
  for (size_t i = 0; i < f.series.size(); ++i) {
    const PerformancePoint& p = f.series[i];
    out << (i ? ",\n" : "\n") << "{\"date\":" << JsonString(IsoDayText(p.day))
        << ",\"value\":" << JsonMoney(p.valueCents) << ",\"invested\":" << JsonMoney(p.investedCents) << "}";
  }
  out << "]}\n";
}

// The figures, then the realized gains by year, then (with income) the income by year, then (with
// --series) the daily values: tables each with its header line, a blank line between them. The price-only
// rate and the income table appear for a portfolio with income records.
void PrintTables(std::ostream& out, const std::string& portfolio, const PerformanceFigures& f, int skipped,
                 bool series, bool withIncome) {
  out << "portfolio\tfrom\tto\tttwror\tttwrorAnnualized\tirr\tskipped" << (withIncome ? "\tttwrorPrice" : "")
      << "\n"
      << portfolio << "\t" << (f.fromDay ? IsoDayText(*f.fromDay) : "") << "\t" << IsoDayText(f.toDay) << "\t"
      << RateText(f.ttwror) << "\t" << RateText(f.ttwrorAnnualized) << "\t" << RateText(f.irr) << "\t"
      << skipped;
  if (withIncome) out << "\t" << RateText(f.ttwrorPrice);
  out << "\n\nyear\trealizedGain\n";
  for (const YearGain& g : f.realizedGains) out << g.year << "\t" << MoneyText(g.gainCents) << "\n";
  if (withIncome) {
    out << "\nyear\tgross\twithholding\tfees\tnet\n";
    for (const YearIncome& y : f.income) {
      out << y.year << "\t" << MoneyText(y.grossCents) << "\t" << MoneyText(y.withholdingCents) << "\t"
          << MoneyText(y.feesCents) << "\t" << MoneyText(y.netCents) << "\n";
    }
  }
  if (!series) return;
  out << "\ndate\tvalue\tinvested\n";
  for (const PerformancePoint& p : f.series) {
    out << IsoDayText(p.day) << "\t" << MoneyText(p.valueCents) << "\t" << MoneyText(p.investedCents) << "\n";
  }
}

// Exit code 6 with the reason when the history cannot give the figures; 1 when the service failed.
int Refuse(CliIo& io, const PerformanceOutcome& outcome) {
  switch (outcome.status) {
    case PerformanceStatus::NoHistory:
      PrintError(
          io.err, io.command,
          "the market-data service has no history for \"" + outcome.symbol + "\"; no figures are given");
      return kExitUnknownSymbol;
    case PerformanceStatus::NoClose:
      PrintError(io.err, io.command,
                 "the history of \"" + outcome.symbol + "\" has no close on or before " +
                     IsoDayText(outcome.day) + ", when it was held; no figures are given");
      return kExitUnknownSymbol;
    case PerformanceStatus::TooLarge:
      return Failed(io, "the amounts are too large to add up; no figures are given");
    case PerformanceStatus::NoRate:
      PrintError(io.err, io.command, outcome.symbol + "; no figures are given");
      return kExitFailed;
    case PerformanceStatus::Unreachable:
    case PerformanceStatus::Failed:
      return FailedFetch(
          io, "cannot get the price history of \"" + outcome.symbol + "\" from the market-data service",
          outcome.request.failure);
    case PerformanceStatus::Cancelled:
    case PerformanceStatus::Ok:
      break;
  }
  return Failed(io, "stopped before every history had arrived");
}

int RunPerformanceCommand(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 1) return Usage(io, "performance", "give the PORTFOLIO (id or name)");
  PerformanceSpan span;
  span.to = TodayDayNumber();
  int64_t day = 0;
  if (args.HasOption("to")) {
    if (!ParseIsoDay(args.Option("to"), &day))
      return Usage(io, "performance", "--to takes a date YYYY-MM-DD");
    // As every other date: no closes exist after today, and a span into the future would only shrink rates.
    if (day > span.to) {
      PrintError(io.err, io.command,
                 "the date " + args.Option("to") + " is after today (" + IsoDayText(span.to) + ")");
      return kExitRefused;
    }
    span.to = day;
  }
  if (args.HasOption("from")) {
    if (!ParseIsoDay(args.Option("from"), &day))
      return Usage(io, "performance", "--from takes a date YYYY-MM-DD");
    if (day > span.to) return Usage(io, "performance", "--from must not be after --to (default today)");
    span.from = day;
  }

  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t portfolioId = s.FindPortfolio(args.positional[0], io);
  if (!portfolioId) return kExitFailed;
  if (int rc = PrepareBaseConversion(args, io, "performance", s, portfolioId); rc != kExitOk) return rc;
  VLPortfolioItem portfolio;
  PerformanceLots lots;
  if (VLResult code = s.Db().GetPortfolio(s.Conn(), portfolioId, portfolio); code != VLResult::Ok) {
    return Failed(io, DatabaseCodeText(code));
  }
  if (VLResult code = ReadPortfolioLots(s.Db(), s.Conn(), portfolioId, &lots); code != VLResult::Ok) {
    return Failed(io, DatabaseCodeText(code));
  }
  if (lots.cashAndMargin > 0) {
    Warn(io, std::to_string(lots.cashAndMargin) + " cash and margin position(s) are left out");
  }
  if (lots.skipped > 0) {
    Warn(io, std::to_string(lots.skipped) +
                 " stock position(s) skipped: no purchase date, or sold without a sale date");
  }
  if (lots.currencies.size() > 1 && lots.baseCurrency.empty()) {
    std::string names;
    for (const std::string& c : lots.currencies) names += (names.empty() ? "" : ", ") + c;
    Warn(io, "the securities trade in more than one currency (" + names +
                 "); their amounts are added as they are, without conversion");
  }

  if (!lots.lots.empty() && io.startService) io.startService();
  CachedCloseSource source(std::make_unique<HistoryCloseSource>());
  ProgressLine line(io.progress);
  const PerformanceOutcome outcome =
      RunPerformance(lots, span, source, [&](int done, int total, const std::string& symbol) {
        if (!symbol.empty()) line.Show(ProgressText("performance", "history", done + 1, total, symbol));
        return true;
      });
  line.Finish();
  if (outcome.status != PerformanceStatus::Ok) return Refuse(io, outcome);
  ServiceSplitSource splits;
  for (const UnrecordedSplit& split : FindUnrecordedSplits(lots, span.to, splits)) {
    Warn(io,
         "the market-data service knows the split " + UnrecordedSplitText(split) +
             ", which is not recorded: the shares held before it are valued at prices of the other shares "
             "(record it with split or fetch-splits --apply)");
  }
  if (args.Has("json")) {
    PrintJson(io.out, portfolio.name, outcome.figures, lots.skipped, !lots.incomes.empty());
  } else {
    PrintTables(io.out, portfolio.name, outcome.figures, lots.skipped, args.Has("series"),
                !lots.incomes.empty());
  }
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> PerformanceCommands() {
  return {
      {"performance",
       "PORTFOLIO [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--series] [--base-currency CODE]",
       {"db", "from", "to", "base-currency"},
       {"series"},
       RunPerformanceCommand},
  };
}
