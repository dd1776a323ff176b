#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/database.h"
#include "marketdata/fetch_failure.h"
#include "marketdata/shared_stock_info.h"
#include "portfolio/database/vl_change_notifier.h"
#include "portfolio/database/vl_database_conn.h"
#include "portfolio/database/vl_database_event.h"
#include "portfolio/database/vl_journal_keeper.h"
#include "portfolio/database/vl_journal_listing.h"
#include "portfolio/database/vl_refresh_state.h"
#include "portfolio/database/vl_result.h"
#include "portfolio/journal/change_journal.h"
#include "portfolio/journal/change_recorder.h"
#include "portfolio/journal/record_image.h"
#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_manual_price_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_info_item_list.h"
#include "portfolio/views/portfolio_summary.h"

struct ImportOutcome;
struct ImportPlan;
struct ImportProblem;
struct ImportResolution;
struct JournalHistory;
class VLHoldingItem;
class VLPortfolioItem;
class VLStockHoldingItem;
class VLStockInfoItem;

// The single store of portfolios, positions and cached quotes, saved whole after every change.
// Windows only ever receive clones. Every change validates, applies, saves and then notifies: first a
// command posted to each connected window, then the event to each listener. While a quote refresh runs
// every change (and a second refresh) is refused with Failed and changes nothing.
//
// Several processes may share the file. Every change holds the file's lock from reading to writing: it
// re-reads the file first when another process saved it since this one last read or wrote it (and then
// notifies as ReloadIfChanged does, before the change's own notice), so no process overwrites another's
// change. When another process keeps the lock for the whole wait the change returns Busy.
class VLDatabase : public Database {
 public:
  static constexpr int kQuoteBatchSize = 200;

  explicit VLDatabase(const std::string& path = {});
  ~VLDatabase() override;

  std::string GetTypeName() const override { return "VLDB"; }
  // Version 1 while every record fits the forms of the first release; 2 once a record needs a later form, so
  // that an earlier release refuses the file as newer rather than reading part of it; 3 while there are
  // prices set by hand, whose list (and id counter) follows the positions.
  static constexpr int32_t kFirstVersion = 1;
  static constexpr int32_t kExactVersion = 2;
  static constexpr int32_t kManualPriceVersion = 3;
  int32_t GetVersion() const override;
  int32_t GetLatestVersion() const override { return kManualPriceVersion; }
  SerializeResult Serialize(Archive* ar) override;
  void PrepareForLoad() override;

  // Where the quote refresh gets its figures (the market-data services by default); the database owns it.
  void SetQuoteSource(std::unique_ptr<IVLQuoteSource> source);

  // Null for a null window. The first connection loads the file; on failure it returns null and every
  // connection is dropped. `lastOpenCode` then tells why.
  VLDatabaseConn* Connect(const std::shared_ptr<IVLCommandWindow>& window, uint32_t portfolioCmd,
                          uint32_t positionCmd, uint32_t quoteCmd);
  VLResult Disconnect(VLDatabaseConn* conn);
  void AddListener(IVLDatabaseListener* listener);
  void RemoveListener(IVLDatabaseListener* listener);
  DbResult GetLastOpenCode() const { return lastOpenCode; }

  // After a change failed because the file was deleted or replaced underneath (IsFileLost): writes the store
  // as this process has it back to the path. Failed for an unknown connection or while a refresh runs; else
  // what WriteBack answers (Ok, Failed, Busy, ReadOnly), GetLastFileError saying why.
  VLResult WriteBackFile(VLDatabaseConn* conn);

  // For a process that keeps the store in memory (the application's timer calls it once a second). A stat
  // when nothing changed. When the file is not the version this process last read or wrote, re-reads it
  // under the lock and notifies like any change: posts the portfolios command to every connection, then
  // sends kPortfolioDeleted for each portfolio that disappeared, kPortfolioAdded for each new portfolio,
  // kPortfolioModified for every other portfolio, then kQuotesRefreshed. Ok whether or not it reloaded; Busy
  // when another process holds the lock (try again on the next tick); Failed when the file cannot be read.
  // On failure the store in memory stays as it was and nothing is sent.
  VLResult ReloadIfChanged();
  static constexpr int kReloadLockWaitMs = 250;

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

