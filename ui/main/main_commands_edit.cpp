// The Edit menu of the main window: Undo and Redo over the change journal (of changes made by any program),
// and the Change History window.
#include <QAction>
#include <QTabBar>

#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_holding_item.h"
#include "ui/main/c_dlg_change_history.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui/main/refused_change.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"

namespace {

// Told of every change the database makes or finds (this window's, another window's, another program's).
class EditCommandsListener : public IVLDatabaseListener {
 public:
  EditCommandsListener(VLDatabase& database, std::function<void()> changed)
      : database(database), changed(std::move(changed)) {
    database.AddListener(this);
  }
  ~EditCommandsListener() override { database.RemoveListener(this); }
  void OnDatabaseEvent(const VLDatabaseEvent&) override { changed(); }

 private:
  VLDatabase& database;
  std::function<void()> changed;
};

// A change's text as a menu shows it: not too long, and an "&" in a name is no mnemonic.
QString MenuText(const std::string& text) {
  constexpr qsizetype kLongest = 60;
  QString shown = QString::fromStdString(text);
  if (shown.size() > kLongest) shown = shown.left(kLongest - 3) + QStringLiteral("...");
  return shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

void CDlgVellumar::RegisterEditCommands() {
  handlers.insert(kCmdUndo, [this] { OnJournalStep(true); });
  handlers.insert(kCmdRedo, [this] { OnJournalStep(false); });
  handlers.insert(kCmdChangeHistory, [this] { OpenChangeHistory(); });
  // A change whose journal entry could not be written is said once, after the windows were told of it.
  auto warned = std::make_shared<bool>(false);
  editCommandsListener = std::make_unique<EditCommandsListener>(Database(), [this, warned] {
    RefreshEditCommands();
    if (!Database().LastChangeNotJournaled()) {
      *warned = false;
      return;
    }
    if (*warned || !IsMainWindow()) return;
    *warned = true;
    const FileError error = Database().GetLastJournalError();
    QMetaObject::invokeMethod(
        this,
        [this, error] {
          ShowMessage(this, StringId::ChangeNotJournaled, MessageIcon::Exclamation, MessageButtons::Ok,
                      {QString::fromStdString(error.path), QString::fromStdString(error.Cause())});
        },
        Qt::QueuedConnection);
  });
  RefreshEditCommands();
}

void CDlgVellumar::RefreshEditCommands() {
  QAction* undo = actions.value(kCmdUndo);
  QAction* redo = actions.value(kCmdRedo);
  VLJournalState state;
  // A journal another program holds locked right now keeps the entries last read; the next event or
  // opening of the menu reads it again.
  const bool known = conn && Database().GetJournalState(conn, state) != VLResult::Failed;
  const bool writable = known && !Database().IsReadOnly();
  undo->setText(state.canUndo ? FormatString(StringId::EditUndo, MenuText(state.undoText))
                              : LoadString(StringId::EditUndoNothing));
  redo->setText(state.canRedo ? FormatString(StringId::EditRedo, MenuText(state.redoText))
                              : LoadString(StringId::EditRedoNothing));
  undo->setEnabled(writable && state.canUndo);
  redo->setEnabled(writable && state.canRedo);
  actions.value(kCmdChangeHistory)->setEnabled(conn != nullptr);
  if (changeHistory) changeHistory->Reload();
}

void CDlgVellumar::OnJournalStep(bool undo) {
  if (!conn) return;
  VLJournalStep step;
  const VLResult code = undo ? Database().Undo(conn, step) : Database().Redo(conn, step);
  const QStringList change = {QString::fromStdString(step.text)};
  switch (code) {
    case VLResult::Ok:
      ShowStepRecords(step);
      RefreshBlankQuotes();
      break;
    case VLResult::NothingToUndo:
    case VLResult::NothingToRedo:
      ShowMessage(this, undo ? StringId::NothingToUndo : StringId::NothingToRedo, MessageIcon::Information);
      break;
    case VLResult::JournalMismatch:
      ShowMessage(this, undo ? StringId::UndoMismatch : StringId::RedoMismatch, MessageIcon::Exclamation,
                  MessageButtons::Ok, change);
      break;
    case VLResult::JournalUnreadable: {
      const FileError& error = Database().GetLastJournalError();
      ShowMessage(
          this, StringId::JournalUnreadable, MessageIcon::Error, MessageButtons::Ok,
          {QString::fromStdString(Database().GetJournalPath()), QString::fromStdString(error.Cause())});
      break;
    }
    default:
      ShowRefusedChange(this, Database(), conn, undo ? StringId::UndoError : StringId::RedoError, code,
                        MessageIcon::Error, change);
      break;
  }
  RefreshEditCommands();
}

void CDlgVellumar::ShowStepRecords(const VLJournalStep& step) {
  uint32_t target = 0;
  const uint32_t first = step.positionIds.empty() ? 0 : step.positionIds.front();
  std::unique_ptr<VLHoldingItem> position;
  if (first && Database().GetPosition(conn, first, position) == VLResult::Ok)
    target = position->ownerPortfolioId;
  if (!target && !step.portfolioIds.empty()) target = step.portfolioIds.front();
  if (!target) return;
  if (target != portfolioId) SelectPortfolio(target);
  if (!first || target != portfolioId) return;
  // The tab that shows them; positions that came back elsewhere are in their own portfolios.
  const bool held = heldList->Model()->RowOfItem(first) >= 0;
  if (!held && soldList->Model()->RowOfItem(first) < 0) return;
  if (held != heldView) tabs->setCurrentIndex(held ? 0 : 1);
  PositionListView* list = VisibleList();
  list->SelectIds(step.positionIds, first);
  (heldView ? heldSnapshot : soldSnapshot) = list->SelectedIds();
  list->setFocus();
}

void CDlgVellumar::OpenChangeHistory() {
  if (!conn) return;
  if (!changeHistory) {
    changeHistory = new CDlgChangeHistory(Database(), conn, this);
    connect(changeHistory, &CDlgChangeHistory::UndoRequested, this, [this] { RunCommand(kCmdUndo); });
    connect(changeHistory, &CDlgChangeHistory::RedoRequested, this, [this] { RunCommand(kCmdRedo); });
  }
  changeHistory->show();
  changeHistory->raise();
  changeHistory->activateWindow();
}
