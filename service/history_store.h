#pragma once

#include "service/history_csv.h"

#include <string>
#include <vector>

// Fetched days merged into stored ones: a new day is added, a day already stored is replaced when any
// figure differs. Both inputs and the result are oldest first.
struct MergedHistory {
  std::vector<DailyBar> rows;
  size_t added = 0;
  size_t replaced = 0;
};
MergedHistory MergeHistory(const std::vector<DailyBar>& stored, const std::vector<DailyBar>& fetched);

// Reads a history file. A missing file is no rows and true; a file that does not parse is false with
// `error`, so that a fetch never overwrites a file the user may want to repair.
[[nodiscard]] bool ReadHistoryFile(const std::string& path, std::vector<DailyBar>& rows, std::string& error);

// Replaces `path` by `text` so that a reader sees either the old file or the whole new one: the text
// goes to a temporary file in the same folder, is flushed to disk, then renamed over the old file.
// False with `error` when any step fails; the old file is then as it was.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);
