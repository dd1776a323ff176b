#pragma once
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "app/local_service_launcher.h"
#include "app/termination_signals.h"
#include "framework/app_paths.h"
#include "framework/string_id.h"
#include "portfolio/corporate_actions/split_proposals.h"
#include "prefs/vl_prefs.h"
#include "ui/main/main_window_host.h"

class CInstanceChecker;
class VLDatabase;

// The application object: single-instance guard, preferences, the database file and its backups, the
// bundled market-data service, and the main window's lifetime.
class CVellumarApp : public IMainWindowHost {
 public:
  CVellumarApp();
  ~CVellumarApp() override;
  CVellumarApp(const CVellumarApp&) = delete;
  CVellumarApp& operator=(const CVellumarApp&) = delete;

  // Start-up, the main window, then shut-down; the process exit code. Every start-up failure is shown to
  // the user and ends the application before the main window appears.
  [[nodiscard]] int Run();

  VLDatabase& GetDatabase() override { return *database; }
  VLPrefs& GetPrefs() override { return prefs; }
  // Where the database, backups, report files and settings live (beside the program, or the user's folders).
  const AppPaths& GetPaths() const { return paths; }
  // The Backup command: the next free backup name, the user's confirmation, the copy.
  void Backup(QWidget* parent) override;
  // The modeless windows the application tracks (chart windows); closed together at exit.
  void AddSecondaryWindow(QWidget* window) override;
  bool HasSecondaryWindows() const override;
  void CloseSecondaryWindows() override;
  RealPriceFolders GetRealPriceFolders() const override;
  void RestartMarketDataService() override;
  ISplitEventSource* GetSplitSource() override { return &splitSource; }

 private:
  [[nodiscard]] bool StartUp();
  void ShowStartupError(StringId messageId, const std::string& path);

  AppPaths paths;
  std::unique_ptr<CInstanceChecker> instanceChecker;
  std::unique_ptr<VLDatabase> database;
  VLPrefs prefs;
  LocalServiceLauncher serviceLauncher;
  CTerminationSignals terminationSignals;
  std::vector<QPointer<QWidget>> secondaryWindows;
  ServiceSplitSource splitSource;
};
