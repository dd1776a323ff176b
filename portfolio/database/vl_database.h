#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "portfolio/corporate_actions/corporate_action_change.h"
#include "portfolio/database/vl_change_runner.h"
#include "portfolio/database/vl_quote_source.h"
#include "portfolio/fx/fx_rate_request.h"
#include "portfolio/records/exact_decimal.h"
#include "portfolio/views/portfolio_summary.h"

struct ImportAction;
struct ImportOutcome;
struct ImportPlan;
class ImportSplits;
struct ImportProblem;
struct ImportResolution;
class VLHoldingItem;
class VLPortfolioItem;
class VLStockHoldingItem;

// The single store of portfolios, positions and cached quotes, saved whole after every change.
// Windows only ever receive clones. Every change validates, applies, saves and then notifies: first a
// command posted to each connected window, then the event to each listener. While a quote refresh runs
// every change (and a second refresh) is refused with Failed and changes nothing.
//
// Several processes may share the file. Every change holds the file's lock from reading to writing: it
// re-reads the file first when another process saved it since this one last read or wrote it (and then
// notifies as ReloadIfChanged does, before the change's own notice), so no process overwrites another's
// change. When another process keeps the lock for the whole wait the change returns Busy.
//
// The records and their file form are VLStoreRecords'; the connections, the course of a change and the
// journal's undo and redo VLChangeRunner's; the operations on the records are here.
class VLDatabase : public VLChangeRunner {
 public:
  static constexpr int kQuoteBatchSize = 200;

  explicit VLDatabase(const std::string& path = {});
  ~VLDatabase() override;

  // Where the quote refresh gets its figures (the market-data services by default); the database owns it.
  void SetQuoteSource(std::unique_ptr<IVLQuoteSource> source);

  // Portfolios.
  VLResult GetPortfolios(VLDatabaseConn* conn, VLPortfolioItemList& list);
  VLResult GetPortfolio(VLDatabaseConn* conn, uint32_t id, VLPortfolioItem& portfolio);
  VLResult AddPortfolio(VLDatabaseConn* conn, VLPortfolioItem& portfolio);
  VLResult ModifyPortfolio(VLDatabaseConn* conn, const VLPortfolioItem& portfolio);
  VLResult DeletePortfolio(VLDatabaseConn* conn, uint32_t id);

  // Positions. Stock fields come in a VLStockHoldingItem whose name is the symbol.
  VLResult GetPositions(VLDatabaseConn* conn, uint32_t portfolioId, bool held, VLHoldingItemList& list);
  VLResult GetPosition(VLDatabaseConn* conn, uint32_t id, std::unique_ptr<VLHoldingItem>& position);
  VLResult AddStockPosition(VLDatabaseConn* conn, uint32_t portfolioId, const VLStockHoldingItem& fields,
                            uint32_t& id);
  VLResult AddCashPosition(VLDatabaseConn* conn, uint32_t portfolioId, uint32_t amount,
                           const std::string& comment, uint32_t& id);
  VLResult AddMarginPosition(VLDatabaseConn* conn, uint32_t portfolioId, uint32_t amountOwed,
                             const std::string& comment, uint32_t& id);
  // Overwrites the stock fields; a non-empty `newSymbol` re-binds the position to that symbol's quote.
  VLResult ModifyStockPosition(VLDatabaseConn* conn, uint32_t id, const VLStockHoldingItem& fields,
                               const std::string& newSymbol = {});
  VLResult ModifyCashPosition(VLDatabaseConn* conn, uint32_t id, uint32_t portfolioId, uint32_t amount,
                              const std::string& comment);
  VLResult ModifyMarginPosition(VLDatabaseConn* conn, uint32_t id, uint32_t portfolioId, uint32_t amountOwed,
                                const std::string& comment);
  // Sells `qty` shares (to 1e-8 share) at `salePrice` per share; a partial sale splits the position.
  VLResult SellPosition(VLDatabaseConn* conn, uint32_t id, Quantity qty, UnitPrice salePrice,
                        uint32_t saleCommission, int64_t saleDate, uint32_t& newId);
  VLResult UnsellPosition(VLDatabaseConn* conn, uint32_t id);
  VLResult CopyPosition(VLDatabaseConn* conn, uint32_t id, uint32_t toPortfolioId);
  VLResult MovePosition(VLDatabaseConn* conn, uint32_t id, uint32_t toPortfolioId);
  VLResult DeletePosition(VLDatabaseConn* conn, uint32_t id);