  // The nine summary texts of a portfolio's held or sold view, over all its positions or only `ids`.
  VLResult GetPortfolioSummary(VLDatabaseConn* conn, uint32_t portfolioId, bool held,
                               const std::vector<uint32_t>* ids, VLPortfolioSummary& summary);

  // ---- The change journal: Vellumar.journal beside the database (ChangeJournal::PathFor). Every change
  // operation writes an entry after its save, under the same lock; Update and the market setting do not.
  // The program named in the entries ("vellumar" unless told).
  void SetJournalProgram(std::string program) { journaling.program = std::move(program); }
  std::string GetJournalPath();
  // Applies the records as they were before the newest change in effect (same ids; id counters never go
  // back), and journals that as an undo entry naming it. Refused, changing nothing: NothingToUndo;
  // JournalMismatch when the store is not where that entry left it (the file was replaced by a backup,
  // changed by an older program or where the journal did not see it, or the journal belongs to another
  // database); JournalUnreadable; and every refusal of a change (read-only, busy, refresh running).
  VLResult Undo(VLDatabaseConn* conn, VLJournalStep& step);
  // Applies again the records after the newest undone change that no later change ended; the same
  // refusals (NothingToRedo in place of NothingToUndo).
  VLResult Redo(VLDatabaseConn* conn, VLJournalStep& step);
  // The journal's entries, newest first, at most `limit` (0: all), and its state. Reads the file under the
  // database's lock (waiting at most `waitMs`) when another program wrote it: Busy when that lock was not to
  // be had, JournalUnreadable; the list and the state are those last read then.
  VLResult GetChanges(VLDatabaseConn* conn, size_t limit, std::vector<VLJournalListing>& list,
                      VLJournalState& state, int waitMs = Database::kDefaultLockWaitMs);
  VLResult GetJournalState(VLDatabaseConn* conn, VLJournalState& state, int waitMs = kReloadLockWaitMs);
  // Why the journal could not be read or written, the last time it could not.
  const FileError& GetLastJournalError() const { return journaling.lastError; }
  // The last change was saved (it reported success) but its entry could not be written, so it cannot be
  // undone; GetLastJournalError says why. Until the next change.
  bool LastChangeNotJournaled() const { return journaling.lastChangeNotJournaled; }
  // The store's fingerprint: the sum of the hashes of every portfolio's and position's image.
  uint64_t GetFingerprint();

  // Counts, for checks and tools.
  int GetManualPriceCount() const { return manualPrices.GetCount(); }
  int GetQuoteCount() const { return quotes.GetCount(); }
  int GetPortfolioCount() const { return portfolios.GetCount(); }
  int GetPositionCount() const { return positions.GetCount(); }
  // Every record as stored, for dumps: clones owned by the caller (the prices set by hand when asked).
  void CopyAll(VLStockInfoItemList& quoteList, VLPortfolioItemList& portfolioList,
               VLHoldingItemList& positionList, VLManualPriceItemList* priceList = nullptr);

 private:
  friend class VLDatabaseTestPeer;  // tests only: plants a change that breaks the journaling rule

  // Cached quotes by symbol in upper case, for binding many positions at once.
  using SymbolIndex = std::unordered_map<std::string, VLStockInfoItem*>;
  // Both refreshes: every cached quote with the market time, or only those of `only`.
  VLResult RefreshQuotes(VLDatabaseConn* conn, const std::vector<std::string>* only);

  using NoticeKind = VLNoticeKind;
  using Notice = VLNotice;

