#pragma once
#include <cstdint>
#include <string>

#include "framework/serializable.h"

// One daily row of a symbol's price history; prices are kept as the texts the service sent.
class HistoricalPrice : public ISerializable {
 public:
  std::string symbol;
  std::string dateText;  // e.g. "6-Dec-2026"
  int64_t date = 0;      // local midnight at the start of the day
  std::string open;
  std::string high;
  std::string low;
  std::string close;
  std::string volume;  // never filled by the parse
  std::string adjClose;

  std::string GetTypeName() const override { return "HP"; }
  int32_t GetVersion() const override { return 2; }
  // Key "HP", version 2; the texts are stored complemented.
  SerializeResult Serialize(Archive* ar) override;
};
