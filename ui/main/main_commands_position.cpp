// Position commands of the main window: new, edit, delete, sell, unsell, copy and move. Each works on the
// selected rows of the visible list by item id and leaves every list update to the database's events.
#include <QTabBar>

#include "portfolio/columns/clock.h"
#include "portfolio/database/split_check.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_holding_item.h"
#include "prefs/vl_prefs.h"
#include "ui/dialogs/c_dlg_holding.h"
#include "ui/dialogs/c_dlg_record_split.h"
#include "ui/dialogs/c_dlg_select_portfolio.h"
#include "ui/dialogs/c_dlg_sell_holding.h"
#include "ui/dialogs/c_dlg_set_price.h"
#include "ui/main/c_dlg_corporate_actions.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_view.h"
#include "ui/main/refused_change.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/wait_cursor.h"

namespace {

// A change the database refused: it failed, another program kept the file locked, the file may only be
// read or has no number left. The other codes (position or portfolio gone, position not sold) mean there was
// nothing left to do for that position.
bool Refused(VLResult code) {
  return code == VLResult::Failed || code == VLResult::Busy || code == VLResult::ReadOnly ||
         code == VLResult::StoreFull;
}

}  // namespace

void CDlgVellumar::RegisterPositionCommands() {
  handlers.insert(kCmdPositionNew, [this] { OnPositionNew(); });
  handlers.insert(kCmdPositionEdit, [this] { OnPositionEdit(); });
  handlers.insert(kCmdPositionDelete, [this] { OnPositionDelete(); });
  handlers.insert(kCmdSell, [this] { OnPositionSell(); });
  handlers.insert(kCmdUnsell, [this] { OnPositionUnsell(); });
  handlers.insert(kCmdSetPrice, [this] { OnSetPrice(); });
  handlers.insert(kCmdRecordSplit, [this] { OnRecordSplit(); });
  handlers.insert(kCmdCorporateActions, [this] { OpenCorporateActions(); });
  handlers.insert(kCmdCopyToPortfolio, [this] { OnPositionCopyOrMove(false); });
  handlers.insert(kCmdMoveToPortfolio, [this] { OnPositionCopyOrMove(true); });
}

std::vector<uint32_t> CDlgVellumar::SelectedForCommand(StringId noneMessage, bool single) {
  std::vector<uint32_t> ids = VisibleList()->SelectedIds();
  if (ids.empty()) {
    ShowMessage(this, noneMessage, MessageIcon::Information);
    VisibleList()->setFocus();
    return {};
  }
  if (single && ids.size() > 1) {
    ShowMessage(this, StringId::SelectSinglePosition);
    VisibleList()->setFocus();
    return {};
  }
  return ids;
}

std::unique_ptr<VLHoldingItem> CDlgVellumar::ReadPosition(uint32_t id) {
  std::unique_ptr<VLHoldingItem> position;
  // Another program may have changed the file since the last look; its events refill the lists.
  (void)Database().ReloadIfChanged();
  if (!conn || Database().GetPosition(conn, id, position) != VLResult::Ok || !position) {
    ShowMessage(this, StringId::PositionGone);
    VisibleList()->setFocus();
    return nullptr;
  }
  return position;
}

void CDlgVellumar::OnPositionNew() {
  if (portfolioId == 0 || !conn) return;
  if (!heldView) tabs->setCurrentIndex(0);
  CDlgHolding dialog(false, kHoldingStock, nullptr, this, Database().BaseCurrencyOf(portfolioId));
  if (RunDialog(dialog) != QDialog::Accepted) return;
  uint32_t id = 0;
  VLResult code = VLResult::Failed;
  std::string name;
  switch (dialog.Kind()) {
    case kHoldingStock:
      name = dialog.Stock().name;
      code = Database().AddStockPosition(conn, portfolioId, dialog.Stock(), id);
      break;
    case kHoldingCash:
      name = dialog.Cash().name;
      code = Database().AddCashPosition(conn, portfolioId, dialog.Cash().amount, name, id);
      break;
    default:
      name = dialog.Margin().name;
      code = Database().AddMarginPosition(conn, portfolioId, dialog.Margin().amountOwed, name, id);
      break;
  }
  if (code != VLResult::Ok) {
    ShowRefusedChange(this, Database(), conn, StringId::PositionAddError, code, MessageIcon::None,
                      {QString::fromStdString(name)});
    return;
  }
  // The new position shows its quote at once instead of a loss of all it cost until the next update.
  if (dialog.Kind() == kHoldingStock) RefreshQuoteOf(name);
}

