// Tool commands of the main window: the About box (also the start-up disclaimer), the backup and the
// options.
#include "portfolio/database/vl_database.h"
#include "prefs/vl_prefs.h"
#include "ui/dialogs/c_dlg_about.h"
#include "ui/dialogs/c_dlg_options.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_view.h"
#include "ui/main/settings_saver.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/wait_cursor.h"

void CDlgVellumar::RegisterToolCommands() {
  handlers.insert(kCmdAbout, [this] {
    CDlgAbout about(false, this);
    RunDialog(about);
  });
  handlers.insert(kCmdShowDisclaimer, [this] { OnShowDisclaimer(); });
  RegisterToolWindowCommands();
  handlers.insert(kCmdOptions, [this] { OnOptions(); });
  handlers.insert(kCmdBackup, [this] {
    host.Backup(this);
    VisibleList()->setFocus();
  });
}

void CDlgVellumar::OnShowDisclaimer() {
  VLGeneralPrefs& prefs = Prefs();
  if (prefs.showDisclaimer) {
    CDlgAbout about(true, this);
    if (RunDialog(about) == QDialog::Accepted) prefs.showDisclaimer = about.ShowAgain();
  }
  PostCommand(kCmdWelcome);
}

void CDlgVellumar::OnOptions() {
  CDlgOptions options(host.GetPrefs(), host.GetRealPriceFolders(), this);
  if (RunDialog(options) != QDialog::Accepted) return;
  ApplyUpdateTimer();
  // The service reads its price sources when it starts.
  if (options.RealPricesTurnedOn()) host.RestartMarketDataService();
  WaitCursor wait;
  // The preferences keep the market too; a store that refuses it keeps its old market until the next OK here.
  if (conn) (void)Database().SetMarket(conn, Prefs().market);
  (void)SaveSettings(this, host.GetPrefs());  // a failure is shown once there
  ApplyListColours();
  for (PositionListView* list : {heldList, soldList}) list->viewport()->update();
}
