#pragma once
#include <cstdint>
#include <memory>
#include <vector>

class Item;
class ItemList;

// Puts the records of an undo or redo into a list of the store. Each record replaces the one of its id in
// place; a record whose id the list does not hold goes before the first record of a larger id, which is
// where it was (records are added in the order of their ids); every id of `removed` leaves the list.
// A few records are put in one by one; many in one pass over the list, so that a thousand positions put back
// into a store of a million cost one pass, not a thousand.
void RestoreRecords(ItemList& list, std::vector<std::unique_ptr<Item>> records,
                    const std::vector<uint32_t>& removed);
