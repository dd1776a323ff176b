// The main window's timer, connection state, command states, status texts and the way it closes.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolTip>

#include "portfolio/database/vl_database.h"
#include "prefs/vl_prefs.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_view.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"

void CDlgVellumar::SetConnectionProbe(std::function<bool()> probe) {
  connectionProbe = std::move(probe);
  tickCount = 0;
}

void CDlgVellumar::OnTimerTick() {
  if (++tickCount >= 10) {
    CheckConnection();
    // Changes another process saved to the file come in as the database's usual events, to every window;
    // one window asking is enough. Busy or unreadable: the next second tries again.
    if (IsMainWindow() && conn) (void)Database().ReloadIfChanged();
    tickCount = 0;
  }
  PositionListView* list = VisibleList();
  std::vector<uint32_t>& snapshot = heldView ? heldSnapshot : soldSnapshot;
  std::vector<uint32_t> selected = list->SelectedIds();
  const bool changed = selected != snapshot;
  snapshot = std::move(selected);

  const int rows = list->model()->rowCount();
  const int count = static_cast<int>(snapshot.size());
  if (rows == 0) {
    itemCount->setText(LoadString(StringId::NoItems));
  } else if (count == 0) {
    itemCount->setText(FormatString(StringId::ItemCount, {QString::number(rows)}));
  } else {
    itemCount->setText(
        FormatString(StringId::ItemCountSelected, {QString::number(rows), QString::number(count)}));
  }
  if (changed) RefreshCommandStates();
  if (showSummary && forSelectedOnly && changed) UpdateSummary();
  if (updateAtStartPending && MayUpdateUnasked()) {
    updateAtStartPending = false;
    OnUpdate(true);
  }
}

void CDlgVellumar::CheckConnection() {
  const bool now = connectionProbe ? connectionProbe() : false;
  if (now == connected) return;
  connected = now;
  connectionText = LoadString(connected ? StringId::Connected : StringId::NotConnected);
  connectionLabel->setText(connectionText);
  statusBar()->showMessage(connectionText);
  RefreshCommandStates();
}

void CDlgVellumar::RefreshCommandStates() {
  const bool portfolio = portfolioId != 0;
  for (int id : {kCmdPrint, kCmdPositionNew, kCmdPositionEdit, kCmdPositionDelete, kCmdSell, kCmdUnsell,
                 kCmdSetPrice, kCmdChooseColumns}) {
    actions.value(id)->setEnabled(portfolio);
  }
  actions.value(kCmdRecordSplit)->setEnabled(conn != nullptr);
  actions.value(kCmdCorporateActions)->setEnabled(conn != nullptr);
  actions.value(kCmdDividends)->setEnabled(conn != nullptr && portfolio);
  // The menu items that do what the Chart, Info, News and Price buttons do follow those buttons; Performance
  // (menu item and button alike) needs the history service too.
  for (int id : {kCmdChart, kCmdInfo, kCmdNews, kCmdPrice, kCmdChartMenu, kCmdInfoMenu, kCmdRecentNews,
                 kCmdPriceMenu, kCmdPerformance}) {
    actions.value(id)->setEnabled(connected && portfolio);
  }
  for (int id :
       {kCmdQuote, kCmdSymbolFinderSmall, kCmdChartSmall, kCmdInfoSmall, kCmdPriceSmall, kCmdUpdate}) {
    actions.value(id)->setEnabled(connected);
  }
  selector->setEnabled(conn && Database().GetPortfolioCount() > 0);
  buttons.value(kCmdSell)->setVisible(heldView);
  buttons.value(kCmdUnsell)->setVisible(!heldView);

  // A database that may only be read: the window says so and why, and no command that would change it runs.
  const bool readOnly = conn && Database().IsReadOnly();
  for (int id : {kCmdPortfolioNew, kCmdPortfolioEdit, kCmdPortfolioDelete, kCmdCopyToPortfolio,
                 kCmdMoveToPortfolio, kCmdImport}) {
    actions.value(id)->setEnabled(!readOnly);
  }
  if (readOnly) {
    for (int id : {kCmdPositionNew, kCmdPositionEdit, kCmdPositionDelete, kCmdSell, kCmdUnsell, kCmdSetPrice,
                   kCmdRecordSplit, kCmdUpdate}) {
      actions.value(id)->setEnabled(false);
    }
    const FileError& cause = Database().GetReadOnlyCause();
    readOnlyLabel->setText(FormatString(StringId::ReadOnlyLabel, QString::fromStdString(cause.Cause())));
    readOnlyLabel->setToolTip(QString::fromStdString(cause.Describe()));
    readOnlyLabel->setAccessibleDescription(readOnlyLabel->toolTip());
  }
  readOnlyLabel->setVisible(readOnly);
  RefreshEditCommands();
}

