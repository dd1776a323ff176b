#pragma once
#include <QString>
#include <string>

class VLDatabase;

// Start-up's file steps in their order: the database file in `folder`, a numbered backup of it, then the
// leftover report files. Stops at the first step that fails and answers that step's message with its path
// filled in; an empty text when every step succeeded.
QString RunStartupFileSteps(VLDatabase& database, const std::string& folder);
