#include "portfolio/database/vl_database.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "framework/archive.h"
#include "framework/text_util.h"
#include "portfolio/columns/clock.h"
#include "portfolio/database/vl_web_quote_source.h"
#include "portfolio/journal/change_texts.h"
#include "portfolio/records/currency_units.h"
#include "portfolio/records/manual_quote.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

VLDatabase::VLDatabase(const std::string& path) {
  refresh.source = std::make_unique<VLWebQuoteSource>();
  (void)SetPath(path);  // cannot fail: nothing is loaded yet
}

VLDatabase::~VLDatabase() = default;

void VLDatabase::SetQuoteSource(std::unique_ptr<IVLQuoteSource> source) {
  if (source) refresh.source = std::move(source);
}

int64_t VLStoreRecords::Now() const {
  return GetClock().Now();
}

// ---- file ------------------------------------------------------------------------------------------

void VLStoreRecords::PrepareForLoad() {
  market = 0;
  marketTime.clear();
  marketStatus.clear();
  lastQuoteId = lastPortfolioId = lastPositionId = lastManualPriceId = lastCorporateActionId = lastIncomeId =
      0;
  quotes.RemoveAll();
  portfolios.RemoveAll();
  positions.RemoveAll();
  manualPrices.RemoveAll();
  corporateActions.RemoveAll();
  incomes.RemoveAll();
  journaling.fingerprintKnown = false;
  mayNeedLaterForm = true;  // until the load's end says otherwise
}

int32_t VLStoreRecords::GetVersion() const {
  if (incomes.GetCount() > 0) return kIncomeVersion;
  if (corporateActions.GetCount() > 0) return kCorporateActionVersion;
  if (manualPrices.GetCount() > 0) return kManualPriceVersion;
  // A store known to hold none in the exact form spares the pass over every position (a save's most costly
  // part after the writing itself).
  for (const auto& item : portfolios) {
    if (!static_cast<const VLPortfolioItem*>(item.get())->baseCurrency.empty()) return kExactVersion;
  }
  if (!mayNeedLaterForm) return kFirstVersion;
  for (const auto& item : positions) {
    if (static_cast<const VLHoldingItem*>(item.get())->NeedsLaterForm()) return kExactVersion;
  }
  return kFirstVersion;
}

SerializeResult VLStoreRecords::Serialize(Archive* ar) {
  if (!ar) return SerializeResult::Failed;
  std::lock_guard guard(lock);
  int32_t version = 0;
  if (SerializeResult rc = SerializeTypeHeader(ar, *this, &version); rc != SerializeResult::Ok) return rc;
  ar->Io(market);
  ar->IoScrambled(marketTime);
  ar->IoScrambled(marketStatus);
  ar->Io(lastQuoteId);
  ar->Io(lastPortfolioId);
  ar->Io(lastPositionId);
  for (ItemList* list : std::initializer_list<ItemList*>{&quotes, &portfolios, &positions}) {
    if (SerializeResult rc = list->Serialize(ar); rc != SerializeResult::Ok) return rc;
  }
  if (version >= kManualPriceVersion) {
    ar->Io(lastManualPriceId);
    if (SerializeResult rc = manualPrices.Serialize(ar); rc != SerializeResult::Ok) return rc;
  }
  if (version >= kCorporateActionVersion) {
    ar->Io(lastCorporateActionId);
    if (SerializeResult rc = corporateActions.Serialize(ar); rc != SerializeResult::Ok) return rc;
  }
  if (version >= kIncomeVersion) {
    ar->Io(lastIncomeId);
    if (SerializeResult rc = incomes.Serialize(ar); rc != SerializeResult::Ok) return rc;
  }
  RebindSymbols();
  return SerializeResult::Ok;
}

void VLStoreRecords::RebindSymbols() {
  const QuoteIndex index = IndexQuotes();
  const ManualQuotes manual = MakeManualQuotes();
  // Whether a position needs the exact form is looked at only while one may: a store known to hold none stays
  // so through a save (a change that brings one says so first, NoteLaterForms).
  const bool look = mayNeedLaterForm;
  bool exact = false;
  for (const auto& item : positions) {
    auto* holding = static_cast<VLHoldingItem*>(item.get());
    exact = exact || (look && holding->NeedsLaterForm());
    if (holding->GetKind() != kHoldingStock) continue;
    auto* stock = static_cast<VLStockHoldingItem*>(holding);
    if (auto found = index.find(stock->quoteId); found != index.end()) {
      // Most are bound already (every save ends here too): only what differs is assigned.
      if (stock->name != found->second->name) {
        stock->name = found->second->name;
        journaling.fingerprintKnown = false;  // a record's image changed outside a change
      }
      const auto byHand = manual.empty() ? manual.end() : manual.find(stock->quoteId);
      const SharedStockInfo& quote = byHand != manual.end() ? byHand->second : found->second->quote;
      if (!stock->quote.SharesWith(quote)) stock->quote = quote;
    }
  }
  if (look) mayNeedLaterForm = exact;
}

