#include "ui/main/browser_command.h"

std::string BrowserPathFromCommand(const std::string& command) {
  const size_t firstQuote = command.find('"');
  if (firstQuote != std::string::npos) {
    // The quoted program ends at its closing quote; a quoted argument after it ("%1") is not part of it.
    const size_t closingQuote = command.find('"', firstQuote + 1);
    if (closingQuote == std::string::npos) return command.substr(firstQuote + 1);
    return command.substr(firstQuote + 1, closingQuote - firstQuote - 1);
  }
  const size_t lastSeparator = command.find_last_of("\\/");
  if (lastSeparator == std::string::npos || lastSeparator == 0) return command;
  const size_t blank = command.find(' ', lastSeparator);
  return blank == std::string::npos ? command : command.substr(0, blank);
}
