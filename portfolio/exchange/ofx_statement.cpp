#include "portfolio/exchange/ofx_statement.h"

#include <libofx/libofx.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>

#include "framework/private_temp_folder.h"
#include "framework/text_util.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/exchange/ofx_rules.h"
#include "portfolio/exchange/ofx_scan.h"
#include "portfolio/exchange/split_rows.h"
#include "portfolio/fx/fx_rate.h"
#include "portfolio/performance/performance_lots.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/currency_units.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"

namespace {

// What libofx reports of one transaction.
struct LibofxTransaction {
  bool investment = false;
  InvTransactionType type = OFX_BUYOTHER;
  std::string fitId;
  std::string uniqueId;
  std::string uniqueIdType;
  bool knownSecurity = false;
  std::string ticker;
  std::string securityName;
  std::string memo;
};

struct LibofxResult {
  std::vector<LibofxTransaction> transactions;
  int code = 0;
  std::string messages;  // what libofx wrote on the error stream
};

int OnTransaction(const OfxTransactionData data, void* user) {
  LibofxTransaction t;
  t.investment = data.invtransactiontype_valid;
  t.type = data.invtransactiontype;
  if (data.fi_id_valid) t.fitId = data.fi_id;
  if (data.unique_id_valid) t.uniqueId = data.unique_id;
  if (data.unique_id_type_valid) t.uniqueIdType = data.unique_id_type;
  if (data.security_data_valid && data.security_data_ptr) {
    t.knownSecurity = true;
    const OfxSecurityData& security = *data.security_data_ptr;
    if (security.ticker_valid) t.ticker = security.ticker;
    if (security.secname_valid) t.securityName = security.secname;
  }
  if (data.memo_valid) t.memo = data.memo;
  static_cast<LibofxResult*>(user)->transactions.push_back(std::move(t));
  return 0;
}

// Sends what is written on the error stream (file descriptor 2) to a temporary file while it lives: libofx
// and the SGML parser inside it report there and nowhere else.
class ErrorStreamCapture {
 public:
  ErrorStreamCapture() {
    std::fflush(stderr);
    file = std::tmpfile();
    saved = file ? ::dup(STDERR_FILENO) : -1;
    if (saved >= 0 && ::dup2(::fileno(file), STDERR_FILENO) < 0) {
      ::close(saved);
      saved = -1;
    }
  }
  ~ErrorStreamCapture() {
    Restore();
    if (file) std::fclose(file);
  }
  ErrorStreamCapture(const ErrorStreamCapture&) = delete;
  ErrorStreamCapture& operator=(const ErrorStreamCapture&) = delete;

  // Puts the error stream back and returns what was written meanwhile.
  std::string Take() {
    Restore();
    std::string text;
    if (!file) return text;
    std::rewind(file);
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() < 1024 * 1024)
      text.append(buffer, n);
    return text;
  }

 private:
  void Restore() {
    if (saved < 0) return;
    std::fflush(stderr);
    (void)::dup2(saved, STDERR_FILENO);
    ::close(saved);
    saved = -1;
  }
  std::FILE* file = nullptr;
  int saved = -1;
};

LibofxResult RunLibofx(const std::string& path) {
  // Only errors are wanted, and those are taken from the error stream; the rest would be noise.
  ofx_PARSER_msg = ofx_DEBUG_msg = ofx_DEBUG1_msg = ofx_DEBUG2_msg = ofx_DEBUG3_msg = ofx_DEBUG4_msg =
      ofx_DEBUG5_msg = ofx_STATUS_msg = ofx_INFO_msg = ofx_WARNING_msg = 0;
  ofx_ERROR_msg = 1;
  LibofxResult result;
  // libofx copies the statement to a temporary file of its own; in a folder of ours, which goes on every
  // path, and which the next reading removes should this process be killed meanwhile.
  PrivateTempFolder temp("vellumar-ofx");
  const TempFolderForChildren scoped(temp.Path());
  ErrorStreamCapture capture;
  LibofxContextPtr context = libofx_get_new_context();
  ofx_set_transaction_cb(context, OnTransaction, &result);
  result.code = libofx_proc_file(context, path.c_str(), OFX);
  libofx_free_context(context);
  result.messages = capture.Take();
  return result;
}

