#include "cli/market_commands.h"

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>

#include "cli/cli_output.h"
#include "cli/progress.h"
#include "cli/value_parsers.h"
#include "marketdata/big_charts_chart_provider.h"
#include "marketdata/historical_price.h"
#include "marketdata/historical_price_provider.h"
#include "marketdata/market_time_provider.h"
#include "marketdata/news_item.h"
#include "marketdata/news_item_provider.h"
#include "marketdata/stock_info.h"
#include "marketdata/stock_info_provider.h"
#include "marketdata/symbol_finder.h"
#include "marketdata/yahoo_chart_provider.h"

// The quote fields --fields names ("lastTrade,change"), in its order; every field without it. False, with
// the problem, for a name that is no field.
static bool ChooseQuoteFields(const CliArgs& args, std::vector<const StockInfo::TextField*>* chosen,
                              std::string* problem) {
  const auto& all = StockInfo::TextFields();
  if (!args.HasOption("fields")) {
    for (const StockInfo::TextField& f : all) chosen->push_back(&f);
    return true;
  }
  std::string names;
  for (size_t i = 0; i < all.size(); ++i) names += std::string(i ? ", " : "") + all[i].fieldName;
  std::stringstream in(args.Option("fields"));
  for (std::string name; std::getline(in, name, ',');) {
    const auto it = std::find_if(all.begin(), all.end(), [&](const auto& f) { return name == f.fieldName; });
    if (it == all.end()) {
      *problem = "--fields: no field \"" + name + "\"; the fields are " + names;
      return false;
    }
    chosen->push_back(&*it);
  }
  if (chosen->empty())
    *problem = "--fields needs field names, such as symbol,lastTrade,change; the fields are " + names;
  return !chosen->empty();
}

static int RunQuote(const CliArgs& args, CliIo& io) {
  if (args.positional.empty()) return Usage(io, "quote", "give at least one symbol");
  std::vector<const StockInfo::TextField*> fields;
  if (std::string problem; !ChooseQuoteFields(args, &fields, &problem)) return Usage(io, "quote", problem);
  std::vector<StockInfo> infos(args.positional.size());
  std::vector<StockInfo*> list;
  for (size_t i = 0; i < infos.size(); ++i) {
    infos[i].symbol = args.positional[i];
    list.push_back(&infos[i]);
  }
  StockInfoProvider provider;
  provider.Fetch(list);
  if (provider.HasError()) return FailedFetch(io, provider.GetErrorText(), provider.GetFailure());
  std::vector<std::string> columns;
  for (const StockInfo::TextField* f : fields) columns.push_back(f->fieldName);
  std::vector<OutputRecord> records;
  int code = kExitOk;
  for (const StockInfo& info : infos) {
    if (!info.IsKnownSymbol()) {
      PrintError(io.err, io.command, "no such ticker symbol \"" + info.symbol + "\"");
      code = kExitFailed;
      continue;
    }
    OutputRecord& r = records.emplace_back();
    // The service writes its figures in English ("1234.5"), whatever the user's locale.
    for (const StockInfo::TextField* f : fields)
      r.AddText(f->fieldName, info.*f->member, NumberFormat::English());
  }
  if (!records.empty()) PrintList(args, io, columns, records);
  return code;
}

static int RunHistory(const CliArgs& args, CliIo& io) {
  const auto& p = args.positional;
  if (p.size() < 2 || p.size() > 3) return Usage(io, "history", "give SYMBOL YYYY-MM [YYYY-MM]");
  int startYear = 0, startMonth = 0, endYear = 0, endMonth = 0;
  if (!ParseYearMonth(p[1], &startYear, &startMonth) ||
      !ParseYearMonth(p.size() == 3 ? p[2] : p[1], &endYear, &endMonth)) {
    return Usage(io, "history", "months are written YYYY-MM");
  }
  HistoricalPriceProvider provider;
  HistoricalPriceProvider::Results rows;
  provider.Fetch(p[0], startMonth, startYear, endMonth, endYear, &rows);
  if (provider.HasError()) return FailedFetch(io, provider.GetErrorText(), provider.GetFailure());
  std::vector<OutputRecord> records;
  for (const auto& row : rows) {
    records.emplace_back()
        .Add("symbol", row->symbol)
        .Add("dateText", row->dateText)
        .AddNumber("date", row->date)
        .AddText("open", row->open, NumberFormat::English())
        .AddText("high", row->high, NumberFormat::English())
        .AddText("low", row->low, NumberFormat::English())
        .AddText("close", row->close, NumberFormat::English())
        .AddText("adjClose", row->adjClose, NumberFormat::English());
  }
  // The day's volume is read past by the parse (the price finder has no use for it), so it is not listed.
  PrintList(args, io, {"symbol", "dateText", "date", "open", "high", "low", "close", "adjClose"}, records);
  return kExitOk;
}