  bool IsConnected(const VLDatabaseConn* conn) const;
  // The guard of every change: Failed for an unknown connection or while a refresh runs.
  VLResult CheckChange(const VLDatabaseConn* conn) const;
  // Takes the file's lock for a change and re-reads the file when another process changed it; the notice
  // of that reload, if any, goes to `reload`. Ok with the lock held; Busy, ReadOnly or Failed.
  VLResult BeginFileChange(Notice& reload);
  // Saves the change and releases the file's lock.
  VLResult SaveChange();
  std::vector<uint32_t> PortfolioIds() const;
  // What a change operation fills in for RunChange.
  struct Change {
    NoticeKind kind;                      // the command posted to the connections
    std::vector<VLDatabaseEvent> events;  // sent to the listeners, in order
    ChangeRecorder record;                // the records it touches, for the journal (change_recorder.h)
    bool unchanged = false;  // set by an `apply` that found nothing to do: Ok, nothing saved or sent
  };
  // One change: under the lock, refuses when CheckChange does, runs `apply`, saves, writes the journal's
  // entry, and after unlocking posts the command of `kind` and sends the events. A refusal from `apply`, or a
  // failed save, ends it without a word to anybody.
  //
  // `apply` checks everything first and changes nothing when it refuses. Before it changes, adds or
  // removes a portfolio or position it tells change.record (Portfolio(id), Position(id), or the record
  // itself), and says what it did with change.record.SetText(...). A batch operation (an import) does the
  // same for each record it touches, in one change: the journal then undoes and redoes it as one.
  VLResult RunChange(VLDatabaseConn* conn, NoticeKind kind,
                     const std::function<VLResult(Change& change)>& apply);
  // Saves the change with the lock still held (then ReleaseChange).
  VLResult SaveKeepingLock();
  // After a change's save: takes the records' images as they are now, keeps the fingerprint up to date and,
  // when the save succeeded, appends the entry. With the audit on, also sums the fingerprint anew and ends
  // the program, saying so, when it differs from the one kept change by change: a record was changed without
  // being noted, and the journal would not hold it.
  void JournalChange(ChangeRecorder& record, bool saved);
  ChangeJournal& Journal();
  // The journal's index brought up to date for a reader (not inside a change).
  VLResult RefreshJournalForReading(int waitMs);
  // The records of the store by kind and id, as the lists are when it is made: the first few searched, the
  // rest through an index built once.
  ChangeRecorder::Finder RecordFinder();
  // The list and the id counter of each kind of journaled record.
  ItemList& RecordList(JournalRecordKind kind);
  uint32_t& LastRecordId(JournalRecordKind kind);
  uint64_t CurrentFingerprint();
  // Undo (true) or redo (false).
  VLResult JournalStep(VLDatabaseConn* conn, bool undo, VLJournalStep& step);
  // Checks the store against the entry, reads its records, then puts them back (EntryRestore,
  // vl_database_undo.cpp).
  struct EntryRestore;
  VLResult ApplyJournalEntry(Change& change, const JournalEntry& entry, bool undo, VLJournalStep& step);

  // Stores a new stock position with the fields of `fields` (its name is the symbol), bound to the symbol's
  // cached quote; StoreFull when no id is left. Nothing else is checked.
  VLResult InsertStock(ChangeRecorder& record, uint32_t portfolioId, const VLStockHoldingItem& fields,
                       uint32_t& id, SymbolIndex* index = nullptr);
  // Sells `qty` shares of a stored held position; a partial sale keeps the sold part under the position's
  // id and stores the rest under `newId`.
  VLResult SellStored(ChangeRecorder& record, VLStockHoldingItem& stock, Quantity qty, UnitPrice salePrice,
                      uint32_t saleCommission, int64_t saleDate, uint32_t& newId);
  // Prices set by hand by symbol and day number, for looking up many at once; the first of a symbol and day
  // in the list wins, as in the walk of FindManualPrice.
  using ManualPriceIndex = std::map<std::pair<std::string, int64_t>, VLManualPriceItem*>;
  ManualPriceIndex IndexManualPrices() const;
  // The stored price of `symbol` (upper case) on the day of `date`; null when there is none. With `index`,
  // looked up there.
  VLManualPriceItem* FindManualPrice(const std::string& symbol, int64_t date,
                                     const ManualPriceIndex* index = nullptr) const;
  // A price's fields as stored: the symbol in upper case, the day in today's stored form.
  static VLManualPriceItem ManualPriceFields(const std::string& symbol, int64_t date, UnitPrice price);
  // Stores `fields` (ManualPriceFields, checked), replacing the symbol's price of that day; `changed` is
  // false when that price was there already. StoreFull when no id is left. Nothing else is checked. With
  // `index`, looked up (and kept) there.
  VLResult StoreManualPrice(ChangeRecorder& record, const VLManualPriceItem& fields, bool& changed,
                            ManualPriceIndex* index = nullptr);
  // The prices set by hand of an import that change the store (the file's last of each symbol and day), and
  // how many of them need a new id; the stored ones looked up in `index`.
  std::vector<VLManualPriceItem> ImportedPrices(const ImportPlan& plan, const ManualPriceIndex& index,
                                                uint64_t& newIds) const;
  // The apply step of an import (vl_database_import.cpp).
  struct ImportRun;
  // Whether the ids left cover what an import resolved against the store needs.
  // `newPrices`: the prices set by hand it adds (ImportedPrices).
  bool ImportFits(const ImportPlan& plan, const ImportResolution& resolution, uint64_t newPrices) const;

