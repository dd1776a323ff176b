#pragma once
#include <string>

// A window that shows the status texts of a running request (e.g. a status bar pane). The UI
// implements it; the text must be visible at once, so the implementation repaints immediately.
class IStatusWindow {
 public:
  virtual ~IStatusWindow() = default;
  virtual void ShowStatusText(const std::string& text) = 0;
};
