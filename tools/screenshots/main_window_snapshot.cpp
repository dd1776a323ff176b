// Renders the main window over a real database folder into PNGs, to look at: main-held.png (held view with
// the summary panel, two rows selected), main-sold.png, menu-list.png (the list's pop-up menu),
// menu-selector.png (the portfolio selector), menu-position.png (the Position menu) and main-currencies.png
// (a portfolio of three currencies with the Currency column). Arguments: the folder holding Vellumar.db and
// Vellumar.ini, and the folder to write to.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "portfolio/columns/number_format.h"
#include "prefs/vl_prefs.h"
#include "snapshot_support.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/position_list_view.h"

namespace {

bool Save(const QPixmap& pixmap, const QDir& out, const char* name) {
  return SavePicture(pixmap, out, QString::fromUtf8(name));
}

// The window with an open menu, as the screen shows it.
QPixmap WithMenu(CDlgVellumar& window, QMenu& menu, QPoint at) {
  menu.popup(at);
  Wait(300);
  const QRect area = window.frameGeometry().united(menu.geometry());
  QPixmap shot = window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  menu.hide();
  return shot;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: vl_main_window_snapshot DATA_FOLDER OUT_FOLDER\n");
    return 2;
  }
  ScopedNumberFormat english(NumberFormat::English());
  FolderHost host{QDir(QString::fromLocal8Bit(argv[1]))};
  const QDir out(QString::fromLocal8Bit(argv[2]));
  CDlgVellumar window(host);
  window.show();
  Wait(1500);  // deferred initialisation and the first connection check
  window.HeldList()->selectRow(0);
  window.HeldList()->selectionModel()->select(window.HeldList()->model()->index(2, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
  Wait(300);
  bool ok = Save(window.grab(), out, "main-held.png");

  std::unique_ptr<QMenu> listMenu = window.BuildListMenu();
  const QRect row = window.HeldList()->visualRect(window.HeldList()->model()->index(2, 1));
  ok = Save(WithMenu(window, *listMenu, window.HeldList()->viewport()->mapToGlobal(row.center())), out,
            "menu-list.png") &&
       ok;
  std::unique_ptr<QMenu> selectorMenu = window.BuildSelectorMenu();
  auto* selector = window.findChild<QPushButton*>(QStringLiteral("1009"));
  ok = Save(WithMenu(window, *selectorMenu, selector->mapToGlobal(QPoint(0, selector->height()))), out,
            "menu-selector.png") &&
       ok;
  auto* position = window.findChild<QMenu*>(QStringLiteral("Position"));
  const QRect item = window.menuBar()->actionGeometry(position->menuAction());
  ok = Save(WithMenu(window, *position, window.menuBar()->mapToGlobal(item.bottomLeft())), out,
            "menu-position.png") &&
       ok;

  window.findChild<QTabBar*>(QStringLiteral("2148"))->setCurrentIndex(1);
  Wait(300);
  ok = Save(window.grab(), out, "main-sold.png") && ok;

  // The portfolio of three exchanges, with the Currency column: the summary says the totals mix currencies.
  uint32_t trading = 0;
  for (const QAction* entry : window.BuildSelectorMenu()->actions()) {
    if (entry->text().trimmed() == QStringLiteral("Trading")) trading = entry->data().toUInt();
  }
  VLGeneralPrefs& general = host.GetPrefs().GetGeneralPrefs();
  general.heldColumns = {0, 1, 74, 3, 4, 8, 9, 14, 15};
  general.showSoldView = false;
  CDlgVellumar tradingWindow(host, &window);
  tradingWindow.resize(window.size());
  tradingWindow.show();
  Wait(1500);  // its own first connection check
  tradingWindow.SelectPortfolio(trading);
  Wait(300);
  ok = Save(tradingWindow.grab(), out, "main-currencies.png") && ok;
  return ok ? 0 : 1;
}
