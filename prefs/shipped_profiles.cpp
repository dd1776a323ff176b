#include "prefs/shipped_profiles.h"

#include "framework/text_util.h"

namespace {

// What a profile is written as: the --map text, the --kind texts and the form of the file.
struct ProfileText {
  const char* name;
  const char* map;
  std::vector<const char*> kinds;
  char delimiter;
  bool decimalComma;
  const char* dateFormat;
  bool sellWhenNegative;
};

// Each from the column layout the broker documents for its export.
const ProfileText kProfiles[] = {
    {"Interactive Brokers (Flex trades)",
     "kind=Buy/Sell,date=TradeDate,symbol=Symbol,quantity=Quantity,price=TradePrice,commission=IBCommission,"
     "currency=CurrencyPrimary,amount=TradeMoney",
     {"buy=BUY", "sell=SELL"},
     ',',
     false,
     "YYYYMMDD",
     false},
    {"Trading 212",
     "kind=Action,date=Time,symbol=Ticker,name=Name,quantity=No. of shares,price=Price / share,"
     "currency=Currency (Price / share),amount=Total,withholding=Withholding tax",
     {"buy=Market buy|Limit buy|Stop buy|Stop limit buy",
      "sell=Market sell|Limit sell|Stop sell|Stop limit sell", "dividend=Dividend*",
      "interest=Interest on cash|Lending interest", "deposit=Deposit", "withdrawal=Withdrawal"},
     ',',
     false,
     "YYYY-MM-DD",
     false},
    {"Charles Schwab",
     "kind=Action,date=Date,symbol=Symbol,name=Description,quantity=Quantity,price=Price,commission=Fees & "
     "Comm,"
     "amount=Amount",
     {"buy=Buy|Reinvest Shares", "sell=Sell",
      "dividend=Cash Dividend|Qualified Dividend|Non-Qualified Div|Reinvest Dividend|Qual Div Reinvest|Pr Yr "
      "Div "
      "Reinvest|Pr Yr Cash Div|Special Non Qual Div|Special Qual Div",
      "capital-gain=Long Term Cap Gain*|Short Term Cap Gain*", "interest=Credit Interest|Bank Interest",
      "tax=Foreign Tax Paid|NRA Tax Adj", "fee=ADR Mgmt Fee|Advisor Fee|Service Fee",
      "deposit=MoneyLink Deposit|Wire Received|Funds Received", "withdrawal=MoneyLink Transfer|Wire Sent",
      "split=Stock Split|Reverse Split"},
     ',',
     false,
     "MM/DD/YYYY",
     false},
    {"Fidelity",
     "kind=Action,date=Run Date,symbol=Symbol,name=Security Description,quantity=Quantity,price=Price ($),"
     "commission=Commission ($),fees=Fees ($),amount=Amount ($)",
     {"buy=YOU BOUGHT*|REINVESTMENT*", "sell=YOU SOLD*", "dividend=DIVIDEND RECEIVED*",
      "capital-gain=LONG-TERM CAP GAIN*|SHORT-TERM CAP GAIN*", "interest=INTEREST EARNED*",
      "tax=FOREIGN TAX PAID*", "deposit=Electronic Funds Transfer Received*|CASH CONTRIBUTION*",
      "withdrawal=Electronic Funds Transfer Paid*"},
     ',',
     false,
     "MM/DD/YYYY",
     false},
    // A sale is a negative quantity; the currency of the price is the unnamed column after it.
    {"DEGIRO (Transactions)",
     "date=Date,symbol=ISIN,name=Product,quantity=Quantity,price=Price,currency=#9,"
     "commission=Transaction and/or third",
     {},
     ',',
     false,
     "DD-MM-YYYY",
     true},
};

CsvMapping MappingOf(const ProfileText& text) {
  CsvMapping mapping;
  std::string error;
  // The texts are this file's own: a mistake in them is caught by the tests that import through each.
  (void)ParseMappingText(text.map, mapping, error);
  for (const char* kind : text.kinds) (void)mapping.kinds.Add(kind, error);
  mapping.delimiter = text.delimiter;
  mapping.decimalComma = text.decimalComma;
  mapping.dateFormat = text.dateFormat;
  mapping.sellWhenNegative = text.sellWhenNegative;
  return mapping;
}

}  // namespace

const std::vector<ShippedProfile>& ShippedProfiles() {
  static const std::vector<ShippedProfile> profiles = [] {
    std::vector<ShippedProfile> list;
    for (const ProfileText& text : kProfiles) list.push_back({text.name, MappingOf(text)});
    return list;
  }();
  return profiles;
}

const ShippedProfile* FindShippedProfile(const std::string& name) {
  for (const ShippedProfile& profile : ShippedProfiles()) {
    if (EqualNoCase(profile.name, name)) return &profile;
  }
  return nullptr;
}
