// The main window's lists: selecting a portfolio, refilling from the database, sorting by header clicks,
// the tabs, the pop-up menus and the database events.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>

#include "portfolio/columns/holding_sort.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "prefs/vl_prefs.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui/main/summary_panel.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/wait_cursor.h"

namespace {

QColor FromPrefsColour(uint32_t rgb) {
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

}  // namespace

PositionListView* CDlgVellumar::VisibleList() const {
  return heldView ? heldList : soldList;
}

void CDlgVellumar::OnDatabaseEvent(const VLDatabaseEvent& event) {
  switch (event.kind) {
    case VLDatabaseEvent::kPortfolioAdded:
      RefreshCommandStates();
      break;
    case VLDatabaseEvent::kPortfolioModified:
      SelectPortfolio(portfolioId);  // reads the name again
      break;
    case VLDatabaseEvent::kPortfolioDeleted:
      if (event.portfolioId == portfolioId) SelectPortfolio(0);
      RefreshCommandStates();
      break;
    case VLDatabaseEvent::kPositionAdded:
      if (event.portfolioId != portfolioId || portfolioId == 0) break;
      (heldView ? heldSnapshot : soldSnapshot) = {event.itemId};
      RefillLists();
      VisibleList()->SelectIds({event.itemId}, event.itemId);
      break;
    case VLDatabaseEvent::kPositionChanged:
    case VLDatabaseEvent::kPositionRemoved:
      if (event.portfolioId == portfolioId && portfolioId != 0) RefillLists();
      break;
    case VLDatabaseEvent::kQuotesRefreshed:
      RefreshUpdatedLabel();
      if (portfolioId != 0) RefillLists();
      break;
    default:
      break;
  }
}

void CDlgVellumar::SelectPortfolio(uint32_t id) {
  VLPortfolioItem portfolio;
  if (id != 0 && (!conn || Database().GetPortfolio(conn, id, portfolio) != VLResult::Ok)) id = 0;
  if (id != 0) portfolioName = portfolio.name;
  const QString name = id ? QString::fromStdString(portfolioName) : LoadString(StringId::NoPortfolio);
  selector->setText(QStringLiteral("  ") + name);
  const QString title = id ? FormatString(StringId::WindowTitle, name) : LoadString(StringId::AppTitle);
  setWindowTitle(conn && Database().IsReadOnly() ? FormatString(StringId::ReadOnlyTitle, title) : title);
  if (id != portfolioId) {
    portfolioId = id;
    if (id == 0) portfolioName.clear();
    RefreshCommandStates();
    RefillLists();
    return;
  }
  VisibleList()->setFocus();
}

void CDlgVellumar::RefillLists() {
  VLHoldingItemList held;
  VLHoldingItemList sold;
  if (portfolioId != 0) {
    const VLResult heldCode =
        conn ? Database().GetPositions(conn, portfolioId, true, held) : VLResult::Failed;
    const VLResult soldCode =
        conn ? Database().GetPositions(conn, portfolioId, false, sold) : VLResult::Failed;
    if ((heldCode != VLResult::Ok && heldCode != VLResult::NotFound) ||
        (soldCode != VLResult::Ok && soldCode != VLResult::NotFound)) {
      ShowMessage(this, StringId::PositionsReadError, MessageIcon::Error);
      VisibleList()->setFocus();
      return;
    }
  }
  {
    WaitCursor wait;
    FillList(heldList, true, held);
    FillList(soldList, false, sold);
  }
  UpdateSummary();  // once both lists are filled
  listStack->setCurrentWidget(VisibleList());
  VisibleList()->setFocus();
}

void CDlgVellumar::FillList(PositionListView* list, bool held, VLHoldingItemList& positions) {
  PositionListModel* model = list->Model();
  list->setUpdatesEnabled(false);
  const std::vector<int>& columns = held ? heldColumns : soldColumns;
  VLPortfolioItem portfolio;
  if (portfolioId == 0 || !conn ||
      Database().GetPortfolio(conn, portfolioId, portfolio) == VLResult::NotFound) {
    model->SetColumns(columns);
    list->setUpdatesEnabled(true);
    return;
  }
  // The keyboard goes on from the row it was on, when that position is still there.
  const QModelIndex current = list->currentIndex();
  const uint32_t currentId = current.isValid() ? model->ItemIdAt(current.row()) : 0;
  model->Refill(positions, columns, held ? heldSortBy : soldSortBy,
                held ? heldSortAscending : soldSortAscending);
  list->setUpdatesEnabled(true);
  list->ApplyColumnWidths();
  list->SelectIds(held ? heldSnapshot : soldSnapshot, currentId);
}

void CDlgVellumar::OnHeaderClicked(int section) {
  const std::vector<int>& columns = heldView ? heldColumns : soldColumns;
  if (section < 0 || section >= static_cast<int>(columns.size())) return;  // the empty last column
  int& sortBy = heldView ? heldSortBy : soldSortBy;
  bool& ascending = heldView ? heldSortAscending : soldSortAscending;
  if (!ApplyHeaderClick(columns[static_cast<size_t>(section)], sortBy, ascending)) {
    QApplication::beep();
    emit UnsortableColumnClicked();
    return;
  }
  RefillLists();
}

void CDlgVellumar::OnTabChanged(int index) {
  heldView = index != 1;
  heldList->ApplyColumnWidths();
  soldList->ApplyColumnWidths();
  listStack->setCurrentWidget(VisibleList());
  RefreshCommandStates();
  UpdateSummary();
  VisibleList()->setFocus();
}

std::unique_ptr<QMenu> CDlgVellumar::BuildListMenu() {
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName(QStringLiteral("ListMenu"));
  menu->addAction(actions.value(kCmdPositionNew));
  if (VisibleList()->selectionModel()->hasSelection()) {
    QAction* edit = actions.value(kCmdPositionEdit);
    menu->addAction(edit);
    menu->setDefaultAction(edit);
    menu->addAction(actions.value(kCmdPositionDelete));
    menu->addAction(actions.value(heldView ? kCmdSell : kCmdUnsell));
    menu->addAction(actions.value(kCmdSetPrice));
    menu->addSeparator();
    menu->addAction(actions.value(kCmdCopyToPortfolio));
    menu->addAction(actions.value(kCmdMoveToPortfolio));
  }
  menu->addSeparator();
  menu->addAction(actions.value(kCmdChartMenu));
  // The pop-up names security information more briefly than the menu bar; it runs the same command.
  QAction* information = menu->addAction(QStringLiteral("&Information"));
  information->setObjectName(QString::number(kCmdInfoMenu));
  information->setEnabled(actions.value(kCmdInfoMenu)->isEnabled());
  connect(information, &QAction::triggered, actions.value(kCmdInfoMenu), &QAction::trigger);
  menu->addAction(actions.value(kCmdPriceMenu));
  return menu;
}

void CDlgVellumar::OnListContextMenu(const QPoint& pos) {
  std::unique_ptr<QMenu> menu = BuildListMenu();
  menu->exec(VisibleList()->viewport()->mapToGlobal(pos));
}

std::unique_ptr<QMenu> CDlgVellumar::BuildSelectorMenu() {
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName(QStringLiteral("SelectorMenu"));
  VLPortfolioItemList portfolios;
  const bool listed = conn && Database().GetPortfolios(conn, portfolios) == VLResult::Ok;
  const bool none = !listed || portfolios.GetCount() == 0;
  QAction* noneEntry = menu->addAction(QStringLiteral(" ") + LoadString(StringId::NoPortfolio));
  noneEntry->setData(0u);
  noneEntry->setCheckable(true);
  noneEntry->setChecked(portfolioId == 0 || none);
  if (none) return menu;
  menu->addSeparator();
  for (const auto& item : portfolios) {
    QAction* entry = menu->addAction(QStringLiteral(" ") + QString::fromStdString(item->name));
    entry->setData(item->id);
    entry->setCheckable(true);
    entry->setChecked(item->id == portfolioId);
  }
  return menu;
}

void CDlgVellumar::ShowSelectorMenu() {
  std::unique_ptr<QMenu> menu = BuildSelectorMenu();
  QAction* chosen = menu->exec(selector->mapToGlobal(QPoint(0, selector->height())));
  if (!chosen) {
    VisibleList()->setFocus();
    return;
  }
  SelectPortfolio(chosen->data().toUInt());
}

void CDlgVellumar::ApplyListColours() {
  const VLGeneralPrefs& prefs = host.GetPrefs().GetGeneralPrefs();
  for (PositionListView* list : {heldList, soldList}) {
    list->Model()->SetColours(alternateRows, FromPrefsColour(prefs.alternateRowColor),
                              FromPrefsColour(prefs.sortedColumnColor));
  }
}

void CDlgVellumar::OnSummaryToggled() {
  showSummary = summaryCheck->isChecked();
  forSelectedOnly = selectedOnlyCheck->isChecked();
  selectedOnlyCheck->setEnabled(showSummary);
  summaryPanel->setVisible(showSummary);
  if (showSummary) UpdateSummary();
}

void CDlgVellumar::UpdateSummary() {
  if (!showSummary || !summaryPanel || !conn) return;
  const bool ok = summaryPanel->Update(Database(), conn, forSelectedOnly, VisibleList()->SelectedIds(),
                                       portfolioId, heldView);
  emit SummaryUpdated();
  if (!ok) ShowMessage(this, StringId::SummaryError, MessageIcon::Error);
}
