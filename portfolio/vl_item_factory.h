#pragma once
#include <memory>
#include <string>

#include "framework/item.h"

// Re-creates every portfolio-domain record from its type key: "P", "SI", "SH", "CH", "MH" (exact case).
// Each list class keeps one process-wide instance of its own.
class VLItemFactory : public IItemFactory {
 public:
  // A new, empty record; null for an unknown key. The caller owns it.
  std::unique_ptr<Item> CreateItem(const std::string& typeKey) const override;
};
