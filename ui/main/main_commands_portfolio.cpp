// Portfolio commands of the main window: the selector, the welcome question, new, edit and delete,
// import and export.
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "prefs/import_profiles.h"
#include "prefs/vl_prefs.h"
#include "ui/dialogs/c_dlg_export_portfolios.h"
#include "ui/dialogs/c_dlg_import_portfolios.h"
#include "ui/dialogs/c_dlg_portfolio.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_view.h"
#include "ui/main/refused_change.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/message_box.h"

void CDlgVellumar::RegisterPortfolioCommands() {
  handlers.insert(kCmdSelector, [this] { ShowSelectorMenu(); });
  handlers.insert(kCmdWelcome, [this] { OnWelcome(); });
  handlers.insert(kCmdImport, [this] {
    if (!conn) return;
    CDlgImportPortfolios dialog(Database(), conn, Prefs(),
                                ImportProfilesPathBeside(host.GetPrefs().GetFileName()), portfolioId, this);
    // The lists show the new positions at once: the database's events refill them; the portfolio the
    // positions went into becomes the one shown.
    if (RunDialog(dialog) == QDialog::Accepted && dialog.ImportedPortfolio() != 0) {
      SelectPortfolio(dialog.ImportedPortfolio());
      RefreshBlankQuotes();
    }
    VisibleList()->setFocus();
  });
  handlers.insert(kCmdExport, [this] {
    if (!conn) return;
    CDlgExportPortfolios dialog(Database(), conn, Prefs(), portfolioId, this);
    (void)RunDialog(dialog);
    VisibleList()->setFocus();
  });
  handlers.insert(kCmdPortfolioNew, [this] { OnPortfolioNew(); });
  handlers.insert(kCmdPortfolioEdit, [this] { OnPortfolioEdit(); });
  handlers.insert(kCmdPortfolioDelete, [this] { OnPortfolioDelete(); });
}

void CDlgVellumar::OnWelcome() {
  VLPortfolioItemList portfolios;
  if (!conn || Database().GetPortfolios(conn, portfolios) != VLResult::Ok || portfolios.GetCount() != 0)
    return;
  if (ShowMessage(this, StringId::WelcomeNewPortfolio, MessageIcon::Question, MessageButtons::YesNo) !=
      MessageAnswer::No) {
    PostCommand(kCmdPortfolioNew);
  }
}

void CDlgVellumar::OnPortfolioNew() {
  if (!conn) return;
  CDlgPortfolio dialog(nullptr, this, Prefs().defaultBaseCurrency);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  std::unique_ptr<VLPortfolioItem> portfolio = dialog.TakePortfolio();
  const VLResult code = Database().AddPortfolio(conn, *portfolio);
  if (code != VLResult::Ok) {
    ShowRefusedChange(this, Database(), conn,
                      code == VLResult::NameClash ? StringId::PortfolioExists : StringId::PortfolioAddError,
                      code, MessageIcon::None, {QString::fromStdString(portfolio->name)});
    return;
  }
  SelectPortfolio(portfolio->id);
  // A base currency converts with rates of its own, which the next update would otherwise bring.
  if (!portfolio->baseCurrency.empty() && connected && FetchExchangeRates()) {
    RefillLists();
    RefreshStatusBar();
  }
}

void CDlgVellumar::OnPortfolioEdit() {
  VLPortfolioItem portfolio;
  if (portfolioId == 0 || !conn || Database().GetPortfolio(conn, portfolioId, portfolio) != VLResult::Ok)
    return;
  const std::string baseBefore = portfolio.baseCurrency;
  CDlgPortfolio dialog(&portfolio, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  if (const VLResult code = Database().ModifyPortfolio(conn, portfolio); code != VLResult::Ok) {
    ShowRefusedChange(this, Database(), conn, StringId::PortfolioChangeError, code, MessageIcon::None,
                      {QString::fromStdString(portfolio.name)});
    return;
  }
  if (portfolio.baseCurrency != baseBefore) {
    if (!portfolio.baseCurrency.empty() && connected) (void)FetchExchangeRates();
    RefillLists();
    RefreshStatusBar();
  }
}

void CDlgVellumar::OnPortfolioDelete() {
  if (portfolioId == 0 || !conn) return;
  const QString name = QString::fromStdString(portfolioName);
  if (ShowMessage(this, StringId::PortfolioDeleteConfirm, MessageIcon::Question,
                  MessageButtons::YesNoDefaultNo, {name}) != MessageAnswer::Yes) {
    return;
  }
  if (const VLResult code = Database().DeletePortfolio(conn, portfolioId); code != VLResult::Ok) {
    ShowRefusedChange(this, Database(), conn, StringId::PortfolioDeleteError, code, MessageIcon::None,
                      {name});
  }
}
