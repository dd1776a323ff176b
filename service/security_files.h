#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "service/security_list.h"

// Calls `read` for every SYMBOL.csv in `folder` whose symbol (the file's name, upper-cased) the list knows; a
// file of a symbol it does not know is reported in `messages` and left out. Nothing when there is no folder.
void ForEachSecurityFile(const std::string& folder, const SecurityList& securities,
                         std::vector<std::string>& messages,
                         const std::function<void(const std::filesystem::directory_entry&, const std::string&,
                                                  const Security&)>& read);