  // The shared steps of adding and changing a cash position or margin debt.
  VLResult AddAmountPosition(VLDatabaseConn* conn, uint32_t portfolioId,
                             std::unique_ptr<VLHoldingItem> position, uint32_t& id);
  VLResult ModifyAmountPosition(VLDatabaseConn* conn, uint32_t id, int32_t kind, uint32_t portfolioId,
                                uint32_t amount, const std::string& comment, int32_t eventKind);

  VLPortfolioItem* FindPortfolio(uint32_t id) const;
  VLHoldingItem* FindPosition(uint32_t id) const;
  VLStockInfoItem* FindQuote(uint32_t id) const;
  SymbolIndex IndexSymbols() const;
  // The cached quote of `symbol` (any letter case), created when missing; its reference count grows by one.
  // Null when a new quote would need an id and none is left. With `index`, looked up (and kept) there.
  VLStockInfoItem* BindQuote(const std::string& symbol, SymbolIndex* index = nullptr);
  void DropUnusedQuotes();
  // Gives every stock position the symbol of its cached quote and shares the quote's record with it, so
  // the positions (and their clones) always carry the current quote. A symbol the service does not know (or
  // has not been asked for yet) that has a price set by hand gets a quote made from the newest one instead
  // (manual_quote.h), shared by its positions.
  void RebindSymbols();
  // After a change, before its save: a position it noted that needs a later form makes the next save look
  // at every position (GetVersion).
  void NoteLaterForms(const ChangeRecorder& record);
  // The quotes made from prices set by hand, by the id of the cached quote they stand in for.
  using ManualQuotes = std::unordered_map<uint32_t, SharedStockInfo>;
  ManualQuotes MakeManualQuotes();
  // Cached quotes by id, for work over many positions at once.
  using QuoteIndex = std::unordered_map<uint32_t, VLStockInfoItem*>;
  QuoteIndex IndexQuotes() const;
  void Touch(uint32_t portfolioId);
  // The portfolio's name for the journal's texts ("portfolio 7" when there is none).
  std::string PortfolioName(uint32_t id) const;
  int64_t Now() const;

  VLChangeNotifier notifier;
  mutable std::recursive_mutex lock;
  int32_t market = 0;
  std::string marketTime;
  std::string marketStatus;
  uint32_t lastQuoteId = 0;
  uint32_t lastPortfolioId = 0;
  uint32_t lastPositionId = 0;
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  uint32_t lastManualPriceId = 0;
  VLManualPriceItemList manualPrices;
  // A made quote, with what it was made from.
  struct ManualQuoteCache {
    SharedStockInfo source;
    uint32_t priceId = 0;
    int64_t date = 0;
    UnitPrice price;
    SharedStockInfo made;
  };
  std::unordered_map<uint32_t, ManualQuoteCache> manualQuoteCache;

  VLRefreshState refresh;
  DbResult lastOpenCode = DbResult::Ok;

  VLJournalKeeper journaling;
  // False only while no position is known to need a later record form: set by every load and save
  // (RebindSymbols) and by a change that notes such a position (NoteLaterForms). Every change notes the
  // positions it touches before it touches them (the journal's rule, which the audit checks).
  bool mayNeedLaterForm = true;
};
