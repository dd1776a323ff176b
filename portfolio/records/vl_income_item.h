#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/item.h"
#include "framework/item_list.h"
#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_item_factory.h"

// What a holding paid: a dividend, a capital-gain distribution, a return of capital, interest or other
// income, one payment of one symbol to one portfolio. The Item name is the symbol in upper case.
enum class IncomeKind : int32_t {
  Dividend = 1,
  CapitalGain = 2,
  ReturnOfCapital = 3,
  Interest = 4,
  Other = 5
};

// "dividend", "capital-gain", "return-of-capital", "interest", "other".
const char* IncomeKindName(IncomeKind kind);
// The kind of a name (any letter case); false for none.
bool IncomeKindByName(const std::string& name, IncomeKind& kind);

class VLIncomeItem : public Item {
 public:
  // The largest gross amount, withholding or fees in cents (either sign for the gross): 42,949,672.95.
  static constexpr int64_t kMaxCents = 4294967295LL;

  uint32_t portfolioId = 0;
  IncomeKind kind = IncomeKind::Dividend;
  int64_t payDate = 0;  // required; stored as positions store dates
  int64_t exDate = 0;   // 0: not known
  Quantity shares;      // the shares entitled; 0: not known
  // Cents. The gross is never 0; a negative gross reverses a payment. Withholding and fees have the gross's
  // sign (or are 0) and together are at most the gross: a payment withheld whole nets 0.
  int64_t gross = 0;
  int64_t withholding = 0;
  int64_t fees = 0;
  std::string currency;  // empty: the position's
  std::string comment;
  uint32_t reinvestPositionId = 0;  // the position a reinvested payment bought; 0 for none

  int64_t Net() const { return gross - withholding - fees; }

  // Whether the record holds what a stored one may: a symbol, a portfolio, a known kind, a pay date within
  // the supported dates and not before the ex-date, the amounts as above, shares not below 0, a currency
  // code or none, a comment within the text limits.
  bool FitsRecord() const;

  using Item::CopyFrom;
  using Item::CopyTo;
  [[nodiscard]] bool CopyTo(VLIncomeItem* other) const;
  [[nodiscard]] bool CopyFrom(const VLIncomeItem* other);
  std::unique_ptr<Item> Clone() const override;

  std::string GetTypeName() const override { return "IN"; }
  int32_t GetVersion() const override { return 1; }
  // "IN", 1, the Item level (plain name), the portfolio, the kind, the pay and ex-dates, the shares as a
  // count of 1e-8, the gross, withholding and fees in cents, the currency, the comment and the reinvested
  // position. A loaded record that a record cannot hold fails.
  SerializeResult Serialize(Archive* ar) override;
};

// The owning list of a database's income, stored under the type name "INList".
class VLIncomeItemList : public ItemList {
 public:
  std::string GetTypeName() const override { return "INList"; }
  IItemFactory* GetItemFactory() const override {
    static VLItemFactory factory(VLItemFactory::kIncome);
    return &factory;
  }
};
