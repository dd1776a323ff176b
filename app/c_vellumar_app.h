#pragma once
#include <memory>

#include "app/local_service_launcher.h"
#include "framework/app_paths.h"
#include "framework/string_id.h"
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
  // Where the database, backups, report files and settings live (beside the program, or the user's folders).
  const AppPaths& GetPaths() const { return paths; }
  // The Backup command: the next free backup name, the user's confirmation, the copy.
  void Backup(QWidget* parent);

 private:
  bool StartUp();
  void ShowStartupError(StringId messageId, const std::string& path);

  AppPaths paths;
  std::unique_ptr<CInstanceChecker> instanceChecker;
  std::unique_ptr<VLDatabase> database;
  VLPrefs prefs;
  LocalServiceLauncher serviceLauncher;
};