// The SGML parser's errors ("FILE:LINE:COLUMN:E: TEXT"), with the lines of the statement file. libofx hands
// the parser a copy of the file: for the XML syntax line for line, for SGML from the <OFX> line on.
void ParserProblems(const LibofxResult& result, const OfxScan& scan, ImportProblems& problems) {
  size_t start = 0;
  while (start < result.messages.size()) {
    size_t end = result.messages.find('\n', start);
    if (end == std::string::npos) end = result.messages.size();
    const std::string line = result.messages.substr(start, end - start);
    start = end + 1;
    const size_t marker = line.find(":E: ");
    if (marker == std::string::npos) continue;
    const size_t columnColon = line.rfind(':', marker - 1);
    const size_t lineColon = columnColon == std::string::npos || columnColon == 0
                                 ? std::string::npos
                                 : line.rfind(':', columnColon - 1);
    int at = 0;
    if (lineColon != std::string::npos) {
      const TypedNumber n = ReadTypedWholeNumber(line.substr(lineColon + 1, columnColon - lineColon - 1));
      if (n.IsOk() && n.value < 100000000) at = static_cast<int>(n.value) + (scan.xml ? 0 : scan.ofxLine - 1);
    }
    problems.push_back(
        {at, ImportField::None, "the statement breaks the OFX rules: " + line.substr(marker + 4)});
  }
  if (result.code != 0 && problems.empty()) {
    std::string first = result.messages.substr(0, result.messages.find('\n'));
    problems.push_back(
        {0, ImportField::None,
         "libofx could not read the statement" + (first.empty() ? std::string() : " (" + first + ")")});
  }
}

// OFX allows a decimal comma; the import reads a point.
std::string OfxNumber(std::string text) {
  if (text.find('.') == std::string::npos) std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

std::string WithoutSign(std::string text) {
  (void)DropSign(text);
  return text;
}

// Commission and fees together, exactly, to the places of a price (the row rounds the sum to the cent,
// once); the text that fails when either is not an amount.
// The sum of the amounts of `elements` (each by its magnitude when `magnitudes`); an amount that does not
// read is given as written, for the row's checks to name.
std::string SumOf(const OfxScannedTransaction& block, std::initializer_list<const char*> elements,
                  bool magnitudes) {
  int64_t total = 0;
  for (const char* element : elements) {
    const std::string text = OfxNumber(block.Value(element));
    const FileNumber number = ReadFileNumber(text, FileNumberFormat(false), FileNumberKind::Price);
    if (number.status == FileNumberStatus::Empty) continue;
    const TypedNumber units = ReadTypedDecimal(number.entryText, UnitPrice::kPlaces);
    if (number.status != FileNumberStatus::Ok || !units.IsOk() ||
        __builtin_add_overflow(total, magnitudes && units.value < 0 ? -units.value : units.value, &total))
      return text;
  }
  return DecimalUnitsText(total, UnitPrice::kPlaces, 2);
}

std::string Costs(const OfxScannedTransaction& block) {
  return SumOf(block, {"COMMISSION", "FEES"}, false);
}

bool IsStockOrFundTrade(const std::string& aggregate) {
  return aggregate == "BUYSTOCK" || aggregate == "BUYMF" || aggregate == "SELLSTOCK" || aggregate == "SELLMF";
}

// A statement's number as a plain decimal: "+0000000000100.00000" is 100, "-00000000002571.4500" -2571.45.
std::string PlainOfxNumber(const std::string& written) {
  std::string text = OfxNumber(std::string(TrimBlanks(written)));
  std::string sign;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    if (text[0] == '-') sign = "-";
    text.erase(0, 1);
  }
  const size_t dot = text.find('.');
  std::string whole = text.substr(0, dot);
  std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
  while (whole.size() > 1 && whole[0] == '0') whole.erase(0, 1);
  while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
  if (whole.empty()) whole = "0";
  return sign + whole + (fraction.empty() ? "" : "." + fraction);
}

// "20120720" (and a time after it) as "2012-07-20"; anything else as written.
std::string OfxDayText(const std::string& written) {
  CalendarDate day;
  if (written.size() >= 8 && ReadPatternDate(written.substr(0, 8), "YYYYMMDD", day)) return IsoDateText(day);
  return written;
}

// The securities of the statement's list by their id (CUSIP, ISIN...).
std::map<std::string, const OfxScannedTransaction*> SecuritiesById(const OfxScan& scan) {
  std::map<std::string, const OfxScannedTransaction*> byId;
  for (const OfxScannedTransaction& security : scan.securities)
    byId.emplace(security.Value("UNIQUEID"), &security);
  return byId;
}

// The symbol a security of the list goes by: its ticker, else its id (a fund without a ticker).
std::string TickerOf(const std::map<std::string, const OfxScannedTransaction*>& securities,
                     const std::string& id) {
  const auto security = securities.find(id);
  const std::string ticker = security == securities.end() ? std::string() : security->second->Value("TICKER");
  return ticker.empty() ? id : ticker;
}

// What a transaction that is no purchase or sale of stock or fund units is, as the listing names it.
std::string TransactionKindOf(const OfxScannedTransaction& block) {
  static const std::map<std::string, const char*> kKinds = {
      {"REINVEST", "reinvestment"},
      {"RETOFCAP", "return-of-capital"},
      {"SPLIT", "split"},
      {"TRANSFER", "transfer"},
      {"BUYOPT", "option"},
      {"SELLOPT", "option"},
      {"CLOSUREOPT", "option"},
      {"BUYDEBT", "debt"},
      {"SELLDEBT", "debt"},
      {"BUYOTHER", "other security"},
      {"SELLOTHER", "other security"},
      {"INVBANKTRAN", "bank transaction"},
      {"MARGININTEREST", "margin interest"},
      {"INVEXPENSE", "expense"},
      {"JRNLFUND", "journal"},
      {"JRNLSEC", "journal"},
  };
  if (block.aggregate == "INCOME") {
    static const std::map<std::string, const char*> kIncome = {{"DIV", "dividend"},
                                                               {"INTEREST", "interest"},
                                                               {"CGLONG", "capital-gain"},
                                                               {"CGSHORT", "capital-gain"}};
    const auto it = kIncome.find(std::string(TrimBlanks(block.Value("INCOMETYPE"))));
    return it == kIncome.end() ? "income" : it->second;
  }
  const auto it = kKinds.find(block.aggregate);
  return it == kKinds.end() ? AsciiLower(block.aggregate) : it->second;
}