static int RunLookup(const CliArgs& args, CliIo& io) {
  static const std::map<std::string, int> kTypes = {{"stock", SymbolFinder::kStocks},
                                                    {"fund", SymbolFinder::kMutualFunds},
                                                    {"etf", SymbolFinder::kEtfs},
                                                    {"futures", SymbolFinder::kFutures},
                                                    {"index", SymbolFinder::kIndexes}};
  auto type = kTypes.find(args.Option("type", "stock"));
  if (type == kTypes.end()) return Usage(io, "lookup", "--type is one of stock, fund, etf, futures, index");
  const bool indexes = type->second == SymbolFinder::kIndexes;
  if (args.positional.size() > 1 || (!indexes && args.positional.empty())) {
    return Usage(io, "lookup", "give one search TEXT (quote it when it has blanks)");
  }
  SymbolFinder finder;
  SymbolFinder::Results results;
  ProgressLine line(io.progress);
  int pages = 0;
  ProgressOwner owner([&] {
    const int total = (finder.total + SymbolFinder::kPageSize - 1) / SymbolFinder::kPageSize;
    line.Show(
        ProgressText("lookup", "page", ++pages, total, std::to_string(finder.resultsSoFar) + " results"));
  });
  finder.Fetch(args.positional.empty() ? std::string() : args.positional[0], type->second,
               args.Has("worldwide"), &results, io.progress ? &owner : nullptr, ProgressOwner::kPageCommand);
  line.Finish();
  if (finder.HasError()) return FailedFetch(io, finder.GetErrorText(), finder.GetFailure());
  std::vector<OutputRecord> records;
  for (const auto& info : results) {
    records.emplace_back()
        .Add("symbol", info->symbol)
        .Add("name", info->name)
        .Add("exchange", info->exchange);
  }
  PrintList(args, io, {"symbol", "name", "exchange"}, records);
  return kExitOk;
}

static int RunMarketTime(const CliArgs& args, CliIo& io) {
  int region = 0;
  // A region by its name ("uk"; "us" for the United States) or its number.
  bool named = false;
  if (args.positional.size() == 1) {
    for (const MarketRegion& r : MarketRegions()) {
      const std::string name = *r.subDomain ? r.subDomain : "us";
      if (args.positional[0] == name) {
        region = r.code;
        named = true;
      }
    }
  }
  if (args.positional.size() > 1 ||
      (args.positional.size() == 1 && !named && !ParseIntArg(args.positional[0], 0, 1000, &region)) ||
      !IsSupportedRegion(region)) {
    std::string codes;
    for (const MarketRegion& r : MarketRegions()) {
      codes += (codes.empty() ? "" : ", ") + std::string(*r.subDomain ? r.subDomain : "us") + " (" +
               std::to_string(r.code) + ")";
    }
    return Usage(io, "market-time", "REGION is one of " + codes);
  }
  MarketTimeProvider provider;
  provider.region = region;
  provider.Fetch();
  if (provider.HasError()) return FailedFetch(io, provider.GetErrorText(), provider.GetFailure());
  PrintOne(args, io, {"marketTime", "marketState"},
           OutputRecord().Add("marketTime", provider.marketTime).Add("marketState", provider.marketState));
  return kExitOk;
}

// The chart request of chart-url and chart; returns what is wrong with the options, or "".
static std::string ReadChartRequest(const CliArgs& args, std::unique_ptr<ChartProvider>* provider,
                                    ChartProviderParams* params) {
  if (args.positional.empty()) return "give at least one symbol";
  const std::string name = args.Option("provider", "bigcharts");
  if (name == "bigcharts") {
    *provider = std::make_unique<BigChartsChartProvider>();
  } else if (name == "yahoo") {
    *provider = std::make_unique<YahooChartProvider>();
  } else {
    return "--provider is bigcharts or yahoo";
  }
  int size = 1;
  if (!ParseIntArg(args.Option("period", "0"), 0, 8, &params->period)) return "--period is 0 to 8";
  if (!ParseIntArg(args.Option("size", "1"), 1, 2, &size)) return "--size is 1 or 2";
  params->sizeOne = size == 1;
  params->movingAverage50 = args.Has("ma50");
  params->movingAverage200 = args.Has("ma200");
  params->compareDJIA = args.Has("djia");
  params->compareNASDAQ = args.Has("nasdaq");
  params->compareSP500 = args.Has("sp500");
  return {};
}