  // Import. What ImportPositions would do with `plan` against the store as it is now, changing nothing:
  // Ok with `outcome` (ids of new portfolios and positions stay 0), or ImportRefused with `problems`.
  VLResult TryImport(VLDatabaseConn* conn, const ImportPlan& plan, ImportOutcome& outcome,
                     std::vector<ImportProblem>& problems);
  // The plan as one change: missing portfolios created, rows already in their portfolio skipped (unless
  // the plan allows duplicates), positions added, sales taken from the held positions of their symbol with
  // the oldest purchase first (a partial sale splits a position as SellPosition does), cash balances set.
  // All of it or nothing: ImportRefused with `problems` when a sale cannot be made, StoreFull when the file
  // has too few ids left. Sends kPortfolioAdded for each new portfolio, then for each portfolio the import
  // touched one kPositionAdded naming its first new position (kPositionChanged with no position when it
  // only sold or set a balance there), then kQuotesRefreshed when it stored prices set by hand (replacing a
  // symbol's price of the same day).
  VLResult ImportPositions(VLDatabaseConn* conn, const ImportPlan& plan, ImportOutcome& outcome,
                           std::vector<ImportProblem>& problems);

  // Quotes and market.
  VLResult UpdateQuotes(VLDatabaseConn* conn);
  // The same refresh for the cached quotes of `symbols` only (a position just added or given a new symbol),
  // without the market time; symbols without a cached quote are left out. Notifies as UpdateQuotes does.
  VLResult UpdateQuotesOf(VLDatabaseConn* conn, const std::vector<std::string>& symbols);
  VLResult SetMarket(VLDatabaseConn* conn, int32_t index);
  VLResult GetMarket(VLDatabaseConn* conn, int32_t& index);
  VLResult GetMarketTime(VLDatabaseConn* conn, std::string& text);
  VLResult GetMarketStatus(VLDatabaseConn* conn, std::string& text);
  bool IsRefreshing() const { return refresh.running; }
  // One deadline for a whole quote refresh, checked before every request: once it has passed the refresh
  // fails and nothing is saved. 0 = none.
  static constexpr int64_t kDefaultRefreshDeadlineMs = VLRefreshState::kDefaultDeadlineMs;
  void SetRefreshDeadline(int64_t milliseconds) { refresh.deadlineMs = milliseconds; }
  // The quote source's error text of the last refresh that failed in a request.
  const std::string& GetLastRefreshError() const { return refresh.lastError; }
  // Why that request failed: the host and the transport error or HTTP status, when known.
  const FetchFailure& GetLastRefreshFailure() const { return refresh.lastFailure; }

  // Prices set by hand (vl_manual_price_item.h). Every one, ordered by symbol and then date.
  VLResult GetManualPrices(VLDatabaseConn* conn, std::vector<VLManualPriceItem>& prices);
  // Stores `price` for `symbol` (any letter case; kept in upper case) on the stored day `date`, replacing
  // the symbol's price of that day: one change. Failed for a symbol, date or price a record cannot hold
  // (the entry checks say why first); StoreFull when no id is left.
  VLResult SetManualPrice(VLDatabaseConn* conn, const std::string& symbol, int64_t date, UnitPrice price);
  // Removes the symbol's price of the day `date`, or all its prices when `date` is 0: one change.
  // NotFound when there is none.
  VLResult RemoveManualPrices(VLDatabaseConn* conn, const std::string& symbol, int64_t date);

  // Corporate actions (vl_corporate_action_item.h), ordered by day, then symbol.
  VLResult GetCorporateActions(VLDatabaseConn* conn, std::vector<VLCorporateActionItem>& actions);
  // What RecordSplit would change, changing nothing: Ok with the rows; ActionRefused with the position at
  // fault; AlreadyRecorded when the symbol has a split on that day; Failed for a request no record holds.
  VLResult PreviewSplit(VLDatabaseConn* conn, const SplitRequest& request, SplitPreview& preview);
  // The split as one change: every position of the symbol in every portfolio held on the day in new shares
  // (split_plan.h), fractions paid in cash sold on the day as partial sales, and the split recorded.
  VLResult RecordSplit(VLDatabaseConn* conn, const SplitRequest& request, SplitPreview& preview);
  // Every position of `oldSymbol`, in every portfolio, under `newSymbol` from the stored day `exDate`, and
  // the change recorded: one change. `renamed` counts the positions. AlreadyRecorded as for a split.
  VLResult RecordSymbolChange(VLDatabaseConn* conn, const std::string& oldSymbol,
                              const std::string& newSymbol, int64_t exDate, const std::string& comment,
                              int& renamed);

