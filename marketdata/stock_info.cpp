#include "marketdata/stock_info.h"

#include "framework/archive.h"

const std::array<StockInfo::TextField, StockInfo::kTextFieldCount>& StockInfo::TextFields() {
  static const std::array<TextField, kTextFieldCount> fields{{
      {"symbol", &StockInfo::symbol, 1},
      {"name", &StockInfo::name, 1},
      {"exchange", &StockInfo::exchange, 1},
      {"floatShares", &StockInfo::floatShares, 3},
      {"marketCap", &StockInfo::marketCap, 1},
      {"marketCapRealtime", &StockInfo::marketCapRealtime, 1},
      {"pegRatio", &StockInfo::pegRatio, 1},
      {"peRatio", &StockInfo::peRatio, 1},
      {"priceSales", &StockInfo::priceSales, 2},
      {"dividendPerShare", &StockInfo::dividendPerShare, 1},
      {"dividendYield", &StockInfo::dividendYield, 1},
      {"dividendPayDate", &StockInfo::dividendPayDate, 1},
      {"averageVolume", &StockInfo::averageVolume, 1},
      {"low52Week", &StockInfo::low52Week, 1},
      {"high52Week", &StockInfo::high52Week, 1},
      {"movingAverage50", &StockInfo::movingAverage50, 1},
      {"change50", &StockInfo::change50, 1},
      {"percentChange50", &StockInfo::percentChange50, 1},
      {"movingAverage200", &StockInfo::movingAverage200, 1},
      {"change200", &StockInfo::change200, 1},
      {"percentChange200", &StockInfo::percentChange200, 1},
      {"targetPrice1Year", &StockInfo::targetPrice1Year, 1},
      {"peEstimateThisYear", &StockInfo::peEstimateThisYear, 1},
      {"peEstimateNextYear", &StockInfo::peEstimateNextYear, 1},
      {"epsEstimateNextQuarter", &StockInfo::epsEstimateNextQuarter, 1},
      {"epsEstimateNextYear", &StockInfo::epsEstimateNextYear, 1},
      {"epsEstimateThisYear", &StockInfo::epsEstimateThisYear, 1},
      {"previousClose", &StockInfo::previousClose, 4},
      {"lastTradeDate", &StockInfo::lastTradeDate, 1},
      {"tickerTrend", &StockInfo::tickerTrend, 1},
      {"volume", &StockInfo::volume, 1},
      {"open", &StockInfo::open, 1},
      {"bid", &StockInfo::bid, 1},
      {"ask", &StockInfo::ask, 1},
      {"bidSize", &StockInfo::bidSize, 5},
      {"askSize", &StockInfo::askSize, 5},
      {"shortRatio", &StockInfo::shortRatio, 5},
      {"lastTrade", &StockInfo::lastTrade, 1},
      {"lastTradeTime", &StockInfo::lastTradeTime, 1},
      {"change", &StockInfo::change, 1},
      {"percentChange", &StockInfo::percentChange, 1},
      {"dayRange", &StockInfo::dayRange, 1},
      {"lastTradeRealtime", &StockInfo::lastTradeRealtime, 1},
      {"lastTradeTimeRealtime", &StockInfo::lastTradeTimeRealtime, 1},
      {"changeRealtime", &StockInfo::changeRealtime, 1},
      {"percentChangeRealtime", &StockInfo::percentChangeRealtime, 1},
      {"dayRangeRealtime", &StockInfo::dayRangeRealtime, 1},
  }};
  return fields;
}

SerializeResult StockInfo::Serialize(Archive* ar) {
  if (!ar) return SerializeResult::Failed;
  int32_t version = 0;
  if (SerializeResult rc = SerializeTypeHeader(ar, *this, &version); rc != SerializeResult::Ok) return rc;
  for (const TextField& f : TextFields()) {
    std::string& text = this->*f.member;
    if (ar->IsLoading() && f.sinceVersion > version) {
      text.clear();
      continue;
    }
    ar->IoScrambled(text);
  }
  ar->IoTime(stamp);
  return SerializeResult::Ok;
}
