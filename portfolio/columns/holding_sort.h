#pragma once
#include <cstdint>
#include <string>

class Item;
class ItemList;

// What the position comparison looks at for one holding and one column, computed once per holding so a
// sort never computes a cell text inside its comparison loop.
struct HoldingSortKey {
  // The first two steps in one number: kind rank (cash 1, margin 2, stock 3, anything else 0) times
  // two, plus one for a stock position that is not on a market index ("^"), so indexes lead.
  int group = 0;
  std::string text;        // text columns: the cell text with "^" as blank and "[" as "#"
  std::string symbolText;  // text columns other than Symbol: the Symbol text, prepared alike, for ties
  double value = 0.0;      // other columns: the sort value
};

// The key of `item` (a holding; anything else gets an empty key of rank 0) for `column`.
HoldingSortKey MakeHoldingSortKey(const Item* item, int column);

// The four steps of the position order: kind groups, indexes first, then the cell texts (with the
// symbol as tie-break) or the sort values in the chosen direction. Negative when a sorts first.
class HoldingKeyOrder {
 public:
  HoldingKeyOrder(int column, bool ascending);
  int32_t Compare(const HoldingSortKey& a, const HoldingSortKey& b) const;

 private:
  bool textColumn;
  bool symbolTieBreak;
  bool ascending;
};

inline int32_t CompareHoldingSortKeys(const HoldingSortKey& a, const HoldingSortKey& b, int column,
                                      bool ascending) {
  return HoldingKeyOrder(column, ascending).Compare(a, b);
}

// Sorts a list of holdings exactly as ItemList::Sort with a VLHoldingItemComparer would (the exchange
// sort's order, ties included) in O(n log n), computing one key per holding. One exception: in a list of
// more than 5,000 holdings where a sort value is not a number, such values sort after every number of
// their kind group (the exchange sort lets them compare equal to all, which has no order to reproduce).
// Returns the number of keys computed.
int SortHoldings(ItemList& list, int column, bool ascending);

// A click on a column header: an unsortable column changes nothing and answers false; a new column
// takes its first direction; the current column reverses.
bool ApplyHeaderClick(int clicked, int& column, bool& ascending);
// What the sorted column's header carries: "  ^" ascending, "  v" descending.
const char* SortMarkSuffix(bool ascending);