  // Income (vl_income_item.h) of one portfolio, or of all for 0: newest payment first.
  VLResult GetIncome(VLDatabaseConn* conn, uint32_t portfolioId, std::vector<VLIncomeItem>& income);
  // Adds `fields` (the symbol kept in upper case) as one change; `id` receives its id. Failed for fields a
  // record cannot hold (the entry checks say why first); NotFound for an unknown portfolio; StoreFull when
  // no id is left. `entitled`, when given, receives the shares of the symbol the portfolio held entitled to
  // it (0: the payment is kept all the same, and the caller warns).
  VLResult AddIncome(VLDatabaseConn* conn, const VLIncomeItem& fields, uint32_t& id,
                     Quantity* entitled = nullptr);
  // A reinvested payment: the record of `fields` and the purchase its cash made (`purchase`, the record's
  // symbol bought in its portfolio), one change and one undo. `positionId` receives the new position's id,
  // which the record names. Failed for a purchase AddStockPosition would refuse; else as AddIncome.
  VLResult AddReinvestedIncome(VLDatabaseConn* conn, const VLIncomeItem& fields,
                               const VLStockHoldingItem& purchase, uint32_t& id, uint32_t& positionId,
                               Quantity* entitled = nullptr);
  // Adds every record of `fields` as AddIncome adds one, all as one change (the dividends a fetch found);
  // `ids` receives their ids. Failed or NotFound as for AddIncome for any of them, and nothing is added.
  VLResult AddIncomes(VLDatabaseConn* conn, const std::vector<VLIncomeItem>& fields,
                      std::vector<uint32_t>& ids);
  // The record of `fields.id` takes every field of `fields`: one change. NotFound for an unknown record or
  // portfolio; Failed as for AddIncome.
  VLResult ModifyIncome(VLDatabaseConn* conn, const VLIncomeItem& fields);
  // Removes the record: one change. NotFound when there is none.
  VLResult DeleteIncome(VLDatabaseConn* conn, uint32_t id);
  // Gives each stock position of `handedOut` (copies of the portfolio's) its part of the portfolio's income.
  void ShareIncome(uint32_t portfolioId, const std::vector<VLStockHoldingItem*>& handedOut) const;

  // Base currencies (vl_database_fx.cpp). The rates conversions take: fetched by the caller (FetchRateBook)
  // for what RateNeeds lists, kept for the session, never stored in the file.
  void SetFxRates(std::shared_ptr<const FxRateBook> book);
  // The rates set last; an empty book before any.
  std::shared_ptr<const FxRateBook> FxRates() const;
  // Converts the portfolio into `currency` for this session as if it were its base currency (empty: its own
  // again); the file is not changed.
  void LookInCurrency(uint32_t portfolioId, const std::string& currency);
  // The base currency the portfolio's figures are converted into: a look's, else its own; empty for none.
  std::string BaseCurrencyOf(uint32_t portfolioId) const;
  // The pairs and days the conversions of the portfolio (0: of every portfolio with a base currency) need,
  // up to `today`.
  VLResult GetRateNeeds(VLDatabaseConn* conn, uint32_t portfolioId, int64_t today,
                        std::vector<FxRateRequest>& needs);
  // Gives each stock position of `handedOut` (copies of the portfolio's) its BaseFigures.
  void ShareBaseFigures(uint32_t portfolioId, const std::vector<VLStockHoldingItem*>& handedOut) const;

  // The nine summary texts of a portfolio's held or sold view, over all its positions or only `ids`.
  VLResult GetPortfolioSummary(VLDatabaseConn* conn, uint32_t portfolioId, bool held,
                               const std::vector<uint32_t>* ids, VLPortfolioSummary& summary);

 private:
  friend class VLDatabaseTestPeer;  // tests only: plants a change that breaks the journaling rule

