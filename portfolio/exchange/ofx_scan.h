#pragma once
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// A plain reading of an OFX statement's text, beside what libofx makes of it: libofx says which
// transactions there are and which security each one trades, but gives amounts as floating-point numbers
// and no line numbers. The scan keeps every value as written and the line it is on, in both syntaxes
// (SGML, whose elements need no end tag, and XML).

// One investment transaction aggregate (<BUYSTOCK>...</BUYSTOCK>): where it starts and the first value of
// each element inside it, by element name ("FITID", "UNITS", "UNITPRICE", ...).
struct OfxScannedTransaction {
  std::string aggregate;  // "BUYSTOCK", "SELLMF", "INCOME", ...
  int line = 0;
  int statement = -1;  // the index of its statement in OfxScan::balances; -1 outside of one
  std::map<std::string, std::string> values;
  std::set<std::string> aggregates;  // the names of the aggregates opened inside it ("CURRENCY", "INVTRAN")
  std::string Value(const std::string& element) const {
    const auto it = values.find(element);
    return it == values.end() ? std::string() : it->second;
  }
};

// The cash an investment statement reports, with the account it belongs to.
struct OfxScannedBalance {
  std::string brokerId;
  std::string accountId;
  std::string availableCash;  // as written; empty when the statement gives none
  int line = 0;               // of <AVAILCASH>
  std::string start;          // the first day of its transactions (DTSTART), as written
  std::string currency;       // the currency its amounts are in (CURDEF)
  std::string asOf;           // the day its balances and holdings stand at (its first DTASOF), as written
};

struct OfxScan {
  std::vector<OfxScannedTransaction> transactions;  // in the order of the file
  std::vector<OfxScannedBalance> balances;          // one per investment statement
  // The holdings lists' positions (<POSSTOCK>, <POSMF>, ...), each with the values of its <INVPOS>.
  std::vector<OfxScannedTransaction> positions;
  // The security list: each <SECINFO> (UNIQUEID, TICKER, SECNAME).
  std::vector<OfxScannedTransaction> securities;
  int ofxLine = 0;   // the line of the <OFX> element
  bool xml = false;  // the XML syntax (an "<?xml" declaration before <OFX>)
};

// The transaction aggregates the scan records (every one whose content describes a trade or a movement).
bool IsOfxTransactionAggregate(std::string_view name);

// The positions of a holdings list the scan records.
bool IsOfxPositionAggregate(std::string_view name);

OfxScan ScanOfx(std::string_view text);
