// Tool commands of the main window: the About box (also the start-up disclaimer) and the backup.
#include "prefs/vl_prefs.h"
#include "ui/dialogs/c_dlg_about.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_view.h"
#include "ui/widgets/dialog_runner.h"

void CDlgVellumar::RegisterToolCommands() {
  handlers.insert(kCmdAbout, [this] {
    CDlgAbout about(false, this);
    RunDialog(about);
  });
  handlers.insert(kCmdShowDisclaimer, [this] { OnShowDisclaimer(); });
  RegisterToolWindowCommands();
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