SkippedRow SkippedTransaction(const OfxScannedTransaction& block,
                              const std::map<std::string, const OfxScannedTransaction*>& securities) {
  SkippedRow row;
  row.line = block.line;
  row.kind = TransactionKindOf(block);
  row.symbol = TickerOf(securities, block.Value("UNIQUEID"));
  const std::string day = block.Value("DTTRADE");
  row.date = OfxDayText(day.empty() ? block.Value("DTPOSTED") : day);
  const std::string amount = block.Value("TOTAL");
  row.amount = PlainOfxNumber(amount.empty() ? block.Value("TRNAMT") : amount);
  if (row.amount == "0" && amount.empty() && block.Value("TRNAMT").empty()) row.amount.clear();
  row.reason = "only purchases and sales of stock and fund units become positions";
  const std::string fitId = block.Value("FITID");
  if (!fitId.empty()) row.reason += " (FITID " + fitId + ")";
  return row;
}

// The currency a position of `ticker` bought in a statement of `statementCurrency` keeps: the statement's,
// when it is not the one the symbol is quoted in anyway (a position keeps no currency of its own then, as
// before).
std::string PositionCurrencyOf(std::string_view statementCurrency, const std::string& ticker) {
  const std::string currency(TrimBlanks(statementCurrency));
  return currency.empty() || currency == CurrencyOfSymbol(ticker) ? std::string() : currency;
}

// The currency of a trade's <CURRENCY> aggregate, in which its amounts are; empty without one (an
// <ORIGCURRENCY> only names what the amounts, already in the statement's currency, were before).
std::string ForeignCurrency(const OfxScannedTransaction& block) {
  return block.aggregates.count("CURRENCY") ? block.Value("CURSYM") : std::string();
}

// The currency the trade's prices are in, as PositionCurrencyOf says: the statement's, or the one its
// <CURRENCY> aggregate names (CURSYM), in which a trade's amounts then are.
std::string TradeCurrency(const OfxScan& scan, const OfxScannedTransaction& block,
                          const std::string& ticker) {
  const std::string own(TrimBlanks(ForeignCurrency(block)));
  if (!own.empty()) return PositionCurrencyOf(own, ticker);
  if (block.statement < 0 || static_cast<size_t>(block.statement) >= scan.balances.size()) return {};
  return PositionCurrencyOf(scan.balances[static_cast<size_t>(block.statement)].currency, ticker);
}

// A purchase in another currency than the statement's (<CURRENCY> with CURSYM and CURRATE, the rate that
// turns its amounts into the statement's currency): the broker's rate, kept against the statement's
// currency as units of CURSYM per one of it (1 / CURRATE). Nothing for a rate that does not read: the
// reference rate of the day stands in then.
void AddTradeRate(const OfxScan& scan, const OfxScannedTransaction& block, RowTexts& texts) {
  if (block.statement < 0 || static_cast<size_t>(block.statement) >= scan.balances.size()) return;
  const std::string statementCurrency(
      TrimBlanks(scan.balances[static_cast<size_t>(block.statement)].currency));
  const std::string own(TrimBlanks(ForeignCurrency(block)));
  FxRate rate, perStatementUnit;
  if (own.empty() || own == statementCurrency || !IsBaseCurrencyForm(statementCurrency) ||
      !ParseFxRate(TrimBlanks(block.Value("CURRATE")), rate) || !InverseRate(rate, perStatementUnit))
    return;
  At(texts, ImportField::RateCurrency) = statementCurrency;
  At(texts, ImportField::BuyRate) = FxRateText(perStatementUnit);
}

bool IsPurchase(InvTransactionType type) {
  return type == OFX_BUYSTOCK || type == OFX_BUYMF;
}
bool IsSale(InvTransactionType type) {
  return type == OFX_SELLSTOCK || type == OFX_SELLMF;
}
const char* AggregateOf(InvTransactionType type) {
  switch (type) {
    case OFX_BUYSTOCK:
      return "BUYSTOCK";
    case OFX_BUYMF:
      return "BUYMF";
    case OFX_SELLSTOCK:
      return "SELLSTOCK";
    default:
      return "SELLMF";
  }
}

