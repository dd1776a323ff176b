#pragma once
#include <cstdint>

// What changed in the portfolio database. Sent to every listener after a change was saved.
class VLDatabaseEvent {
 public:
  enum Kind : int32_t {
    kPortfolioAdded = 0,
    kPortfolioModified = 1,
    kPortfolioDeleted = 2,
    kPositionAdded = 3,    // a position appeared in a portfolio
    kPositionChanged = 4,  // itemId 0: several positions of the portfolio changed at once (an undo or redo)
    kPositionRemoved = 5,  // a position left a portfolio
    kQuotesRefreshed = 6,
  };

  VLDatabaseEvent() = default;
  VLDatabaseEvent(uint32_t portfolioId, uint32_t itemId, int32_t kind)
      : portfolioId(portfolioId), itemId(itemId), kind(kind) {}
  virtual ~VLDatabaseEvent() = default;

  uint32_t portfolioId = 0;
  uint32_t itemId = 0;
  int32_t kind = 0;
};

class IVLDatabaseListener {
 public:
  virtual ~IVLDatabaseListener() = default;
  virtual void OnDatabaseEvent(const VLDatabaseEvent& event) = 0;
};
