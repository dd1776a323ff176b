#include "portfolio/database/vl_result.h"

#include <ostream>

#include "framework/database.h"

VLResult FromDbResult(DbResult result) {
  switch (result) {
    case DbResult::Ok:
      return VLResult::Ok;
    case DbResult::Busy:
      return VLResult::Busy;
    case DbResult::ReadOnly:
      return VLResult::ReadOnly;
    default:
      return VLResult::Failed;
  }
}

std::ostream& operator<<(std::ostream& out, VLResult result) {
  switch (result) {
    case VLResult::Ok:
      return out << "Ok";
    case VLResult::Failed:
      return out << "Failed";
    case VLResult::NameClash:
      return out << "NameClash";
    case VLResult::NotFound:
      return out << "NotFound";
    case VLResult::AlreadySold:
      return out << "AlreadySold";
    case VLResult::NotSold:
      return out << "NotSold";
    case VLResult::Busy:
      return out << "Busy";
    case VLResult::StoreFull:
      return out << "StoreFull";
    case VLResult::ReadOnly:
      return out << "ReadOnly";
    case VLResult::NothingToUndo:
      return out << "NothingToUndo";
    case VLResult::NothingToRedo:
      return out << "NothingToRedo";
    case VLResult::JournalMismatch:
      return out << "JournalMismatch";
    case VLResult::JournalUnreadable:
      return out << "JournalUnreadable";
    case VLResult::ImportRefused:
      return out << "ImportRefused";
    case VLResult::ActionRefused:
      return out << "ActionRefused";
    case VLResult::AlreadyRecorded:
      return out << "AlreadyRecorded";
  }
  return out << static_cast<int>(result);
}