struct Trade {
  int line = 0;
  std::string which;     // " (FITID ..., trade date ...)": a line alone says little in a file of one line
  bool opening = false;  // shares held before the statement, from its holdings list
  int64_t day = 0;
  int64_t second = -1;  // the time of day when the statement gives one; -1 (first of the day) when not
  RowKind kind = RowKind::Stock;
  RowTexts texts;
  int income = -1;  // a reinvestment's purchase: its payment, an index into the statement's IncomeRows
};

// A payment of income the statement reports (INCOME, REINVEST, RETOFCAP), in the form of a row.
struct IncomeRow {
  int line = 0;
  std::string which;  // " (FITID ...)"
  IncomeKind kind = IncomeKind::Dividend;
  RowTexts texts;
  std::optional<size_t> reinvestStep;  // the step of its purchase, once added
};

// A statement lists its transactions in any order; a sale needs the purchases before it. By day, then by
// the time of day where the statement gives one, then purchases before sales, then as listed.
bool TradeBefore(const Trade& a, const Trade& b) {
  if (a.day != b.day) return a.day < b.day;
  if (a.second != b.second) return a.second < b.second;
  return a.kind == RowKind::Stock && b.kind == RowKind::Sale;
}

// A cash position or margin debt of an account that the statement now says is 0: set to 0 where the
// portfolio has it, nothing where it does not (the resolver counts that as already there). Not a row of
// the file, so not checked as one.
void AddZeroBalance(ImportReading& reading, const ImportOptions& options, int line, bool debt,
                    const std::string& description, int64_t asOf) {
  if ((debt && !options.margin) || (!debt && !options.cash)) return;
  ImportStep step;
  step.kind = ImportStepKind::SetBalance;
  step.line = line;
  step.portfolio = reading.plan.PortfolioIndex(std::string(TrimBlanks(options.targetPortfolio)));
  std::unique_ptr<VLAmountHoldingItem> holding;
  if (debt) {
    holding = std::make_unique<VLMarginHoldingItem>();
  } else {
    holding = std::make_unique<VLCashHoldingItem>();
  }
  holding->name = description;
  holding->balanceDate = asOf;
  step.holding = std::move(holding);
  reading.plan.steps.push_back(std::move(step));
}

// The day the statement's balances stand at, as positions store days; 0 when it gives none that reads.
int64_t BalanceDay(const OfxScannedBalance& balance) {
  const std::optional<OfxTradeTime> when = ReadOfxTradeTime(balance.asOf);
  CalendarDate day;
  if (!when || !ReadPatternDate(when->date, "YYYYMMDD", day)) return 0;
  if (DayNumberOf(day) < DayNumberOf(kEarliestDate)) return 0;
  return StoredDateOf(day);
}

// One balance of the statement: the cash, or a margin debt when negative; the other of the two, which an
// earlier statement of the account may have set, goes to 0.
void AddBalance(ImportReading& reading, const ImportOptions& options, RowSink& sink,
                const OfxScannedBalance& balance) {
  const std::string amount = OfxNumber(balance.availableCash);
  const FileNumber number = ReadFileNumber(amount, FileNumberFormat(false), FileNumberKind::Money);
  if (number.status == FileNumberStatus::Empty) return;
  const TypedNumber cents = ReadTypedAmount(number.entryText);
  const bool zero = cents.IsOk() && cents.value == 0;
  const bool debt = !zero && !amount.empty() && amount[0] == '-';
  const std::string account =
      "account " + balance.accountId + (balance.brokerId.empty() ? "" : " at " + balance.brokerId);
  const int64_t asOf = BalanceDay(balance);
  if (!zero) {
    RowTexts texts;
    At(texts, ImportField::Amount) = debt ? WithoutSign(amount) : amount;
    At(texts, ImportField::Comment) = (debt ? "Margin, " : "Cash, ") + account;
    const size_t steps = reading.plan.steps.size();
    if (!sink.Add(balance.line, debt ? RowKind::MarginBalance : RowKind::CashBalance, texts)) return;
    if (reading.plan.steps.size() > steps && reading.plan.steps.back().holding) {
      static_cast<VLAmountHoldingItem&>(*reading.plan.steps.back().holding).balanceDate = asOf;
    }
  }
  if (zero || debt) AddZeroBalance(reading, options, balance.line, false, "Cash, " + account, asOf);
  if (zero || !debt) AddZeroBalance(reading, options, balance.line, true, "Margin, " + account, asOf);
}

