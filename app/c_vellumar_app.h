#pragma once
#include <memory>

#include "app/local_service_launcher.h"
#include "prefs/vl_prefs.h"

class CInstanceChecker;
class QWidget;
class VLDatabase;

// The application object: single-instance guard, preferences, the database file and its backups, the
// bundled market-data service, and the main window's lifetime.
class CVellumarApp {
 public:
  CVellumarApp();
  ~CVellumarApp();
  CVellumarApp(const CVellumarApp&) = delete;
  CVellumarApp& operator=(const CVellumarApp&) = delete;

  // Start-up, the main window, then shut-down; the process exit code. Every start-up failure is shown to
  // the user and ends the application before the main window appears.
  int Run();

  VLDatabase* GetDatabase() { return database.get(); }
  VLPrefs& GetPrefs() { return prefs; }
  // The Backup command: the next free backup name, the user's confirmation, the copy.
  void Backup(QWidget* parent);

 private:
  bool StartUp();

  std::unique_ptr<CInstanceChecker> instanceChecker;
  std::unique_ptr<VLDatabase> database;
  VLPrefs prefs;
  LocalServiceLauncher serviceLauncher;
};
