#include "portfolio/exchange/ofx_statement.h"

#include <libofx/libofx.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>

#include "framework/private_temp_folder.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/exchange/ofx_rules.h"
#include "portfolio/exchange/ofx_scan.h"
#include "portfolio/records/calendar_date.h"
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
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.erase(0, 1);
  return text;
}

// Commission and fees together, exactly; the text that fails when either is not an amount.
std::string Costs(const OfxScannedTransaction& block) {
  int64_t total = 0;
  for (const char* element : {"COMMISSION", "FEES"}) {
    const std::string text = OfxNumber(block.Value(element));
    const FileNumber number = ReadFileNumber(text, FileNumberFormat(false), false);
    if (number.status == FileNumberStatus::Empty) continue;
    const TypedNumber cents = ReadTypedAmount(number.entryText);
    if (number.status != FileNumberStatus::Ok || !cents.IsOk()) return text;
    total += cents.value;
  }
  return CentsFileText(total);
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
  int64_t day = 0;
  int64_t second = -1;  // the time of day when the statement gives one; -1 (first of the day) when not
  RowKind kind = RowKind::Stock;
  RowTexts texts;
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
                    const std::string& description) {
  if ((debt && !options.margin) || (!debt && !options.cash)) return;
  ImportStep step;
  step.kind = ImportStepKind::SetBalance;
  step.line = line;
  step.portfolio = reading.plan.PortfolioIndex(std::string(TrimBlanks(options.targetPortfolio)));
  std::unique_ptr<VLHoldingItem> holding;
  if (debt) {
    holding = std::make_unique<VLMarginHoldingItem>();
  } else {
    holding = std::make_unique<VLCashHoldingItem>();
  }
  holding->name = description;
  step.holding = std::move(holding);
  reading.plan.steps.push_back(std::move(step));
}

// One balance of the statement: the cash, or a margin debt when negative; the other of the two, which an
// earlier statement of the account may have set, goes to 0.
void AddBalance(ImportReading& reading, const ImportOptions& options, RowSink& sink,
                const OfxScannedBalance& balance) {
  const std::string amount = OfxNumber(balance.availableCash);
  const FileNumber number = ReadFileNumber(amount, FileNumberFormat(false), false);
  if (number.status == FileNumberStatus::Empty) return;
  const TypedNumber cents = ReadTypedAmount(number.entryText);
  const bool zero = cents.IsOk() && cents.value == 0;
  const bool debt = !zero && !amount.empty() && amount[0] == '-';
  const std::string account =
      "account " + balance.accountId + (balance.brokerId.empty() ? "" : " at " + balance.brokerId);
  if (!zero) {
    RowTexts texts;
    At(texts, ImportField::Amount) = debt ? WithoutSign(amount) : amount;
    At(texts, ImportField::Comment) = (debt ? "Margin, " : "Cash, ") + account;
    if (!sink.Add(balance.line, debt ? RowKind::MarginBalance : RowKind::CashBalance, texts)) return;
  }
  if (zero || debt) AddZeroBalance(reading, options, balance.line, false, "Cash, " + account);
  if (zero || !debt) AddZeroBalance(reading, options, balance.line, true, "Margin, " + account);
}

// The row of one purchase or sale; false with a problem when its units or its date cannot be taken.
bool ReadTrade(const LibofxTransaction& t, const OfxScannedTransaction& block, Trade& trade,
               ImportProblems& problems) {
  trade.line = block.line;
  const bool sale = IsSale(t.type);
  trade.kind = sale ? RowKind::Sale : RowKind::Stock;
  const std::string units = OfxNumber(block.Value("UNITS"));
  // A sale's units are negative as the standard has them (some brokers write them positive); a purchase
  // of negative units is no purchase at all.
  if (!sale && !units.empty() && units[0] == '-') {
    problems.push_back({block.line, ImportField::Quantity, "a purchase of negative units ('" + units + "')"});
    return false;
  }
  const std::string written = block.Value("DTTRADE");
  const std::optional<OfxTradeTime> when = ReadOfxTradeTime(written);
  if (!when) {
    problems.push_back({block.line, sale ? ImportField::SaleDate : ImportField::Date,
                        written.empty() ? std::string("the trade has no trade date (DTTRADE)")
                                        : "the trade date '" + written +
                                              "' is not an OFX date (YYYYMMDD, then the time if any)"});
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

}  // namespace

void ReadOfxStatement(const std::string& path, std::string_view bytes, const ImportOptions& options,
                      ImportReading& reading) {
  reading.encoding = TextEncoding::Utf8;
  int boundsLine = 0;
  std::string bounds;
  if (!CheckOfxBounds(bytes, boundsLine, bounds)) {
    reading.problems.push_back({boundsLine, ImportField::None, bounds});
    return;
  }
  const OfxScan scan = ScanOfx(bytes);
  const LibofxResult result = RunLibofx(path);
  ParserProblems(result, scan, reading.problems);
  if (!reading.problems.empty()) return;

  // The file's transactions of each kind by FITID, in order, for libofx's transactions to be found in.
  std::map<std::pair<std::string, std::string>, std::deque<size_t>> byFitId;
  for (size_t i = 0; i < scan.transactions.size(); ++i) {
    const OfxScannedTransaction& t = scan.transactions[i];
    byFitId[{t.aggregate, t.Value("FITID")}].push_back(i);
  }
  std::vector<Trade> trades;
  for (const LibofxTransaction& t : result.transactions) {
    if (!t.investment || !(IsPurchase(t.type) || IsSale(t.type))) {
      ++reading.ignored;
      continue;
    }
    auto& candidates = byFitId[{AggregateOf(t.type), t.fitId}];
    if (candidates.empty()) {
      reading.problems.push_back({0, ImportField::None,
                                  std::string("the transaction ") + AggregateOf(t.type) + " with FITID '" +
                                      t.fitId + "' cannot be found in the file"});
      continue;
    }
    const OfxScannedTransaction& block = scan.transactions[candidates.front()];
    candidates.pop_front();
    if (!t.knownSecurity || t.ticker.empty()) {
      const std::string id = t.uniqueId + (t.uniqueIdType.empty() ? "" : " (" + t.uniqueIdType + ")");
      reading.problems.push_back({block.line, ImportField::Symbol,
                                  t.knownSecurity
                                      ? "the security '" + (t.securityName.empty() ? id : t.securityName) +
                                            "' has no ticker symbol in the statement's security list"
                                      : "the security '" + id + "' is not in the statement's security list"});
      continue;
    }
    Trade trade;
    if (!ReadTrade(t, block, trade, reading.problems)) continue;
    trades.push_back(std::move(trade));
  }
  if (!reading.problems.empty()) return;
  std::stable_sort(trades.begin(), trades.end(), TradeBefore);

  RowReading rowReading;
  rowReading.datePattern = "YYYYMMDD";
  RowSink sink(reading, options, rowReading,
               {ImportField::Symbol, ImportField::Quantity, ImportField::Price, ImportField::Date,
                ImportField::Commission, ImportField::SalePrice, ImportField::SaleDate,
                ImportField::SaleCommission, ImportField::Amount, ImportField::Comment});
  for (const Trade& trade : trades) {
    (void)sink.Add(trade.line, trade.kind, trade.texts, {}, {}, trade.kind == RowKind::Stock);
  }
  for (const OfxScannedBalance& balance : scan.balances) AddBalance(reading, options, sink, balance);
}
