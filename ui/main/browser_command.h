#pragma once
#include <string>

// The program part of a web browser's command line, as the desktop reports the command that opens web
// pages: the text between the first double quote and the next one when it holds double quotes; otherwise,
// when a path separator ('\' or '/') follows its first character, the text up to the first blank after the
// last separator; otherwise the whole text.
std::string BrowserPathFromCommand(const std::string& command);
