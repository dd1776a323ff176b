#include "marketdata/historical_price.h"

#include "framework/archive.h"

SerializeResult HistoricalPrice::Serialize(Archive* ar) {
  if (!ar) return SerializeResult::Failed;
  if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
  ar->IoScrambled(symbol);
  ar->IoScrambled(dateText);
  ar->IoTime(date);
  ar->IoScrambled(open);
  ar->IoScrambled(high);
  ar->IoScrambled(low);
  ar->IoScrambled(close);
  ar->IoScrambled(volume);
  ar->IoScrambled(adjClose);
  return SerializeResult::Ok;
}