// The row of one purchase or sale; false with a problem when its units or its date cannot be taken.
bool ReadTrade(const LibofxTransaction& t, const OfxScannedTransaction& block, Trade& trade,
               ImportProblems& problems) {
  trade.line = block.line;
  trade.which = " (FITID " + block.Value("FITID") +
                (block.Value("DTTRADE").empty() ? "" : ", trade date " + OfxDayText(block.Value("DTTRADE"))) +
                ")";
  const bool sale = IsSale(t.type);
  trade.kind = sale ? RowKind::Sale : RowKind::Stock;
  const std::string units = OfxNumber(block.Value("UNITS"));
  // A sale's units are negative as the standard has them (some brokers write them positive); a purchase
  // of negative units is no purchase at all.
  if (!sale && !units.empty() && units[0] == '-') {
    problems.push_back(
        {block.line, ImportField::Quantity, "a purchase of negative units ('" + units + "')" + trade.which});
    return false;
  }
  const std::string written = block.Value("DTTRADE");
  const std::optional<OfxTradeTime> when = ReadOfxTradeTime(written);
  if (!when) {
    problems.push_back({block.line, sale ? ImportField::SaleDate : ImportField::Date,
                        written.empty()
                            ? std::string("the trade has no trade date (DTTRADE)")
                            : "the trade date '" + written +
                                  "' is not an OFX date (YYYYMMDD, then the time if any)" + trade.which});
    return false;
  }
  RowTexts& texts = trade.texts;
  At(texts, ImportField::Symbol) = t.ticker;
  At(texts, ImportField::Quantity) = WithoutSign(units);
  At(texts, sale ? ImportField::SalePrice : ImportField::Price) = OfxNumber(block.Value("UNITPRICE"));
  At(texts, sale ? ImportField::SaleCommission : ImportField::Commission) = Costs(block);
  At(texts, sale ? ImportField::SaleDate : ImportField::Date) = when->date;
  if (!sale) At(texts, ImportField::Comment) = t.memo;
  CalendarDate day;
  if (ReadPatternDate(when->date, "YYYYMMDD", day)) trade.day = DayNumberOf(day);
  trade.second = when->secondsOfDay.value_or(-1);
  return true;
}

// The shares a trade row buys (positive) or sells (negative), in units of a Quantity; 0 when they do not read
// (the row's checks say so).
int64_t SignedUnits(const Trade& trade) {
  const TypedNumber units = ReadTypedDecimal(WithoutSign(At(trade.texts, ImportField::Quantity)),
                                             Quantity::kPlaces, FileNumberFormat(false));
  if (!units.IsOk()) return 0;
  return trade.kind == RowKind::Sale ? -units.value : units.value;
}

// What the holdings lists say was held before each statement's first trade, as purchases dated the
// statement's start: each security's units at the end less what the statement's trades of it bought and
// sold. A security traded but no longer listed was held in none at the end; its price is then the security
// list's, else the price of its first trade.
// Units of `ticker` traded on `day`, in the shares after every split the statement reports later.
Int128 InSharesAtEnd(Int128 units, const std::string& ticker, int64_t day,
                     const std::vector<ImportAction>& splits) {
  for (const ImportAction& split : splits) {
    if (EqualNoCase(split.action.name, ticker) && DayNumberOfStoredDate(split.action.exDate) > day)
      units = units * split.action.newShares / split.action.oldShares;
  }
  return units;
}

std::vector<Trade> OpeningTrades(const OfxScan& scan, const std::vector<Trade>& trades,
                                 const std::vector<std::string>& tradeSymbols,
                                 const std::map<std::string, const OfxScannedTransaction*>& securities,
                                 const std::vector<ImportAction>& splits) {
  std::vector<Trade> opening;
  if (scan.positions.empty() || scan.balances.empty()) return opening;  // no holdings list: nothing is known
  struct Holding {
    int64_t end = 0;    // units at the statement's end
    Int128 traded = 0;  // bought less sold in it, in the shares at its end
    std::string price;  // per unit
    int line = 0;
  };
  std::map<std::string, Holding> bySymbol;
  // The security list's price of each symbol, for one traded but no longer held.
  std::map<std::string, std::string> listedPrice;
  for (const auto& [id, security] : securities)
    listedPrice.emplace(TickerOf(securities, id), security->Value("UNITPRICE"));
  for (const OfxScannedTransaction& position : scan.positions) {
    if (position.aggregate != "POSSTOCK" && position.aggregate != "POSMF") continue;
    const TypedNumber units =
        ReadTypedDecimal(OfxNumber(position.Value("UNITS")), Quantity::kPlaces, FileNumberFormat(false));
    if (!units.IsOk()) continue;
    Holding& holding = bySymbol[TickerOf(securities, position.Value("UNIQUEID"))];
    holding.end += units.value;
    holding.price = OfxNumber(position.Value("UNITPRICE"));
    holding.line = position.line;
  }
  for (size_t i = 0; i < trades.size(); ++i) {
    Holding& holding = bySymbol[tradeSymbols[i]];
    holding.traded += InSharesAtEnd(SignedUnits(trades[i]), tradeSymbols[i], trades[i].day, splits);
    if (holding.line == 0) {
      holding.line = trades[i].line;
      const auto found = listedPrice.find(tradeSymbols[i]);
      const std::string listed = found == listedPrice.end() ? std::string() : found->second;
      const ImportField price = trades[i].kind == RowKind::Sale ? ImportField::SalePrice : ImportField::Price;
      holding.price = OfxNumber(listed.empty() ? At(trades[i].texts, price) : listed);
    }
  }
  const OfxScannedBalance& statement = scan.balances.front();
  const std::optional<OfxTradeTime> start = ReadOfxTradeTime(statement.start);
  CalendarDate day;
  if (!start || !ReadPatternDate(start->date, "YYYYMMDD", day)) return opening;
  for (const auto& [ticker, holding] : bySymbol) {
    // Held at the start, in the shares of then: the splits of the statement taken back.
    const Int128 atEnd = holding.end - holding.traded;
    const Int128 scale = InSharesAtEnd(Quantity::kScale, ticker, DayNumberOf(day), splits);
    if (atEnd <= 0 || ticker.empty() || scale <= 0 || atEnd * Quantity::kScale % scale != 0) continue;
    const Int128 atStart = atEnd * Quantity::kScale / scale;
    if (atStart > INT64_MAX) continue;
    const auto before = static_cast<int64_t>(atStart);
    Trade trade;
    trade.line = holding.line;
    trade.which = " (" + ticker + " held before the statement)";
    trade.day = DayNumberOf(day);
    trade.kind = RowKind::Stock;
    trade.opening = true;
    At(trade.texts, ImportField::Symbol) = ticker;
    At(trade.texts, ImportField::Quantity) = DecimalUnitsText(before, Quantity::kPlaces, 0);
    At(trade.texts, ImportField::Price) = holding.price;
    At(trade.texts, ImportField::Date) = start->date;
    At(trade.texts, ImportField::Comment) = "Held at the start of the statement (from its holdings list)";
    At(trade.texts, ImportField::Currency) = PositionCurrencyOf(statement.currency, ticker);
    opening.push_back(std::move(trade));
  }
  return opening;
}

