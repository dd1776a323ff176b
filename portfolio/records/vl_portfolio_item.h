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

  using Item::CopyFrom;
  using Item::CopyTo;
  [[nodiscard]] bool CopyTo(VLPortfolioItem* other) const;
  [[nodiscard]] bool CopyFrom(const VLPortfolioItem* other);
  std::unique_ptr<Item> Clone() const override;

  std::string GetTypeName() const override { return "P"; }
  int32_t GetVersion() const override { return 1; }
  // "P", 1, the Item level with the name complemented, then comment (complemented), created, modified.
  SerializeResult Serialize(Archive* ar) override;
};
