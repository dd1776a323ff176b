#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "framework/serializable.h"

// The quote of one symbol, its figures kept as the texts the quote service sent ("N/A" = no value).
class StockInfo : public ISerializable {
 public:
  std::string symbol;  // set by the owner before a request, never by the parse
  std::string name;
  std::string exchange;  // "N/A" for a symbol the service does not know
  std::string floatShares;
  std::string marketCap;
  std::string marketCapRealtime;
  std::string pegRatio;
  std::string peRatio;
  std::string priceSales;
  std::string dividendPerShare;
  std::string dividendYield;
  std::string dividendPayDate;
  std::string averageVolume;
  std::string low52Week;
  std::string high52Week;
  std::string movingAverage50;
  std::string change50;
  std::string percentChange50;
  std::string movingAverage200;
  std::string change200;
  std::string percentChange200;
  std::string targetPrice1Year;
  std::string peEstimateThisYear;
  std::string peEstimateNextYear;
  std::string epsEstimateNextQuarter;
  std::string epsEstimateNextYear;
  std::string epsEstimateThisYear;
  std::string previousClose;
  std::string lastTradeDate;
  std::string tickerTrend;
  std::string volume;
  std::string open;
  std::string bid;
  std::string ask;
  std::string bidSize;
  std::string askSize;
  std::string shortRatio;
  std::string lastTrade;
  std::string lastTradeTime;
  std::string change;
  std::string percentChange;
  std::string dayRange;
  std::string lastTradeRealtime;
  std::string lastTradeTimeRealtime;
  std::string changeRealtime;
  std::string percentChangeRealtime;
  std::string dayRangeRealtime;
  int64_t stamp = 0;  // carried through copy and persistence; the parse never sets it

  // False when the service answered that it does not know the symbol.
  bool IsKnownSymbol() const { return exchange != "N/A"; }

  // One text field: its name, where it lives, and the first record version that stores it.
  struct TextField {
    const char* fieldName;
    std::string StockInfo::*member;
    int32_t sinceVersion;
  };
  static constexpr int kTextFieldCount = 47;
  // The 47 text fields in record order.
  static const std::array<TextField, kTextFieldCount>& TextFields();

  std::string GetTypeName() const override { return "SI"; }
  int32_t GetVersion() const override { return 5; }
  // Key "SI", version 5, the 47 texts complemented, then the stamp. Loading an older version empties
  // the fields that version did not store.
  SerializeResult Serialize(Archive* ar) override;

  // True for a market index: the symbol begins with '^'.
  bool IsIndex() const { return !symbol.empty() && symbol[0] == '^'; }
};