// The statement read twice, by the scan and by libofx: false with the problems when it cannot be taken.
// Many statements break the rules of their document type (an element it does not declare, a start tag left
// out) and still say all they mean: once libofx has read every transaction, that is a warning.
bool ReadStatement(const std::string& path, std::string_view bytes, OfxScan& scan, LibofxResult& result,
                   ImportReading& reading) {
  int boundsLine = 0;
  std::string bounds;
  if (!CheckOfxBounds(bytes, boundsLine, bounds)) {
    reading.problems.push_back({boundsLine, ImportField::None, bounds});
    return false;
  }
  scan = ScanOfx(bytes);
  result = RunLibofx(path);
  ImportProblems parser;
  ParserProblems(result, scan, parser);
  // (libofx then returns a failure all the same; a statement in which nothing was found at all stays
  // refused.)
  const bool somethingFound = !scan.transactions.empty() || !scan.positions.empty() || !scan.balances.empty();
  const bool everyTransactionRead =
      result.transactions.size() >= scan.transactions.size() && (result.code == 0 || somethingFound);
  ImportProblems& complaints = everyTransactionRead ? reading.warnings : reading.problems;
  complaints.insert(complaints.end(), parser.begin(), parser.end());
  return reading.problems.empty();
}

// Each purchase and sale libofx found, read from its place in the file; the symbol of each in `symbols`.
std::vector<Trade> ReadTrades(const OfxScan& scan, const LibofxResult& result,
                              std::vector<std::string>& symbols, ImportProblems& problems) {
  // The file's transactions of each kind by FITID, in order, for libofx's transactions to be found in.
  std::map<std::pair<std::string, std::string>, std::deque<size_t>> byFitId;
  for (size_t i = 0; i < scan.transactions.size(); ++i) {
    const OfxScannedTransaction& t = scan.transactions[i];
    byFitId[{t.aggregate, t.Value("FITID")}].push_back(i);
  }
  std::vector<Trade> trades;
  for (const LibofxTransaction& t : result.transactions) {
    // Every other transaction is listed as skipped, from the scan.
    if (!t.investment || !(IsPurchase(t.type) || IsSale(t.type))) continue;
    auto& candidates = byFitId[{AggregateOf(t.type), t.fitId}];
    if (candidates.empty()) {
      problems.push_back({0, ImportField::None,
                          std::string("the transaction ") + AggregateOf(t.type) + " with FITID '" + t.fitId +
                              "' cannot be found in the file"});
      continue;
    }
    const OfxScannedTransaction& block = scan.transactions[candidates.front()];
    candidates.pop_front();
    if (!t.knownSecurity) {
      const std::string id = t.uniqueId + (t.uniqueIdType.empty() ? "" : " (" + t.uniqueIdType + ")");
      problems.push_back({block.line, ImportField::Symbol,
                          "the security '" + id + "' is not in the statement's security list"});
      continue;
    }
    // A security the list gives no ticker (a retirement plan's trust fund) goes by its id (CUSIP, ISIN), its
    // name the position's comment: the market-data service does not know it, and its prices are set by hand.
    LibofxTransaction named = t;
    if (named.ticker.empty()) {
      named.ticker = t.uniqueId;
      if (named.memo.empty() || named.memo == "BUY" || named.memo == "SELL") named.memo = t.securityName;
    }
    Trade trade;
    if (!ReadTrade(named, block, trade, problems)) continue;
    At(trade.texts, ImportField::Currency) = TradeCurrency(scan, block, named.ticker);
    if (trade.kind != RowKind::Sale) AddTradeRate(scan, block, trade.texts);
    trades.push_back(std::move(trade));
    symbols.push_back(named.ticker);
  }
  return trades;
}

