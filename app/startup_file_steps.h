#pragma once
#include <string>

#include "portfolio/database/vl_startup_files.h"

class VLDatabase;

// Start-up's file steps in their order: the database file in `folder`, a numbered backup of it, then the
// leftover report files. Stops at the first step that fails and answers that step's result (its message
// and the path for it); a result that is Ok() when every step succeeded. A folder in which no file can be
// made (a read-only medium) ends the steps after the first, successfully: its database opens read-only.
StartupFileResult RunStartupFileSteps(VLDatabase& database, const std::string& folder);
