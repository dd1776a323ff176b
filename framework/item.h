#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/serializable.h"

// A record with an identity, a spare number and a display name. Concrete records add fields, a type key
// by which a factory re-creates them, and a versioned Serialize.
class Item : public ISerializable {
 public:
  uint32_t id = 0;  // 0 = not yet assigned; handed out by the database
  uint32_t tag = 0;
  std::string name;

  // Copies id, tag and name; false (nothing copied) for null.
  [[nodiscard]] virtual bool CopyTo(Item* other) const;
  [[nodiscard]] virtual bool CopyFrom(const Item* other);
  // A new object of the concrete class holding a copy of this one; the caller owns it.
  virtual std::unique_ptr<Item> Clone() const = 0;

  // The Item level on its own: type key, version, id, tag, name (plain name).
  SerializeResult Serialize(Archive* ar) override { return SerializeItemLevel(ar, false); }

 protected:
  // Type key, version, id, tag, name; the name complemented when `scrambledName` is set.
  SerializeResult SerializeItemLevel(Archive* ar, bool scrambledName);
};

// Creates an empty record of the class that answers `typeKey`; null for an unknown key. The caller owns it.
class IItemFactory {
 public:
  virtual ~IItemFactory() = default;
  virtual std::unique_ptr<Item> CreateItem(const std::string& typeKey) const = 0;
};

// Negative when a sorts before b, 0 when equal, positive otherwise.
class IItemComparer {
 public:
  virtual ~IItemComparer() = default;
  virtual int32_t Compare(const Item* a, const Item* b) const = 0;
};