  std::shared_ptr<const FxRateBook> fxRates;
  std::map<uint32_t, std::string> lookCurrencies;  // LookInCurrency's, by portfolio

  // Both refreshes: every cached quote with the market time, or only those of `only`.
  VLResult RefreshQuotes(VLDatabaseConn* conn, const std::vector<std::string>* only);
  // Stores a new stock position with the fields of `fields` (its name is the symbol), bound to the symbol's
  // cached quote; StoreFull when no id is left. Nothing else is checked.
  // Stores `stored` (checked) as a new income record of the change; `id` receives its id.
  VLResult InsertIncome(Change& change, const VLIncomeItem& stored, uint32_t& id, Quantity* entitled);
  VLResult InsertStock(ChangeRecorder& record, uint32_t portfolioId, const VLStockHoldingItem& fields,
                       uint32_t& id, SymbolIndex* index = nullptr);
  // Sells `qty` shares of a stored held position; a partial sale keeps the sold part under the position's
  // id and stores the rest under `newId`.
  VLResult SellStored(ChangeRecorder& record, VLStockHoldingItem& stock, Quantity qty, UnitPrice salePrice,
                      uint32_t saleCommission, int64_t saleDate, uint32_t& newId);
  // Stores `fields` (ManualPriceFields, checked), replacing the symbol's price of that day; `changed` is
  // false when that price was there already. StoreFull when no id is left. Nothing else is checked. With
  // `index`, looked up (and kept) there.
  VLResult StoreManualPrice(ChangeRecorder& record, const VLManualPriceItem& fields, bool& changed,
                            ManualPriceIndex* index = nullptr);
  // The prices set by hand of an import that change the store (the file's last of each symbol and day), and
  // how many of them need a new id; the stored ones looked up in `index`.
  std::vector<VLManualPriceItem> ImportedPrices(const ImportPlan& plan, const ManualPriceIndex& index,
                                                uint64_t& newIds) const;
  // The corporate actions of an import the store does not hold yet (the file's first of each kind, symbol
  // and day); a problem for each that differs from the one recorded (or given earlier in the file).
  std::vector<ImportAction> ImportedActions(const ImportPlan& plan,
                                            std::vector<ImportProblem>& problems) const;
  // The payments of an import to record (indexes into plan.incomes): those with no record of the same
  // portfolio, symbol, kind, pay date and gross in the store or earlier in the file; every one when the plan
  // allows duplicates. `portfolioIds` are the resolution's (0: a portfolio the import creates).
  std::vector<size_t> ImportedIncome(const ImportPlan& plan, const std::vector<uint32_t>& portfolioIds) const;
  // The splits an import puts the file's trades through: those recorded, and those of `imported` a
  // statement reports (each of them also in `reported`).
  void KnownSplits(const std::vector<ImportAction>& imported, ImportSplits& all,
                   ImportSplits& reported) const;
  // A split applied as part of a change (as RecordSplit applies one); its faults were checked before.
  VLResult ApplySplit(Change& change, const SplitRequest& request);
  // What an import would do against the store as it is now: its resolution and the prices and actions it
  // stores (vl_database_import.cpp). Ok with `outcome` filled in; ImportRefused with `problems`; StoreFull.
  struct ImportCheck;
  VLResult CheckImport(const ImportPlan& plan, ImportOutcome& outcome, std::vector<ImportProblem>& problems,
                       ImportCheck& check);
  // The apply step of an import (vl_database_import.cpp).
  struct ImportRun;
  // A split worked out against the store (vl_database_actions.cpp).
  struct SplitRun;
  // Whether the ids left cover what an import resolved against the store needs.
  // `newPrices`: the prices set by hand it adds (ImportedPrices).
  bool ImportFits(const ImportPlan& plan, const ImportResolution& resolution, uint64_t newPrices,
                  uint64_t newActions, uint64_t newIncome) const;

  // The shared steps of adding and changing a cash position or margin debt.
  VLResult AddAmountPosition(VLDatabaseConn* conn, uint32_t portfolioId,
                             std::unique_ptr<VLHoldingItem> position, uint32_t& id);
  VLResult ModifyAmountPosition(VLDatabaseConn* conn, uint32_t id, int32_t kind, uint32_t portfolioId,
                                uint32_t amount, const std::string& comment, int32_t eventKind);
};
