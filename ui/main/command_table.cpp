#include "ui/main/command_table.h"

#include <QAction>
#include <QKeySequence>

#include "ui/main/command_ids.h"

const QList<CommandInfo>& CommandCatalogue() {
  static const QList<CommandInfo> table = {
      // id, menu text, button text, tool tip, checkable
      {kCmdBackup, "&Backup...", nullptr, nullptr, false},
      {kCmdPrint, "&Print...", "R", "Print Portfolio", false},
      {kCmdExit, "E&xit", nullptr, nullptr, false},
      {kCmdClose, "&Close", nullptr, nullptr, false},
      {kCmdUndo, "&Undo", nullptr, nullptr, false},
      {kCmdRedo, "&Redo", nullptr, nullptr, false},
      {kCmdChangeHistory, "Change &History...", nullptr, nullptr, false},
      {kCmdPortfolioNew, "&New", "P", "New Portfolio", false},
      {kCmdPortfolioEdit, "&Edit", nullptr, nullptr, false},
      {kCmdPortfolioDelete, "&Delete", nullptr, nullptr, false},
      {kCmdImport, "&Import", nullptr, nullptr, false},
      {kCmdExport, "E&xport", nullptr, nullptr, false},
      {kCmdPositionNew, "&New", "Add", "Add Position", false},
      {kCmdPositionEdit, "&Edit", "Edit", "Edit Position", false},
      {kCmdPositionDelete, "&Delete", "Delete", "Delete Position", false},
      {kCmdSell, "&Sell", "Sell", "Sell Position", false},
      {kCmdUnsell, "&Unsell", "Unsell", "Unsell Position", false},
      {kCmdSetPrice, "Set &Price...", nullptr, nullptr, false},
      {kCmdRecordSplit, "Record Spl&it...", nullptr, nullptr, false},
      {kCmdCorporateActions, "Corporate &Actions...", nullptr, nullptr, false},
      {kCmdCopyToPortfolio, "&Copy To Portfolio...", nullptr, nullptr, false},
      {kCmdMoveToPortfolio, "&Move To Portfolio...", nullptr, nullptr, false},
      {kCmdUpdate, "&Update", "Update", "Update View", false},
      {kCmdChooseColumns, "&Choose Columns", "Columns", "Choose Columns", false},
      {kCmdDefineDefaultColumns, "&Define Default Columns", nullptr, nullptr, false},
      {kCmdNewWindow, "&New Window", nullptr, nullptr, false},
      {kCmdFavorites, "&Favorites", nullptr, nullptr, true},
      {kCmdOnTop, "&On Top", nullptr, nullptr, true},
      {kCmdChartMenu, "&Chart", nullptr, nullptr, false},
      {kCmdInfoMenu, "Security &Information", nullptr, nullptr, false},
      {kCmdPriceMenu, "&Historical Price", nullptr, nullptr, false},
      {kCmdSymbolFinder, "&Symbol Finder", nullptr, nullptr, false},
      {kCmdPerformance, "&Performance...", "Performance", "Portfolio Performance", false},
      {kCmdDividends, "&Dividends...", "Dividends", "Portfolio Dividends", false},
      {kCmdRecentNews, "Recent &News", nullptr, nullptr, false},
      {kCmdBusinessHeadlines, "&Business Headlines", nullptr, nullptr, false},
      {kCmdOrganizeFavorites, "Organize &Favorites...", nullptr, nullptr, false},
      {kCmdOptions, "&Options...", nullptr, nullptr, false},
      {kCmdAbout, "&About Vellumar!", nullptr, nullptr, false},
      // Buttons without a menu item.
      {kCmdChart, nullptr, "Chart", "Chart", false},
      {kCmdNews, nullptr, "News", "Recent News", false},
      {kCmdInfo, nullptr, "Info", "Security Information", false},
      {kCmdPrice, nullptr, "Price", "Find Historical Price", false},
      {kCmdSelector, nullptr, nullptr, "Select Portfolio", false},
      {kCmdQuote, nullptr, "&Quote", "Get Quote", false},
      {kCmdSymbolFinderSmall, nullptr, "S", "Symbol Finder", false},
      {kCmdChartSmall, nullptr, "C", "Chart", false},
      {kCmdInfoSmall, nullptr, "I", "Security Information", false},
      {kCmdPriceSmall, nullptr, "H", "Find Historical Price", false},
  };
  return table;
}

QList<QKeySequence> CommandKeys(int id) {
  // The keys users of other programs expect; the first one is shown in the menus. Enter edits the selected
  // position too, but the window decides that (it runs the quote look-up when the symbol edit holds text).
  struct Keys {
    int id;
    QList<QKeySequence> keys;
  };
  static const Keys table[] = {
      {kCmdPositionNew, {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_N)}},
      {kCmdPositionEdit, {QKeySequence(Qt::Key_F2)}},
      {kCmdPositionDelete, {QKeySequence(Qt::Key_Delete)}},
      {kCmdUpdate, {QKeySequence(Qt::Key_F5)}},
      {kCmdPrint, {QKeySequence(Qt::CTRL | Qt::Key_P)}},
      {kCmdUndo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
      {kCmdRedo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}},
  };
  for (const Keys& entry : table) {
    if (entry.id == id) return entry.keys;
  }
  return {};
}

const CommandInfo* FindCommand(int id) {
  for (const CommandInfo& info : CommandCatalogue()) {
    if (info.id == id) return &info;
  }
  return nullptr;
}

QString PlainText(const char* text) {
  QString plain = QString::fromUtf8(text ? text : "");
  plain.remove(u'&');
  return plain;
}

QHash<int, QAction*> BuildCommandActions(QObject* owner, const std::function<void(int)>& run) {
  QHash<int, QAction*> actions;
  for (const CommandInfo& info : CommandCatalogue()) {
    auto* action = new QAction(owner);
    action->setObjectName(QString::number(info.id));
    action->setText(QString::fromUtf8(info.menuText     ? info.menuText
                                      : info.buttonText ? info.buttonText
                                                        : ""));
    if (info.toolTip) action->setToolTip(QString::fromUtf8(info.toolTip));
    action->setCheckable(info.checkable);
    action->setShortcuts(CommandKeys(info.id));
    const int id = info.id;
    QObject::connect(action, &QAction::triggered, owner, [run, id] { run(id); });
    actions.insert(id, action);
  }
  return actions;
}
