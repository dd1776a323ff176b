#pragma once
#include <cstdint>
#include <memory>

#include "marketdata/stock_info.h"

class Archive;

// One quote record shared by everyone who shows it: the cached quote of a symbol owns it, and every
// position of that symbol (and every clone of one handed to a window) points at the same record instead of
// holding a copy of its 47 texts. A shared record is never changed: Edit gives a record of one's own first,
// so what others read stays as it was. A default one reads as a blank quote and holds nothing (positions
// as the store keeps them carry no quote). One thread only, like the database that hands the records out.
class SharedStockInfo {
 public:
  SharedStockInfo() = default;
  explicit SharedStockInfo(StockInfo info);

  const StockInfo& operator*() const { return info ? *info : Blank(); }
  const StockInfo* operator->() const { return &**this; }

  // The record to change, copied first when anyone else shares it.
  StockInfo& Edit();
  // The record's own Serialize: storing reads it as it is, loading reads into a record of one's own.
  SerializeResult Serialize(Archive* ar);

  // Whether both point at the same record.
  bool SharesWith(const SharedStockInfo& other) const { return info == other.info; }

 private:
  static const StockInfo& Blank();

  std::shared_ptr<StockInfo> info;  // null: blank
};
