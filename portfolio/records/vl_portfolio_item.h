#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/item.h"

// A named portfolio. The Item name is the portfolio's name; the id comes from the database.
class VLPortfolioItem : public Item {
 public:
  std::string comment;
  int64_t created = 0;   // seconds since 1970 UTC; set by the database when added
  int64_t modified = 0;  // set by the database whenever one of its positions changes
  // The currency its totals are converted into (an ISO code); empty: none, every figure in its own currency.
  std::string baseCurrency;

  static constexpr int32_t kFirstVersion = 1;
  static constexpr int32_t kBaseCurrencyVersion = 2;

  using Item::CopyFrom;
  using Item::CopyTo;
  [[nodiscard]] bool CopyTo(VLPortfolioItem* other) const;
  [[nodiscard]] bool CopyFrom(const VLPortfolioItem* other);
  std::unique_ptr<Item> Clone() const override;

  std::string GetTypeName() const override { return "P"; }
  // Stored in the first form unless it has a base currency.
  int32_t GetVersion() const override { return baseCurrency.empty() ? kFirstVersion : kBaseCurrencyVersion; }
  int32_t GetLatestVersion() const override { return kBaseCurrencyVersion; }
  // "P", the version, the Item level with the name complemented, then comment (complemented), created,
  // modified; from version 2 the base currency.
  SerializeResult Serialize(Archive* ar) override;
};