void VLStoreRecords::NoteLaterForms(const ChangeRecorder& record) {
  if (mayNeedLaterForm) return;
  std::unordered_set<uint32_t> noted;
  for (const JournalRecordChange& change : record.Records()) {
    if (change.kind == JournalRecordKind::Position) noted.insert(change.id);
  }
  // A few positions are found from the end of the list, where new ones are; many (a split, an import) in one
  // pass over the list, which costs less than the index a finder would build for them.
  if (noted.size() <= kSearchedLookups) {
    const ChangeRecorder::Finder find = RecordFinder();
    for (uint32_t id : noted) {
      const auto* holding = static_cast<const VLHoldingItem*>(find(JournalRecordKind::Position, id));
      if (holding && holding->NeedsLaterForm()) {
        mayNeedLaterForm = true;
        return;
      }
    }
    return;
  }
  for (const auto& item : positions) {
    if (noted.count(item->id) && static_cast<const VLHoldingItem*>(item.get())->NeedsLaterForm()) {
      mayNeedLaterForm = true;
      return;
    }
  }
}

VLStoreRecords::ManualQuotes VLStoreRecords::MakeManualQuotes() {
  ManualQuotes made;
  if (manualPrices.GetCount() == 0) {
    manualQuoteCache.clear();
    return made;
  }
  // The newest price of each symbol; the list holds a symbol's prices in any order.
  std::unordered_map<std::string, const VLManualPriceItem*> newest;
  for (const auto& item : manualPrices) {
    const auto* price = static_cast<const VLManualPriceItem*>(item.get());
    const VLManualPriceItem*& kept = newest[AsciiUpper(price->name)];
    if (!kept || price->date > kept->date) kept = price;
  }
  std::unordered_map<uint32_t, ManualQuoteCache> next;
  for (const auto& item : quotes) {
    const auto* quote = static_cast<const VLStockInfoItem*>(item.get());
    const auto found = newest.find(AsciiUpper(quote->name));
    if (found == newest.end() || !QuoteLacksPrice(*quote->quote)) continue;
    // The made quote is kept while its cached quote and its price stay the same, so that the positions
    // keep sharing one record from save to save.
    const VLManualPriceItem& price = *found->second;
    auto kept = manualQuoteCache.find(quote->id);
    ManualQuoteCache entry;
    if (kept != manualQuoteCache.end() && kept->second.source.SharesWith(quote->quote) &&
        kept->second.priceId == price.id && kept->second.date == price.date &&
        kept->second.price == price.price) {
      entry = kept->second;
    } else {
      entry = {quote->quote, price.id, price.date, price.price,
               SharedStockInfo(ManualQuote(*quote->quote, price))};
    }
    made.emplace(quote->id, entry.made);
    next.emplace(quote->id, std::move(entry));
  }
  manualQuoteCache = std::move(next);
  return made;
}

VLStoreRecords::QuoteIndex VLStoreRecords::IndexQuotes() const {
  QuoteIndex index;
  index.reserve(static_cast<size_t>(quotes.GetCount()));
  for (const auto& item : quotes) index.emplace(item->id, static_cast<VLStockInfoItem*>(item.get()));
  return index;
}

// ---- connections and listeners -------------------------------------------------------------------------

VLDatabaseConn* VLChangeRunner::Connect(const std::shared_ptr<IVLCommandWindow>& window,
                                        uint32_t portfolioCmd, uint32_t positionCmd, uint32_t quoteCmd) {
  if (!window) return nullptr;
  if (VLDatabaseConn* known = notifier.Find(window.get())) return known;
  VLDatabaseConn* made = notifier.Add(window, portfolioCmd, positionCmd, quoteCmd);
  if (notifier.Slots() == 1) {
    std::lock_guard guard(lock);
    lastOpenCode = Open();
    if (lastOpenCode != DbResult::Ok) {
      notifier.Clear();
      return nullptr;
    }
  }
  return made;
}

VLResult VLChangeRunner::Disconnect(VLDatabaseConn* conn) {
  return notifier.Remove(conn);
}

void VLChangeRunner::AddListener(IVLDatabaseListener* listener) {
  notifier.AddListener(listener);
}

void VLChangeRunner::RemoveListener(IVLDatabaseListener* listener) {
  notifier.RemoveListener(listener);
}

bool VLChangeRunner::IsConnected(const VLDatabaseConn* conn) const {
  return notifier.IsConnected(conn);
}

VLResult VLChangeRunner::CheckChange(const VLDatabaseConn* conn) const {
  if (!IsConnected(conn) || refresh.running) return VLResult::Failed;
  return VLResult::Ok;
}

