#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/database.h"
#include "marketdata/shared_stock_info.h"
#include "portfolio/database/vl_journal_keeper.h"
#include "portfolio/journal/change_recorder.h"
#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_corporate_action_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_income_item.h"
#include "portfolio/records/vl_manual_price_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_info_item_list.h"

class VLHoldingItem;
class VLPortfolioItem;
class VLStockInfoItem;

// The records of a portfolio database (portfolios, positions, cached quotes, prices set by hand) as the file
// holds them, and what finds, binds and indexes them. The connections and the changes are the business of
// the classes built on it (VLChangeRunner, VLDatabase); everything here runs under their lock.
class VLStoreRecords : public Database {
 public:
  std::string GetTypeName() const override { return "VLDB"; }
  // Version 1 while every record fits the forms of the first release; 2 once a record needs a later form, so
  // that an earlier release refuses the file as newer rather than reading part of it; 3 while there are
  // prices set by hand, whose list (and id counter) follows the positions; 4 while there are corporate
  // actions, whose list follows the prices set by hand; 5 while there is income, whose list follows the
  // corporate actions.
  static constexpr int32_t kFirstVersion = 1;
  static constexpr int32_t kExactVersion = 2;
  static constexpr int32_t kManualPriceVersion = 3;
  static constexpr int32_t kCorporateActionVersion = 4;
  static constexpr int32_t kIncomeVersion = 5;
  int32_t GetVersion() const override;
  int32_t GetLatestVersion() const override { return kIncomeVersion; }
  SerializeResult Serialize(Archive* ar) override;
  void PrepareForLoad() override;

  // The store's fingerprint: the sum of the hashes of every portfolio's and position's image.
  uint64_t GetFingerprint();
  // Counts, for checks and tools.
  int GetManualPriceCount() const { return manualPrices.GetCount(); }
  int GetCorporateActionCount() const { return corporateActions.GetCount(); }
  int GetIncomeCount() const { return incomes.GetCount(); }
  int GetQuoteCount() const { return quotes.GetCount(); }
  int GetPortfolioCount() const { return portfolios.GetCount(); }
  int GetPositionCount() const { return positions.GetCount(); }
  // Every record as stored, for dumps: clones owned by the caller (the prices set by hand when asked).
  void CopyAll(VLStockInfoItemList& quoteList, VLPortfolioItemList& portfolioList,
               VLHoldingItemList& positionList, VLManualPriceItemList* priceList = nullptr);

 protected:
  VLPortfolioItem* FindPortfolio(uint32_t id) const;
  VLHoldingItem* FindPosition(uint32_t id) const;
  VLStockInfoItem* FindQuote(uint32_t id) const;
  std::vector<uint32_t> PortfolioIds() const;
  // Cached quotes by symbol in upper case, for binding many positions at once.
  using SymbolIndex = std::unordered_map<std::string, VLStockInfoItem*>;
  SymbolIndex IndexSymbols() const;
  // Cached quotes by id, for work over many positions at once.
  using QuoteIndex = std::unordered_map<uint32_t, VLStockInfoItem*>;
  QuoteIndex IndexQuotes() const;
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

  // The recorded action of the kind, symbol and day of `fields` (ActionFields); null when there is none.
  const VLCorporateActionItem* FindCorporateAction(const VLCorporateActionItem& fields) const;
  // Stores `fields` as a new corporate action under the next id, noted in `record` first. The caller has
  // checked that an id is left.
  void StoreCorporateAction(ChangeRecorder& record, const VLCorporateActionItem& fields);

  // Above this many look-ups of records by id, an index of the store answers them faster than searches.
  static constexpr size_t kSearchedLookups = 16;
  // The records of the store by kind and id, as the lists are when it is made: the first few searched, the
  // rest through an index built once (at once when the caller expects more than a few look-ups).
  ChangeRecorder::Finder RecordFinder(size_t expectedLookups = 0);
  // The list and the id counter of each kind of journaled record.
  ItemList& RecordList(JournalRecordKind kind);
  uint32_t& LastRecordId(JournalRecordKind kind);
  uint64_t CurrentFingerprint();

  void Touch(uint32_t portfolioId);
  // The portfolio's name for the journal's texts ("portfolio 7" when there is none).
  std::string PortfolioName(uint32_t id) const;
  int64_t Now() const;

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
  uint32_t lastCorporateActionId = 0;
  VLCorporateActionItemList corporateActions;
  uint32_t lastIncomeId = 0;
  VLIncomeItemList incomes;
  VLJournalKeeper journaling;
  // False only while no position is known to need a later record form: set by every load and save
  // (RebindSymbols) and by a change that notes such a position (NoteLaterForms). Every change notes the
  // positions it touches before it touches them (the journal's rule, which the audit checks).
  bool mayNeedLaterForm = true;

 private:
  // Each kind of journaled record with its list and its id counter, in the order the fingerprint sums them:
  // a new kind is a row (vl_database_journal.cpp).
  struct RecordKindRow {
    JournalRecordKind kind;
    ItemList& (*list)(VLStoreRecords& store);
    uint32_t& (*lastId)(VLStoreRecords& store);
  };
  static const RecordKindRow kRecordKindRows[];
  static const size_t kRecordKindCount;
  static const RecordKindRow& RowOf(JournalRecordKind kind);

  // A made quote, with what it was made from.
  struct ManualQuoteCache {
    SharedStockInfo source;
    uint32_t priceId = 0;
    int64_t date = 0;
    UnitPrice price;
    SharedStockInfo made;
  };
  std::unordered_map<uint32_t, ManualQuoteCache> manualQuoteCache;
};
