#pragma once
// What the snapshot tools share: a host over a real database folder, waiting while the event loop runs, and
// writing a picture with a message when that fails.
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

#include "marketdata/service_hosts.h"
#include "portfolio/database/vl_database.h"
#include "prefs/vl_prefs.h"
#include "ui/main/main_window_host.h"

// The database and settings of `folder` (Vellumar.db, Vellumar.ini), its market-data hosts installed.
class FolderHost : public IMainWindowHost {
 public:
  explicit FolderHost(const QDir& folder)
      : database(folder.filePath(QStringLiteral("Vellumar.db")).toStdString()) {
    prefs.SetFileName(folder.filePath(QStringLiteral("Vellumar.ini")).toStdString());
    prefs.Load();
    SetServiceHosts(prefs.GetServicePrefs().hosts);
  }
  VLDatabase& GetDatabase() override { return database; }
  VLPrefs& GetPrefs() override { return prefs; }
  void Backup(QWidget*) override {}
  void AddSecondaryWindow(QWidget*) override {}
  bool HasSecondaryWindows() const override { return false; }
  void CloseSecondaryWindows() override {}

 private:
  VLPrefs prefs;
  VLDatabase database;
};

inline void Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

inline bool SavePicture(const QPixmap& pixmap, const QDir& out, const QString& name) {
  const QString path = out.filePath(name);
  if (pixmap.save(path)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}
