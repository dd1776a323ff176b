// Portfolio commands of the main window: the selector, the welcome question, import and export.
#include "portfolio/database/vl_database.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_view.h"
#include "ui/widgets/message_box.h"

void CDlgVellumar::RegisterPortfolioCommands() {
  handlers.insert(kCmdSelector, [this] { ShowSelectorMenu(); });
  handlers.insert(kCmdWelcome, [this] { OnWelcome(); });
  handlers.insert(kCmdImport, [this] { NotImplemented(); });
  handlers.insert(kCmdExport, [this] { NotImplemented(); });
}

void CDlgVellumar::OnWelcome() {
  VLPortfolioItemList portfolios;
  if (!conn || Database().GetPortfolios(conn, portfolios) != kVLOk || portfolios.GetCount() != 0) return;
  if (ShowMessage(this, StringId::WelcomeNewPortfolio, MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::No) {
    PostCommand(kCmdPortfolioNew);
  }
}
