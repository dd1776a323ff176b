#pragma once
#include <memory>
#include <string>

#include "framework/item.h"

// Re-creates every portfolio-domain record from its type key: "P", "SI", "SH", "CH", "MH", "MP", "CA", "IN"
// (exact case). Each list class keeps one process-wide instance of its own.
class VLItemFactory : public IItemFactory {
 public:
  // Record families, as a mask. A list's factory makes only its own family, so a file that puts another
  // kind of record in a list is refused like an unknown key instead of handing out a record of the wrong
  // type.
  enum Family : unsigned {
    kPortfolios = 1,
    kQuotes = 2,
    kPositions = 4,
    kManualPrices = 8,
    kCorporateActions = 16,
    kIncome = 32,
    kAllFamilies = 63
  };

  explicit VLItemFactory(unsigned families = kAllFamilies) : families(families) {}

  // A new, empty record; null for an unknown key or one outside the factory's families. The caller owns it.
  std::unique_ptr<Item> CreateItem(const std::string& typeKey) const override;

 private:
  unsigned families;
};
