#include "framework/item.h"

#include "framework/archive.h"

bool Item::CopyTo(Item* other) const {
  if (!other) return false;
  other->id = id;
  other->tag = tag;
  other->name = name;
  return true;
}

bool Item::CopyFrom(const Item* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

SerializeResult Item::SerializeItemLevel(Archive* ar, bool scrambledName) {
  if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
  ar->Io(id);
  ar->Io(tag);
  if (scrambledName) {
    ar->IoScrambled(name);
  } else {
    ar->Io(name);
  }
  return SerializeResult::Ok;
}