static int RunChart(const CliArgs& args, CliIo& io, const char* command, bool download) {
  std::unique_ptr<ChartProvider> provider;
  ChartProviderParams params;
  if (std::string problem = ReadChartRequest(args, &provider, &params); !problem.empty()) {
    return Usage(io, command, problem);
  }
  if (download && args.Option("out").empty()) return Usage(io, command, "give --out FILE");
  std::vector<StockInfo> infos(args.positional.size());
  std::vector<StockInfo*> list;
  for (size_t i = 0; i < infos.size(); ++i) {
    infos[i].symbol = args.positional[i];
    list.push_back(&infos[i]);
  }
  std::string url;
  if (!provider->GetChartUrl(list, params, url)) return Failed(io, "no chart for these symbols and options");
  OutputRecord record;
  record.Add("url", url);
  if (download) {
    if (!provider->DownloadChart(list, params, args.Option("out"))) {
      return Failed(io, CWebResourceProvider::kErrorFetch + url);
    }
    record.Add("file", args.Option("out"));
  }
  PrintOne(args, io, download ? std::vector<std::string>{"url", "file"} : std::vector<std::string>{"url"},
           record);
  return kExitOk;
}

static int RunChartUrl(const CliArgs& args, CliIo& io) {
  return RunChart(args, io, "chart-url", false);
}

static int RunChartDownload(const CliArgs& args, CliIo& io) {
  return RunChart(args, io, "chart", true);
}

static int RunNews(const CliArgs& args, CliIo& io) {
  if (args.positional.empty()) return Usage(io, "news", "give at least one symbol");
  int days = 0, items = 0;
  if (!ParseIntArg(args.Option("days", "0"), 0, 1000, &days) ||
      !ParseIntArg(args.Option("items", "0"), 0, 100000, &items)) {
    return Usage(io, "news", "--days and --items take a count");
  }
  NewsItemProvider provider;
  NewsItemProvider::Results results;
  ProgressLine line(io.progress);
  int pages = 0;
  ProgressOwner owner([&] {
    line.Show(ProgressText("news", "page", ++pages, 0, std::to_string(results.size()) + " headlines"));
  });
  provider.Fetch(args.positional, &results, days, items, io.progress ? &owner : nullptr,
                 ProgressOwner::kPageCommand);
  line.Finish();
  if (provider.HasError()) return FailedFetch(io, provider.GetErrorText(), provider.GetFailure());
  std::vector<OutputRecord> records;
  for (const auto& item : results) {
    records.emplace_back()
        .Add("symbol", item->symbol)
        .Add("dateText", item->dateText)
        .AddNumber("date", item->date)
        .Add("title", item->title)
        .Add("url", item->url)
        .Add("source", item->source)
        .AddNumber("flags", item->flags);
  }
  PrintList(args, io, {"symbol", "dateText", "date", "title", "url", "source", "flags"}, records);
  return kExitOk;
}

std::vector<CliCommand> MarketCommands() {
  static const std::set<std::string> kChartOptions = {"provider", "period", "size"};
  static const std::set<std::string> kChartFlags = {"ma50", "ma200", "djia", "nasdaq", "sp500"};
  std::set<std::string> chartDownloadOptions = kChartOptions;
  chartDownloadOptions.insert("out");
  return {
      {"quote", "SYMBOL... [--fields NAME,NAME...]", {"fields"}, {}, RunQuote},
      {"history", "SYMBOL YYYY-MM [YYYY-MM]", {}, {}, RunHistory},
      {"lookup",
       "TEXT [--type stock|fund|etf|futures|index] [--worldwide]",
       {"type"},
       {"worldwide"},
       RunLookup},
      {"market-time", "[REGION]", {}, {}, RunMarketTime},
      {"chart-url",
       "SYMBOL... [--provider bigcharts|yahoo] [--period 0-8] [--size 1|2] [--ma50] [--ma200] [--djia] "
       "[--nasdaq] "
       "[--sp500]",
       kChartOptions, kChartFlags, RunChartUrl},
      {"chart", "SYMBOL... --out FILE [chart-url options]", chartDownloadOptions, kChartFlags,
       RunChartDownload},
      {"news", "SYMBOL... [--days N] [--items N]", {"days", "items"}, {}, RunNews},
  };
}
