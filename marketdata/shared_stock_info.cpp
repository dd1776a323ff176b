#include "marketdata/shared_stock_info.h"

#include "framework/archive.h"

const StockInfo& SharedStockInfo::Blank() {
  static StockInfo blank;  // never changed: handed out read-only
  return blank;
}

SharedStockInfo::SharedStockInfo(StockInfo value) : info(std::make_shared<StockInfo>(std::move(value))) {}

StockInfo& SharedStockInfo::Edit() {
  if (!info) {
    info = std::make_shared<StockInfo>();
  } else if (info.use_count() > 1) {
    info = std::make_shared<StockInfo>(*info);
  }
  return *info;
}

SerializeResult SharedStockInfo::Serialize(Archive* ar) {
  // Storing only reads the record; StockInfo::Serialize is one function for both directions.
  if (ar && ar->IsStoring()) return const_cast<StockInfo&>(**this).Serialize(ar);
  return Edit().Serialize(ar);
}
