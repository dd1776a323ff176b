#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "marketdata/command_target.h"
#include "portfolio/database/vl_quote_source.h"

// Progress of the commands that wait on the service page after page or batch after batch (update, lookup,
// news). It goes to a terminal only: the program hands a progress stream to the commands when its standard
// error is one, so files and pipes stay clean.

// One progress line: "update: batch 2 of 5", or without a known total "news: page 3"; `detail`, when given,
// follows after a comma ("news: page 3, MSFT").
std::string ProgressText(const std::string& command, const std::string& unit, int done, int total,
                         const std::string& detail = {});

// Keeps one line of a terminal up to date: each Show overwrites it, and the line is wiped when the
// command is done (or the object goes), so the results start on a clean line. Does nothing without a stream.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream* terminal) : terminal(terminal) {}
  ~ProgressLine() { Finish(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Show(const std::string& text);
  void Finish();

 private:
  std::ostream* terminal;
  bool shown = false;
};

// The owner of a multi-page provider that only reports: each page calls `onPage`.
class ProgressOwner : public ICommandTarget {
 public:
  static constexpr uint32_t kPageCommand = 1;
  explicit ProgressOwner(std::function<void()> onPage) : onPage(std::move(onPage)) {}
  void OnCommand(uint32_t commandId) override {
    if (commandId == kPageCommand && onPage) onPage();
  }

 private:
  std::function<void()> onPage;
};

// The quote refresh's source with a line per batch: "update: batch 2 of 5". Owns the source it passes on to.
class ProgressQuoteSource : public IVLQuoteSource {
 public:
  ProgressQuoteSource(std::unique_ptr<IVLQuoteSource> inner, int batches, std::ostream* terminal)
      : inner(std::move(inner)), batches(batches), line(terminal) {}
  [[nodiscard]] bool FetchQuotes(const std::vector<StockInfo*>& quotes, std::string& error) override;
  [[nodiscard]] bool FetchMarketTime(int32_t market, std::string& marketTime,
                                     std::string& marketStatus) override {
    return inner->FetchMarketTime(market, marketTime, marketStatus);
  }
  bool IsSupportedMarket(int32_t market) const override { return inner->IsSupportedMarket(market); }
  FetchFailure GetLastFailure() const override { return inner->GetLastFailure(); }

 private:
  std::unique_ptr<IVLQuoteSource> inner;
  int batches;
  int done = 0;
  ProgressLine line;
};
