#pragma once
#include <cstdint>
#include <iosfwd>

#include "framework/db_result.h"

// What an operation of the portfolio database answers. The numbers are those the spoken and printed
// messages have always named ("failed with code 13").
// (clang-format 14 takes the attribute for the start of an initializer.)
// clang-format off
enum class [[nodiscard]] VLResult : int32_t {
  Ok = 0,
  Failed = 1,              // unknown connection, invalid argument, failed save or fetch, refresh running
  NameClash = 2,
  NotFound = 3,            // no such portfolio or position
  AlreadySold = 4,
  NotSold = 5,
  // Another program kept the database file locked for the whole wait; nothing changed.
  Busy = 6,
  StoreFull = 7,           // no 32-bit id left for a new portfolio, position or quote; nothing changed
  ReadOnly = 8,            // the file (or its folder) may not be written; nothing changed
  NothingToUndo = 9,       // the journal holds no change in effect
  NothingToRedo = 10,      // the journal holds no undone change that may be applied again
  JournalMismatch = 11,    // the database is not where the journal left it; the undo or redo changed nothing
  JournalUnreadable = 12,  // the journal cannot be read; nothing changed
  // An import the store cannot take (a sale of more shares than held); nothing changed.
  ImportRefused = 13,
  // A split or symbol change a position of the symbol cannot take (the preview says which and why); nothing
  // changed.
  ActionRefused = 14,
  AlreadyRecorded = 15,    // the same kind of corporate action of the symbol on that day is recorded already
};
// clang-format on
// The enumerator's name ("NotFound"), for messages and test output.
std::ostream& operator<<(std::ostream& out, VLResult result);

// The file store's result as the portfolio database answers it: Busy and ReadOnly stay what they are,
// every other failure is Failed.
VLResult FromDbResult(DbResult result);