// A split the statement reports: NUMERATOR new shares for DENOMINATOR old ones, else NEWUNITS for OLDUNITS.
void ReadSplit(const OfxScannedTransaction& block,
               const std::map<std::string, const OfxScannedTransaction*>& securities,
               ImportReading& reading) {
  const std::string ticker = TickerOf(securities, block.Value("UNIQUEID"));
  const auto units = [&block](const char* element, int64_t& value) {
    const TypedNumber read =
        ReadTypedDecimal(OfxNumber(block.Value(element)), Quantity::kPlaces, FileNumberFormat(false));
    value = read.IsOk() ? read.value : 0;
    return read.IsOk() && read.value > 0;
  };
  int64_t newShares = 0;
  int64_t oldShares = 0;
  SplitRatio ratio;
  const bool given = (units("NUMERATOR", newShares) && units("DENOMINATOR", oldShares)) ||
                     (units("NEWUNITS", newShares) && units("OLDUNITS", oldShares));
  CalendarDate day;
  const std::string written = block.Value("DTTRADE");
  const std::string which = " (FITID " + block.Value("FITID") + ")";
  if (ticker.empty() || !given || !RatioOfShares(newShares, oldShares, ratio)) {
    reading.problems.push_back({block.line, ImportField::Quantity,
                                "the split of '" + ticker + "' gives no ratio of new to old shares" + which});
    return;
  }
  if (written.size() < 8 || !ReadPatternDate(written.substr(0, 8), "YYYYMMDD", day)) {
    reading.problems.push_back({block.line, ImportField::Date,
                                "the split of " + ticker + " has no date of the form YYYYMMDD" + which});
    return;
  }
  reading.plan.actions.push_back(
      ReportedSplit(block.line, ticker, DayNumberOf(day), ratio, block.Value("MEMO")));
}

// The kind of income of an INCOME or REINVEST: its INCOMETYPE (DIV, CGLONG, CGSHORT, INTEREST, MISC).
IncomeKind IncomeKindOf(const OfxScannedTransaction& block) {
  if (block.aggregate == "RETOFCAP") return IncomeKind::ReturnOfCapital;
  static const std::map<std::string, IncomeKind> kKinds = {{"DIV", IncomeKind::Dividend},
                                                           {"CGLONG", IncomeKind::CapitalGain},
                                                           {"CGSHORT", IncomeKind::CapitalGain},
                                                           {"INTEREST", IncomeKind::Interest},
                                                           {"MISC", IncomeKind::Other}};
  const auto it = kKinds.find(std::string(TrimBlanks(block.Value("INCOMETYPE"))));
  return it == kKinds.end() ? IncomeKind::Other : it->second;
}

// A payment of income: TOTAL its gross (a REINVEST's is what its purchase cost, written as money out, so
// by its magnitude, the tax withheld added back), WITHHOLDING and TAXES its withholding, the settle date
// (else the trade date) its pay date. A REINVEST's units bought at their price on the trade date become
// the purchase of `trades` (its symbol in `symbols`), linked to it.
void ReadIncome(const OfxScan& scan, const OfxScannedTransaction& block,
                const std::map<std::string, const OfxScannedTransaction*>& securities,
                std::vector<IncomeRow>& incomes, std::vector<Trade>& trades,
                std::vector<std::string>& symbols) {
  IncomeRow row;
  row.line = block.line;
  row.kind = IncomeKindOf(block);
  row.which = " (FITID " + block.Value("FITID") + ")";
  const std::string ticker = TickerOf(securities, block.Value("UNIQUEID"));
  RowTexts& texts = row.texts;
  At(texts, ImportField::Symbol) = ticker;
  const bool reinvest = block.aggregate == "REINVEST";
  const std::string withheld = SumOf(block, {"WITHHOLDING", "TAXES"}, true);
  At(texts, ImportField::Withholding) = withheld == "0.00" ? std::string() : withheld;
  std::string total = PlainOfxNumber(block.Value("TOTAL"));
  if (reinvest) {
    if (!total.empty() && total.front() == '-') total.erase(0, 1);
    // What the shares cost was paid from the payment after its tax.
    const TypedNumber cost = ReadTypedDecimal(total, UnitPrice::kPlaces, FileNumberFormat(false));
    const TypedNumber tax = ReadTypedDecimal(withheld, UnitPrice::kPlaces, FileNumberFormat(false));
    if (cost.IsOk() && tax.IsOk()) total = DecimalUnitsText(cost.value + tax.value, UnitPrice::kPlaces, 2);
  }
  At(texts, ImportField::Amount) = total;
  const std::string settled = block.Value("DTSETTLE");
  const std::string traded = block.Value("DTTRADE");
  const std::string paid = settled.size() >= 8 ? settled : traded;
  At(texts, ImportField::Date) = paid.substr(0, std::min<size_t>(paid.size(), 8));
  At(texts, ImportField::Comment) = block.Value("MEMO");
  At(texts, ImportField::Currency) = TradeCurrency(scan, block, ticker);
  if (reinvest) {
    Trade trade;
    trade.line = block.line;
    trade.which = row.which;
    trade.income = static_cast<int>(incomes.size());
    RowTexts& bought = trade.texts;
    At(bought, ImportField::Symbol) = ticker;
    At(bought, ImportField::Quantity) = WithoutSign(OfxNumber(block.Value("UNITS")));
    At(bought, ImportField::Price) = OfxNumber(block.Value("UNITPRICE"));
    At(bought, ImportField::Commission) = Costs(block);
    At(bought, ImportField::Date) = traded.substr(0, std::min<size_t>(traded.size(), 8));
    At(bought, ImportField::Comment) = "Reinvested " + std::string(IncomeKindName(row.kind));
    At(bought, ImportField::Currency) = At(texts, ImportField::Currency);
    CalendarDate day;
    if (ReadPatternDate(At(bought, ImportField::Date), "YYYYMMDD", day)) trade.day = DayNumberOf(day);
    trades.push_back(std::move(trade));
    symbols.push_back(ticker);
  }
  incomes.push_back(std::move(row));
}

