#pragma once
#include "cli/command_table.h"
#include "portfolio/checks/entry_check.h"

// Prints why the dialogs' check `check` refused what a command was given ("vellumar-cli COMMAND: ...",
// naming the option at fault) and returns the refusal's exit code (see kRefusalCodes in the help).
int Refuse(CliIo& io, const char* command, const EntryCheck& check);

// The same for a refusal that is not one of the dialogs' checks: the position's state does not allow the
// operation (already sold, not a stock position).
int RefuseState(CliIo& io, const char* command, const std::string& reason);
