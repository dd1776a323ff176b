#include "marketdata/news_item.h"

#include "framework/archive.h"

int32_t NewsItem::Serialize(Archive* ar) {
  if (!ar) return kSerializeFailed;
  if (int32_t rc = SerializeTypeHeader(ar, *this); rc != kSerializeOk) return rc;
  ar->Io(symbol);
  ar->Io(dateText);
  ar->Io(title);
  ar->Io(url);
  ar->Io(source);
  ar->Io(flags);
  ar->IoTime(date);
  return kSerializeOk;
}