// The trades, in the order they happened, and the balances, through the reading's checks; then the
// payments of income, a reinvested one linked to the step of its purchase.
void AddRows(std::vector<Trade>& trades, std::vector<IncomeRow>& incomes, const OfxScan& scan,
             const ImportOptions& options, ImportReading& reading) {
  std::stable_sort(trades.begin(), trades.end(), TradeBefore);
  RowReading rowReading;
  rowReading.datePattern = "YYYYMMDD";
  RowSink sink(reading, options, rowReading,
               {ImportField::Symbol, ImportField::Quantity, ImportField::Price, ImportField::Date,
                ImportField::Commission, ImportField::SalePrice, ImportField::SaleDate,
                ImportField::SaleCommission, ImportField::Amount, ImportField::Comment});
  for (const Trade& trade : trades) {
    const size_t before = reading.problems.size();
    if (sink.Add(trade.line, trade.kind, trade.texts, {}, {}, trade.kind == RowKind::Stock, trade.opening)) {
      if (trade.income >= 0 && !reading.plan.steps.empty())
        incomes[static_cast<size_t>(trade.income)].reinvestStep = reading.plan.steps.size() - 1;
      continue;
    }
    for (size_t i = before; i < reading.problems.size(); ++i) reading.problems[i].text += trade.which;
  }
  for (const OfxScannedBalance& balance : scan.balances) AddBalance(reading, options, sink, balance);
  for (const IncomeRow& income : incomes) {
    const size_t before = reading.problems.size();
    if (sink.AddIncome(income.line, income.kind, false, income.texts, {}, income.reinvestStep)) continue;
    for (size_t i = before; i < reading.problems.size(); ++i) reading.problems[i].text += income.which;
  }
}

}  // namespace

void ReadOfxStatement(const std::string& path, std::string_view bytes, const ImportOptions& options,
                      ImportReading& reading) {
  reading.encoding = TextEncoding::Utf8;
  OfxScan scan;
  LibofxResult result;
  if (!ReadStatement(path, bytes, scan, result, reading)) return;
  std::vector<std::string> tradeSymbols;  // of each trade
  std::vector<Trade> trades = ReadTrades(scan, result, tradeSymbols, reading.problems);
  if (!reading.problems.empty()) return;
  const std::map<std::string, const OfxScannedTransaction*> securities = SecuritiesById(scan);
  std::vector<IncomeRow> incomes;
  for (const OfxScannedTransaction& block : scan.transactions) {
    if (block.aggregate == "SPLIT") {
      ReadSplit(block, securities, reading);
    } else if (block.aggregate == "INCOME" || block.aggregate == "REINVEST" ||
               block.aggregate == "RETOFCAP") {
      ReadIncome(scan, block, securities, incomes, trades, tradeSymbols);
    } else if (!IsStockOrFundTrade(block.aggregate)) {
      reading.skipped.push_back(SkippedTransaction(block, securities));
    }
  }
  reading.plan.asTraded = true;
  if (!options.openingPositions) {
    reading.plan.shortSaleCommandHint =
        "--opening-positions takes the shares held before the statement's first trade from its holdings list";
    reading.plan.shortSaleWindowHint =
        "tick \"Positions held before the statement\" to take them from the statement's holdings list";
  } else {
    std::vector<Trade> opening = OpeningTrades(scan, trades, tradeSymbols, securities, reading.plan.actions);
    reading.openingPositions = static_cast<int>(opening.size());
    // Dated the statement's start, they sort before its trades; of one day, purchases come first anyway.
    trades.insert(trades.begin(), std::make_move_iterator(opening.begin()),
                  std::make_move_iterator(opening.end()));
  }
  AddRows(trades, incomes, scan, options, reading);
}
