#include "marketdata/news_item.h"

#include "framework/archive.h"

SerializeResult NewsItem::Serialize(Archive* ar) {
  if (!ar) return SerializeResult::Failed;
  if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
  ar->Io(symbol);
  ar->Io(dateText);
  ar->Io(title);
  ar->Io(url);
  ar->Io(source);
  ar->Io(flags);
  ar->IoTime(date);
  return SerializeResult::Ok;
}