VLResult VLChangeRunner::BeginFileChange(Notice& reload) {
  const std::vector<uint32_t> before = PortfolioIds();
  bool reloaded = false;
  const VLResult rc = FromDbResult(BeginChange(reloaded));
  if (rc == VLResult::Ok && reloaded) reload = VLChangeNotifier::ReloadNotice(before, PortfolioIds());
  return rc;
}

VLResult VLChangeRunner::SaveChange() {
  SetModified();
  return FromDbResult(EndChange());
}

VLResult VLChangeRunner::WriteBackFile(VLDatabaseConn* conn) {
  std::lock_guard guard(lock);
  if (VLResult rc = CheckChange(conn); rc != VLResult::Ok) return rc;
  return FromDbResult(WriteBack());
}

std::vector<uint32_t> VLStoreRecords::PortfolioIds() const {
  std::vector<uint32_t> ids;
  ids.reserve(static_cast<size_t>(portfolios.GetCount()));
  for (const auto& item : portfolios) ids.push_back(item->id);
  return ids;
}

VLResult VLChangeRunner::ReloadIfChanged() {
  Notice reload;
  {
    std::lock_guard guard(lock);
    if (!IsLoaded()) return VLResult::Failed;
    const std::vector<uint32_t> before = PortfolioIds();
    bool reloaded = false;
    const DbResult rc = ReloadIfFileChanged(reloaded, kReloadLockWaitMs);
    if (rc == DbResult::Busy) return VLResult::Busy;
    if (rc != DbResult::Ok) return VLResult::Failed;
    if (!reloaded) return VLResult::Ok;
    reload = VLChangeNotifier::ReloadNotice(before, PortfolioIds());
  }
  notifier.Notify(reload);
  return VLResult::Ok;
}

VLResult VLChangeRunner::RunChange(VLDatabaseConn* conn, NoticeKind kind,
                                   const std::function<VLResult(Change& change)>& apply) {
  Change change{kind, {}, ChangeRecorder(journaling.imager, RecordFinder())};
  Notice reload;
  VLResult rc = VLResult::Ok;
  {
    std::lock_guard guard(lock);
    if (rc = CheckChange(conn); rc != VLResult::Ok) return rc;
    if (rc = BeginFileChange(reload); rc != VLResult::Ok) return rc;
    journaling.lastSequence = 0;
    journaling.lastChangeNotJournaled = false;
    rc = apply(change);
    if (rc == VLResult::Ok && !change.unchanged) {
      NoteLaterForms(change.record);
      rc = SaveKeepingLock();
      JournalChange(change.record, rc == VLResult::Ok);
      ReleaseChange();
    } else {
      (void)EndChange();  // nothing to write, so it only releases the lock; apply's answer stands
    }
  }
  if (!reload.events.empty()) notifier.Notify(reload);
  if (rc == VLResult::Ok && !change.unchanged) notifier.Notify(Notice{change.kind, std::move(change.events)});
  return rc;
}

VLResult VLChangeRunner::SaveKeepingLock() {
  SetModified();
  return FromDbResult(Save());
}

// ---- lookups ---------------------------------------------------------------------------------------------

VLPortfolioItem* VLStoreRecords::FindPortfolio(uint32_t id) const {
  return id ? static_cast<VLPortfolioItem*>(portfolios.FindById(id)) : nullptr;
}

VLHoldingItem* VLStoreRecords::FindPosition(uint32_t id) const {
  return id ? static_cast<VLHoldingItem*>(positions.FindById(id)) : nullptr;
}

VLStockInfoItem* VLStoreRecords::FindQuote(uint32_t id) const {
  return id ? static_cast<VLStockInfoItem*>(quotes.FindById(id)) : nullptr;
}

void VLStoreRecords::Touch(uint32_t portfolioId) {
  if (VLPortfolioItem* portfolio = FindPortfolio(portfolioId)) portfolio->modified = Now();
}

std::string VLStoreRecords::PortfolioName(uint32_t id) const {
  const VLPortfolioItem* portfolio = FindPortfolio(id);
  return portfolio ? portfolio->name : "portfolio " + std::to_string(id);
}

// ---- portfolios -----------------------------------------------------------------------------------------

VLResult VLDatabase::GetPortfolios(VLDatabaseConn* conn, VLPortfolioItemList& list) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  list.RemoveAll();
  for (const auto& item : portfolios) {
    // Before the first entry whose name is greater byte by byte; equal names keep database order.
    int at = 0;
    while (at < list.GetCount() && list.GetAt(at)->name.compare(item->name) <= 0) ++at;
    list.InsertAt(at, item->Clone());
  }
  return VLResult::Ok;
}