void CDlgVellumar::OnPositionEdit() {
  const std::vector<uint32_t> ids = SelectedForCommand(StringId::SelectPositionToEdit, true);
  if (ids.empty()) return;
  std::unique_ptr<VLHoldingItem> position = ReadPosition(ids.front());
  if (!position) return;
  const int32_t kind = position->GetKind();
  CDlgHolding dialog(true, kind, position.get(), this, Database().BaseCurrencyOf(position->ownerPortfolioId));
  // The change is stored while the dialog is still open: when the database refuses it, the dialog stays
  // with what was typed, to try again or to copy from.
  dialog.SetCommit([&] {
    VLResult code = VLResult::Failed;
    if (kind == kHoldingStock) {
      code =
          Database().ModifyStockPosition(conn, position->id, dialog.Stock(), dialog.NewSymbol().value_or(""));
    } else if (kind == kHoldingCash) {
      code = Database().ModifyCashPosition(conn, position->id, position->ownerPortfolioId,
                                           dialog.Cash().amount, dialog.Cash().name);
    } else {
      code = Database().ModifyMarginPosition(conn, position->id, position->ownerPortfolioId,
                                             dialog.Margin().amountOwed, dialog.Margin().name);
    }
    if (code == VLResult::NotFound) {
      ShowMessageWithDetail(&dialog, StringId::PositionGone, LoadString(StringId::PositionDeletedElsewhere));
    } else if (code != VLResult::Ok) {
      ShowRefusedChange(&dialog, Database(), conn, StringId::PositionChangeError, code, MessageIcon::Error);
    }
    return code == VLResult::Ok;
  });
  if (RunDialog(dialog) == QDialog::Accepted && dialog.NewSymbol()) RefreshQuoteOf(*dialog.NewSymbol());
}

void CDlgVellumar::OnPositionDelete() {
  const std::vector<uint32_t> ids = SelectedForCommand(StringId::SelectPositionToDelete, false);
  if (ids.empty()) return;
  if (ShowMessage(this, StringId::PositionDeleteConfirm, MessageIcon::Question,
                  MessageButtons::YesNoDefaultNo) != MessageAnswer::Yes)
    return;
  for (uint32_t id : ids) {
    if (const VLResult code = Database().DeletePosition(conn, id); Refused(code)) {
      ShowRefusedChange(this, Database(), conn, StringId::PositionDeleteError, code, MessageIcon::Error);
      return;
    }
  }
}