void CDlgVellumar::RefreshUpdatedLabel() {
  std::string time;
  std::string status;
  if (conn) {
    // Without them the label says the market time is not available and the status bar omits the status.
    if (Database().GetMarketTime(conn, time) != VLResult::Ok) time.clear();
    if (Database().GetMarketStatus(conn, status) != VLResult::Ok) status.clear();
  }
  updatedLabel->setText(FormatString(
      StringId::UpdatedAt,
      {time.empty() ? QStringLiteral("(Market time not available)") : QString::fromStdString(time)}));
  marketStatusText = firstUpdate ? QString() : QString::fromStdString(status);
  firstUpdate = false;
}

bool CDlgVellumar::event(QEvent* event) {
  // Leaving a menu item sends an empty prompt, which would wipe the connection and market text until the
  // next update; put that text back instead.
  if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
    RefreshStatusBar();
    return true;
  }
  return QMainWindow::event(event);
}

void CDlgVellumar::RefreshStatusBar() {
  QString text = connectionText;
  if (!marketStatusText.isEmpty()) text += QStringLiteral("  |  ") + marketStatusText;
  statusBar()->showMessage(text);
}

bool CDlgVellumar::RunExitSequence() {
  for (const QPointer<CDlgVellumar>& child : childWindows) {
    if (child && !child->isEnabled()) {
      ShowMessage(this, StringId::TasksInProgress, MessageIcon::Information);
      return false;
    }
  }
  bool anyChild = host.HasSecondaryWindows();
  for (const QPointer<CDlgVellumar>& child : childWindows) anyChild = anyChild || child;
  if (anyChild && ShowMessage(this, StringId::ExitConfirm, MessageIcon::Question,
                              MessageButtons::YesNoDefaultNo) == MessageAnswer::No) {
    return false;
  }
  for (const QPointer<CDlgVellumar>& child : childWindows) {
    if (child) child->RunCommand(kCmdClose);
  }
  childWindows.clear();
  host.CloseSecondaryWindows();
  if (listening) Database().RemoveListener(this);
  listening = false;
  if (conn) (void)Database().Disconnect(conn);  // fails only for an unknown connection: nothing to release
  conn = nullptr;
  SaveViewPrefs();
  timer.stop();
  updateTimer.stop();
  return true;
}

void CDlgVellumar::SaveViewPrefs() {
  VLGeneralPrefs& prefs = Prefs();
  prefs.defaultPortfolio = static_cast<int32_t>(portfolioId);
  prefs.showSoldView = !heldView;
  prefs.showPortfolioSummary = showSummary;
  prefs.xPos = pos().x();
  prefs.yPos = pos().y();
  prefs.width = width();
  prefs.height = height();
  prefs.heldSortBy = heldSortBy;
  prefs.heldSortAscending = heldSortAscending;
  prefs.soldSortBy = soldSortBy;
  prefs.soldSortAscending = soldSortAscending;
  prefs.alternateRowColors = alternateRows;
  prefs.heldColumns.assign(heldColumns.begin(), heldColumns.end());
  prefs.soldColumns.assign(soldColumns.begin(), soldColumns.end());
}

void CDlgVellumar::CloseSecondary() {
  timer.stop();
  if (listening) Database().RemoveListener(this);
  listening = false;
  if (conn) (void)Database().Disconnect(conn);  // fails only for an unknown connection: nothing to release
  conn = nullptr;
}

void CDlgVellumar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;  // a dialog would close on Escape; this window stays
  // Enter reaches the window from every control that does not use it itself (the symbol edit passes it on).
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && OnEnter()) return;
  QMainWindow::keyPressEvent(event);
}

bool CDlgVellumar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == symbolEdit && event->type() == QEvent::FocusIn) {
    QMetaObject::invokeMethod(symbolEdit, &QLineEdit::selectAll, Qt::QueuedConnection);
  }
  if (watched == quoteLine && event->type() == QEvent::ToolTip && !quoteLine->text().isEmpty()) {
    QToolTip::showText(quoteLine->mapToGlobal(QPoint(0, 0)), quoteLine->text(), quoteLine);
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}
