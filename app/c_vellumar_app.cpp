#include "app/c_vellumar_app.h"

#include <QApplication>
#include <QTimer>

#include "app/c_instance_checker.h"
#include "app/startup_file_steps.h"
#include "framework/file_util.h"
#include "marketdata/service_hosts.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_startup_files.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/settings_saver.h"
#include "ui/marketdata/market_data_finder_windows.h"
#include "ui/widgets/message_box.h"

CVellumarApp::CVellumarApp() = default;

CVellumarApp::~CVellumarApp() = default;

void CVellumarApp::ShowStartupError(StringId messageId, const std::string& path) {
  ShowMessage(nullptr, messageId, MessageIcon::Error, MessageButtons::Ok, {QString::fromStdString(path)});
}

bool CVellumarApp::StartUp() {
  paths = GetAppPaths();
  instanceChecker = std::make_unique<CInstanceChecker>(QStringLiteral("Vellumar"),
                                                       QString::fromStdString(paths.dataFolder));
  if (instanceChecker->PreviousInstanceRunning()) {
    instanceChecker->ActivatePreviousInstance();
    return false;
  }

  std::string failedFolder;
  if (!EnsureAppFolders(paths, failedFolder)) {
    ShowStartupError(StringId::DatabaseCreateError, paths.DatabasePath());
    return false;
  }
  prefs.SetFileName(paths.IniPath());
  prefs.Load();
  SetServiceHosts(prefs.GetServicePrefs().hosts);
  SetNumberFormat(NumberFormat::FromUserLocale());

  const std::string& folder = paths.dataFolder;
  database = std::make_unique<VLDatabase>(GetDatabasePath(folder));
  if (const StartupFileResult failed = RunStartupFileSteps(*database, folder); !failed.Ok()) {
    ShowStartupError(failed.messageId, failed.path);
    return false;
  }
  // A service that does not answer shows as a failed connection in the main window, as a remote one would.
  (void)serviceLauncher.EnsureRunning(prefs.GetServicePrefs().hosts,
                                      QString::fromStdString(GetModuleFolder()));
  return true;
}

int CVellumarApp::Run() {
  if (!StartUp()) return 0;
  int code = 0;
  {
    // The position dialogs reach the symbol and price finders through this.
    MarketDataFinderWindows finderWindows;
    SetMarketDataWindows(&finderWindows);
    CDlgVellumar window(*this);
    // False only when another instance started meanwhile: this one still runs, as it has its window up.
    (void)instanceChecker->TrackFirstInstanceRunning(&window);
    window.show();
    // For checks of an installation: start up, show the main window, end (see vellumar --help).
    if (qEnvironmentVariableIsSet("VELLUMAR_QUIT_WHEN_SHOWN"))
      QTimer::singleShot(0, qApp, &QApplication::quit);
    // A termination signal ends every event loop, open dialogs' too, and keeps the view for the next start.
    QObject::connect(&terminationSignals, &CTerminationSignals::Terminate, &window, [&window] {
      window.SaveViewPrefs();
      QApplication::quit();
    });
    if (terminationSignals.Received())
      window.SaveViewPrefs();
    else
      code = QApplication::exec();
    SetMarketDataWindows(nullptr);
  }
  database.reset();  // every change was saved when it was made
  instanceChecker.reset();
  // No window is left at exit: a failure not told before is told in a box of its own, unless a signal ends
  // the program (the session is ending; nobody would answer the box).
  if (terminationSignals.Received()) {
    (void)prefs.Save();
  } else {
    (void)SaveSettings(nullptr, prefs);
  }
  serviceLauncher.Stop();
  return code;
}

void CVellumarApp::Backup(QWidget* parent) {
  const std::string& folder = paths.dataFolder;
  const StartupFileResult next = FindNextBackupPath(folder);
  if (!next.Ok()) {
    ShowMessage(parent, next.messageId, MessageIcon::Error, MessageButtons::Ok,
                {QString::fromStdString(next.path)});
    return;
  }
  const QString target = QString::fromStdString(next.path);
  if (ShowMessage(parent, StringId::BackupConfirm, MessageIcon::Information, MessageButtons::OkCancel,
                  {target}) != MessageAnswer::Ok) {
    return;
  }
  const StartupFileResult copied = CopyDatabaseToBackup(folder, next.path);
  if (!copied.Ok()) {
    ShowMessage(parent, copied.messageId, MessageIcon::None, MessageButtons::Ok, {target});
  }
}

RealPriceFolders CVellumarApp::GetRealPriceFolders() const {
  const std::string programFolder = GetModuleFolder();
  return {ServiceDataFolder(paths, programFolder), BundledServiceDataFolder(programFolder)};
}

void CVellumarApp::RestartMarketDataService() {
  if (!serviceLauncher.IsOurs()) return;
  serviceLauncher.Stop();
  // Not answering afterwards shows as a failed update, as a remote service would.
  (void)serviceLauncher.EnsureRunning(prefs.GetServicePrefs().hosts,
                                      QString::fromStdString(GetModuleFolder()));
}

void CVellumarApp::AddSecondaryWindow(QWidget* window) {
  secondaryWindows.emplace_back(window);
}

bool CVellumarApp::HasSecondaryWindows() const {
  for (const QPointer<QWidget>& window : secondaryWindows) {
    if (window) return true;
  }
  return false;
}

void CVellumarApp::CloseSecondaryWindows() {
  const std::vector<QPointer<QWidget>> snapshot = secondaryWindows;
  for (const QPointer<QWidget>& window : snapshot) {
    if (window) window->close();
  }
  secondaryWindows.clear();
}
