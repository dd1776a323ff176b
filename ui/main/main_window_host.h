#pragma once

#include "marketdata/real_prices.h"

class ISplitEventSource;
class QWidget;
class VLDatabase;
class VLPrefs;

// What a main window needs from the application object: the database, the preferences, the Backup
// command and the application's own secondary windows (chart windows).
class IMainWindowHost {
 public:
  virtual ~IMainWindowHost() = default;
  virtual VLDatabase& GetDatabase() = 0;
  virtual VLPrefs& GetPrefs() = 0;
  virtual void Backup(QWidget* parent) = 0;
  // Takes note of a modeless window (a chart window) that the application closes at exit.
  virtual void AddSecondaryWindow(QWidget* window) = 0;
  virtual bool HasSecondaryWindows() const = 0;
  virtual void CloseSecondaryWindows() = 0;
  // Where the bundled market-data service keeps its price sources; unknown (empty) by default.
  virtual RealPriceFolders GetRealPriceFolders() const { return {}; }
  // Restarts the bundled service when this application started it, so that it reads its price sources
  // again; nothing when it did not start one.
  virtual void RestartMarketDataService() {}
  // Where the main window asks, after its first successful Update of a day, for splits of the held symbols
  // that are not recorded (the market-data service); null: it does not ask.
  virtual ISplitEventSource* GetSplitSource() { return nullptr; }
};
