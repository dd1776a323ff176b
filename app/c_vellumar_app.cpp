#include "app/c_vellumar_app.h"

#include <QApplication>
#include <QMessageBox>

#include "app/c_instance_checker.h"
#include "app/startup_file_steps.h"
#include "framework/file_util.h"
#include "marketdata/service_hosts.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_startup_files.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/widgets/string_table.h"

CVellumarApp::CVellumarApp() = default;

CVellumarApp::~CVellumarApp() = default;

bool CVellumarApp::StartUp() {
  instanceChecker = std::make_unique<CInstanceChecker>(QStringLiteral("Vellumar"));
  if (instanceChecker->PreviousInstanceRunning()) {
    instanceChecker->ActivatePreviousInstance();
    return false;
  }

  prefs.SetFileName(GetIniPath());
  prefs.Load();
  SetServiceHosts(prefs.GetServicePrefs().hosts);
  SetNumberFormat(NumberFormat::FromUserLocale());

  const std::string folder = GetModuleFolder();
  database = std::make_unique<VLDatabase>(GetDatabasePath(folder));
  if (const QString failure = RunStartupFileSteps(*database, folder); !failure.isEmpty()) {
    QMessageBox::critical(nullptr, LoadString(StringId::AppTitle), failure);
    return false;
  }
  serviceLauncher.EnsureRunning(prefs.GetServicePrefs().hosts, QString::fromStdString(folder));
  return true;
}

int CVellumarApp::Run() {
  if (!StartUp()) return 0;
  int code = 0;
  {
    CDlgVellumar window;
    instanceChecker->TrackFirstInstanceRunning(&window);
    window.show();
    code = QApplication::exec();
  }
  database.reset();  // every change was saved when it was made
  instanceChecker.reset();
  prefs.Save();
  serviceLauncher.Stop();
  return code;
}

void CVellumarApp::Backup(QWidget* parent) {
  const std::string folder = GetModuleFolder();
  const StartupFileResult next = FindNextBackupPath(folder);
  if (!next.Ok()) {
    QMessageBox::critical(parent, LoadString(StringId::AppTitle),
                          FormatString(next.messageId, QString::fromStdString(next.path)));
    return;
  }
  const QString target = QString::fromStdString(next.path);
  if (QMessageBox::information(parent, LoadString(StringId::AppTitle),
                               FormatString(StringId::BackupConfirm, target),
                               QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return;
  }
  const StartupFileResult copied = CopyDatabaseToBackup(folder, next.path);
  if (!copied.Ok()) {
    QMessageBox box(QMessageBox::NoIcon, LoadString(StringId::AppTitle),
                    FormatString(copied.messageId, target), QMessageBox::Ok, parent);
    box.exec();
  }
}
