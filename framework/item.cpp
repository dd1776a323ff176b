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

int32_t Item::SerializeItemLevel(Archive* ar, bool scrambledName) {
  if (int32_t rc = SerializeTypeHeader(ar, *this); rc != kSerializeOk) return rc;
  ar->Io(id);
  ar->Io(tag);
  if (scrambledName) {
    ar->IoScrambled(name);
  } else {
    ar->Io(name);
  }
  return kSerializeOk;
}
