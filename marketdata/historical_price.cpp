#include "marketdata/historical_price.h"

#include "framework/archive.h"

int32_t HistoricalPrice::Serialize(Archive* ar) {
  if (!ar) return kSerializeFailed;
  if (int32_t rc = SerializeTypeHeader(ar, *this); rc != kSerializeOk) return rc;
  ar->IoScrambled(symbol);
  ar->IoScrambled(dateText);
  ar->IoTime(date);
  ar->IoScrambled(open);
  ar->IoScrambled(high);
  ar->IoScrambled(low);
  ar->IoScrambled(close);
  ar->IoScrambled(volume);
  ar->IoScrambled(adjClose);
  return kSerializeOk;
}