VLResult VLDatabase::GetPortfolio(VLDatabaseConn* conn, uint32_t id, VLPortfolioItem& portfolio) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  const VLPortfolioItem* stored = FindPortfolio(id);
  if (!stored) return VLResult::NotFound;
  if (!stored->CopyTo(&portfolio)) return VLResult::Failed;
  return VLResult::Ok;
}

VLResult VLDatabase::AddPortfolio(VLDatabaseConn* conn, VLPortfolioItem& portfolio) {
  return RunChange(conn, NoticeKind::Portfolios, [&](Change& change) -> VLResult {
    if (!portfolio.baseCurrency.empty() && !IsBaseCurrencyForm(portfolio.baseCurrency))
      return VLResult::Failed;
    for (const auto& item : portfolios) {
      if (EqualNoCase(item->name, portfolio.name)) return VLResult::NameClash;
    }
    if (lastPortfolioId == std::numeric_limits<uint32_t>::max()) return VLResult::StoreFull;
    auto stored = std::make_unique<VLPortfolioItem>();
    if (!portfolio.CopyTo(stored.get())) return VLResult::Failed;
    change.record.Portfolio(lastPortfolioId + 1);
    stored->id = ++lastPortfolioId;
    stored->created = Now();
    portfolio.id = stored->id;
    change.record.SetText("Add portfolio " + stored->name);
    portfolios.Add(std::move(stored));
    change.events.emplace_back(portfolio.id, 0, VLDatabaseEvent::kPortfolioAdded);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::ModifyPortfolio(VLDatabaseConn* conn, const VLPortfolioItem& portfolio) {
  return RunChange(conn, NoticeKind::Portfolios, [&](Change& change) -> VLResult {
    if (!portfolio.baseCurrency.empty() && !IsBaseCurrencyForm(portfolio.baseCurrency))
      return VLResult::Failed;
    for (const auto& item : portfolios) {
      if (item->id != portfolio.id && EqualNoCase(item->name, portfolio.name)) return VLResult::NameClash;
    }
    VLPortfolioItem* stored = FindPortfolio(portfolio.id);
    if (!stored) return VLResult::NotFound;
    change.record.Portfolio(*stored);
    change.record.SetText(stored->name == portfolio.name
                              ? "Change portfolio " + stored->name
                              : "Rename portfolio " + stored->name + " to " + portfolio.name);
    if (!portfolio.CopyTo(stored)) return VLResult::Failed;
    change.events.emplace_back(portfolio.id, 0, VLDatabaseEvent::kPortfolioModified);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::DeletePortfolio(VLDatabaseConn* conn, uint32_t id) {
  return RunChange(conn, NoticeKind::Portfolios, [&](Change& change) -> VLResult {
    VLPortfolioItem* portfolio = FindPortfolio(id);
    if (!portfolio) return VLResult::NotFound;
    size_t held = 0;
    for (const auto& item : positions) {
      if (static_cast<const VLHoldingItem&>(*item).ownerPortfolioId != id) continue;
      change.record.Position(*item);
      ++held;
    }
    // Its income goes with it (and comes back with an undo).
    for (const auto& item : incomes) {
      if (static_cast<const VLIncomeItem&>(*item).portfolioId == id)
        change.record.Record(JournalRecordKind::Income, item->id);
    }
    change.record.Portfolio(*portfolio);
    change.record.SetText(PortfolioDeletionText(portfolio->name, held));
    positions.RemoveIf(
        [id](const Item& item) { return static_cast<const VLHoldingItem&>(item).ownerPortfolioId == id; });
    incomes.RemoveIf(
        [id](const Item& item) { return static_cast<const VLIncomeItem&>(item).portfolioId == id; });
    DropUnusedQuotes();
    portfolios.Remove(id);
    change.events.emplace_back(id, 0, VLDatabaseEvent::kPortfolioDeleted);
    return VLResult::Ok;
  });
}

void VLStoreRecords::CopyAll(VLStockInfoItemList& quoteList, VLPortfolioItemList& portfolioList,
                             VLHoldingItemList& positionList, VLManualPriceItemList* priceList) {
  std::lock_guard guard(lock);
  quoteList.RemoveAll();
  portfolioList.RemoveAll();
  positionList.RemoveAll();
  // A record whose id an earlier one of its list already has (only a damaged file holds such) is left
  // out, as ItemList::Add would refuse it; the ids are checked once, in a set.
  const auto copy = [](const ItemList& from, ItemList& to) {
    std::unordered_set<uint32_t> seen;
    seen.reserve(static_cast<size_t>(from.GetCount()));
    for (const auto& item : from) {
      if (item->id != 0 && !seen.insert(item->id).second) continue;
      to.InsertAt(to.GetCount(), item->Clone());
    }
  };
  copy(quotes, quoteList);
  copy(portfolios, portfolioList);
  copy(positions, positionList);
  if (priceList) {
    priceList->RemoveAll();
    copy(manualPrices, *priceList);
  }
}
