// Window and view commands: deferred initialisation, the notifications, closing, secondary windows and
// On Top.
#include <QAction>
#include <QGuiApplication>
#include <QScreen>

#include "prefs/vl_prefs.h"
#include "ui/dialogs/c_dlg_choose_columns_new.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui/main/settings_saver.h"
#include "ui/widgets/dialog_runner.h"

void CDlgVellumar::RegisterCommands() {
  RegisterPortfolioCommands();
  RegisterPositionCommands();
  RegisterViewCommands();
  RegisterMarketCommands();
  RegisterToolCommands();
  RegisterEditCommands();
}

void CDlgVellumar::RegisterViewCommands() {
  handlers.insert(kCmdDeferredInit, [this] { DeferredInit(); });
  // The database's notifications: everything happens through its events.
  for (int id : {kCmdPortfoliosChanged, kCmdPositionsChanged, kCmdQuotesRefreshed})
    handlers.insert(id, [] {});
  handlers.insert(kCmdExit, [this] {
    if (IsMainWindow()) close();
  });
  handlers.insert(kCmdClose, [this] {
    if (!IsMainWindow()) close();
  });
  handlers.insert(kCmdNewWindow, [this] { OnNewWindow(); });
  handlers.insert(kCmdOnTop, [this] { OnOnTop(); });
  handlers.insert(kCmdUpdateCheckMarks, [this] { ApplyCheckMarks(); });
  handlers.insert(kCmdFavorites, [this] {
    ApplyCheckMarks();  // the menu item toggles itself; its mark follows the setting
    NotImplemented();
  });
  handlers.insert(kCmdDefineDefaultColumns, [this] { NotImplemented(); });
  handlers.insert(kCmdChooseColumns, [this] { OnChooseColumns(); });
}

void CDlgVellumar::OnNewWindow() {
  if (!IsMainWindow()) {
    mainWindow->RunCommand(kCmdNewWindow);
    return;
  }
  auto* child = new CDlgVellumar(host, this);
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen)
    child->move(screen->availableGeometry().center() - QPoint(child->width() / 2, child->height() / 2));
  child->show();
  childWindows.push_back(child);
}

void CDlgVellumar::OnOnTop() {
  if (!IsMainWindow()) {
    ApplyCheckMarks();
    mainWindow->RunCommand(kCmdOnTop);
    return;
  }
  VLGeneralPrefs& prefs = Prefs();
  prefs.alwaysOnTop = !prefs.alwaysOnTop;
  const bool visible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, prefs.alwaysOnTop);
  if (visible) show();
  ApplyCheckMarks();
  for (const QPointer<CDlgVellumar>& child : childWindows) {
    if (child) child->PostCommand(kCmdUpdateCheckMarks);
  }
}

// Chooses the columns of the visible view, stores them and rebuilds that list.
void CDlgVellumar::OnChooseColumns() {
  if (portfolioId == 0) return;
  std::vector<int>& columns = heldView ? heldColumns : soldColumns;
  CDlgChooseColumnsNew dialog(heldView, columns, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  columns = dialog.Columns();
  VLGeneralPrefs& prefs = Prefs();
  (heldView ? prefs.heldColumns : prefs.soldColumns).assign(columns.begin(), columns.end());
  (void)SaveSettings(this, host.GetPrefs());  // a failure is shown once there
  VisibleList()->Model()->SetColumns(columns);
  RefillLists();
  VisibleList()->setFocus();
}