void CDlgVellumar::OnPositionSell() {
  const std::vector<uint32_t> ids = SelectedForCommand(StringId::SelectPositionToSell, true);
  if (ids.empty()) return;
  std::unique_ptr<VLHoldingItem> position = ReadPosition(ids.front());
  if (!position) return;
  auto* stock = dynamic_cast<VLStockHoldingItem*>(position.get());
  const StringId refusal = !stock                ? StringId::CannotSellCashOrMargin
                           : stock->IsSold()     ? StringId::AlreadySold
                           : stock->qty.IsZero() ? StringId::NoShares
                                                 : StringId::None;
  if (refusal != StringId::None) {
    ShowMessage(this, refusal);
    VisibleList()->setFocus();
    return;
  }
  CDlgSellHolding dialog(*stock, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  const SellResult& sale = dialog.Result();
  uint32_t newId = 0;
  const VLResult code = Database().SellPosition(conn, stock->id, sale.soldQty, sale.salePrice,
                                                sale.saleCommission, sale.saleDate, newId);
  if (code != VLResult::Ok)
    ShowRefusedChange(this, Database(), conn, StringId::PositionSellError, code, MessageIcon::Error);
}

void CDlgVellumar::OnPositionUnsell() {
  const std::vector<uint32_t> ids = SelectedForCommand(StringId::SelectPositionToUnsell, false);
  if (ids.empty()) return;
  if (ShowMessage(this, StringId::UnsellConfirm, MessageIcon::Question, MessageButtons::YesNoDefaultNo) !=
      MessageAnswer::Yes)
    return;
  for (uint32_t id : ids) {
    if (const VLResult code = Database().UnsellPosition(conn, id); Refused(code)) {
      ShowRefusedChange(this, Database(), conn, StringId::UnsellError, code, MessageIcon::Error);
      return;
    }
  }
}

void CDlgVellumar::OnPositionCopyOrMove(bool move) {
  const std::vector<uint32_t> ids =
      SelectedForCommand(move ? StringId::SelectPositionToMove : StringId::SelectPositionToCopy, false);
  if (ids.empty()) return;
  if (move) {
    VLPortfolioItemList portfolios;
    if (Database().GetPortfolios(conn, portfolios) != VLResult::Ok) {
      ShowMessage(this, StringId::PortfoliosReadError, MessageIcon::Error);
      return;
    }
    if (portfolios.GetCount() <= 1) return;
  }
  // Copying may target the current portfolio (a duplicate); moving may not.
  CDlgSelectPortfolio dialog(Database(), conn, move ? portfolioId : 0, 0, this, Prefs().defaultBaseCurrency);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  for (uint32_t id : ids) {
    const VLResult code = move ? Database().MovePosition(conn, id, dialog.Chosen())
                               : Database().CopyPosition(conn, id, dialog.Chosen());
    if (move ? Refused(code) : code != VLResult::Ok) {
      ShowRefusedChange(this, Database(), conn,
                        move ? StringId::PositionMoveError : StringId::PositionCopyError, code,
                        MessageIcon::Error);
      return;
    }
  }
}

QString CDlgVellumar::SelectedSymbol() {
  if (const std::vector<uint32_t> ids = VisibleList()->SelectedIds(); ids.size() == 1) {
    std::unique_ptr<VLHoldingItem> position;
    if (conn && Database().GetPosition(conn, ids.front(), position) == VLResult::Ok && position &&
        position->GetKind() == kHoldingStock) {
      return QString::fromStdString(position->name);
    }
  }
  return {};
}

void CDlgVellumar::OnRecordSplit() {
  if (!conn) return;
  CDlgRecordSplit dialog(Database(), conn, SelectedSymbol(), this);
  (void)RunDialog(dialog);  // the dialog records the split itself; the lists follow its notice
}

void CDlgVellumar::OpenCorporateActions() {
  if (!conn) return;
  if (!corporateActions) {
    corporateActions = new CDlgCorporateActions(Database(), conn, this);
    connect(corporateActions, &CDlgCorporateActions::RecordSplitRequested, this, [this] {
      CDlgRecordSplit dialog(Database(), conn, SelectedSymbol(), corporateActions);
      if (RunDialog(dialog) == QDialog::Accepted && corporateActions) corporateActions->Reload(true);
    });
  }
  corporateActions->show();
  corporateActions->raise();
  corporateActions->activateWindow();
}

void CDlgVellumar::OfferSplitsOncePerDay() {
  ISplitEventSource* source = host.GetSplitSource();
  if (!source || !IsMainWindow() || !conn || Database().IsReadOnly()) return;
  const int64_t today = TodayDayNumber();
  if (splitsOfferedDay == today) return;
  splitsOfferedDay = today;
  SplitCheck check;
  {
    WaitCursor wait;
    if (CheckForSplits(Database(), conn, *source, today, check) != VLResult::Ok) return;
  }
  if (check.proposals.empty()) return;  // nothing found, or the service could not be asked: no prompt
  if (ShowMessage(this, StringId::CheckSplitsFound, MessageIcon::Question, MessageButtons::YesNo,
                  {QString::number(check.proposals.size())}) != MessageAnswer::Yes) {
    return;
  }
  OpenCorporateActions();
  corporateActions->OfferSplits(check);  // what was found, not asked again
}

void CDlgVellumar::OnSetPrice() {
  // The symbol of the one stock position selected, if that is what is selected; else the user types one.
  CDlgSetPrice dialog(SelectedSymbol(), this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  const ManualPriceResult& price = dialog.Result();
  const VLResult code = Database().SetManualPrice(conn, price.symbol, price.date, price.price);
  if (code != VLResult::Ok) {
    ShowRefusedChange(this, Database(), conn, StringId::SetPriceError, code, MessageIcon::Error,
                      {QString::fromStdString(price.symbol)});
  }
}
