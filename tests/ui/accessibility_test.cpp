// What a screen reader gets from every window and dialog: the window and each visible control Tab can
// reach and each list, table and tree are announced by a name and by a role that says what it is; a combo
// box, announced by its current entry, is tied to the label that says what it is for; a label that carries
// a mnemonic hands the focus to a control. Every offender is listed by window, object name and class, so
// one run shows all that is missing.
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMultiMap>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTreeWidget>

#include <algorithm>
#include <memory>

#include "market_window_support.h"
#include "portfolio/columns/column_catalog.h"
#include "sample_stock.h"
#include "ui/dialogs/c_dlg_about.h"
#include "ui/dialogs/c_dlg_change_symbol.h"
#include "ui/dialogs/c_dlg_choose_columns_new.h"
#include "ui/dialogs/c_dlg_export_portfolios.h"
#include "ui/dialogs/c_dlg_holding.h"
#include "ui/dialogs/c_dlg_import_portfolios.h"
#include "ui/dialogs/c_dlg_income_record.h"
#include "ui/dialogs/c_dlg_options.h"
#include "ui/dialogs/c_dlg_portfolio.h"
#include "ui/dialogs/c_dlg_record_split.h"
#include "ui/dialogs/c_dlg_select_portfolio.h"
#include "ui/dialogs/c_dlg_sell_holding.h"
#include "ui/dialogs/c_dlg_set_price.h"
#include "ui/main/c_dlg_change_history.h"
#include "ui/main/c_dlg_corporate_actions.h"
#include "ui/main/c_dlg_dividends.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_view.h"
#include "ui/marketdata/c_dlg_chart.h"
#include "ui/marketdata/c_dlg_historical_price_finder.h"
#include "ui/marketdata/c_dlg_news.h"
#include "ui/marketdata/c_dlg_news_item_options.h"
#include "ui/marketdata/c_dlg_performance.h"
#include "ui/marketdata/c_dlg_symbol_finder.h"

namespace {

QString Describe(const QWidget* w) {
  return QStringLiteral("'%1' (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
}

// The control a screen reader stands on for `w`: a spin box or combo box for its inner editor.
const QWidget* Announced(const QWidget* w, const QWidget& window) {
  for (const QWidget* p = w->parentWidget(); p && p != &window; p = p->parentWidget()) {
    if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p)) w = p;
  }
  return w;
}

// Whether a screen reader meets `w` as a control of its own: it takes the focus by Tab itself (not through
// another widget it hands the focus to), or it is a list, table or tree (a header belongs to its view).
bool Spoken(const QWidget* w) {
  if (!w->isVisible()) return false;
  if (qobject_cast<const QHeaderView*>(w)) return false;
  if (qobject_cast<const QAbstractItemView*>(w)) return true;
  return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

// The letter Alt reaches through `text` ("&Symbol" -> 'S'), or none.
QChar Mnemonic(const QString& text) {
  for (qsizetype i = text.indexOf(u'&'); i >= 0 && i + 1 < text.size(); i = text.indexOf(u'&', i + 2)) {
    if (text[i + 1] != u'&' && !text[i + 1].isSpace()) return text[i + 1].toUpper();
  }
  return QChar();
}

bool HasMnemonic(const QString& text) {
  return !Mnemonic(text).isNull();
}

// What a sighted user reads on `w`: the text without mnemonic markers, markup or runs of blanks; empty for
// a control that shows no text of its own, or only a one-letter abbreviation of its purpose (a button "S").
QString VisibleText(const QWidget* w) {
  QString text;
  if (const auto* label = qobject_cast<const QLabel*>(w)) {
    text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
      QTextDocument document;
      document.setHtml(text);
      text = document.toPlainText();
    }
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
    text = button->text();
  } else if (const auto* status = qobject_cast<const QStatusBar*>(w)) {
    text = status->currentMessage();
  } else if (w->isWindow()) {
    text = w->windowTitle();
  }
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
  // Punctuation around the words ("Buy date:", "Update...", "Add  >") is not read out.
  text = text.simplified();
  qsizetype first = 0, last = text.size();
  while (first < last && !text[first].isLetterOrNumber()) ++first;
  while (last > first && !text[last - 1].isLetterOrNumber()) --last;
  text = text.mid(first, last - first);
  if (qobject_cast<const QAbstractButton*>(w) && text.size() == 1) return QString();
  return text;
}

// Every mnemonic Alt reaches in `window` as it is shown now: labels, buttons, check boxes, tabs and the
// menu bar's titles, each with the text that carries it.
QMultiMap<QChar, QString> Mnemonics(const QWidget& window) {
  QMultiMap<QChar, QString> found;
  auto add = [&found](const QString& text) {
    if (const QChar letter = Mnemonic(text); !letter.isNull()) found.insert(letter, text);
  };
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisible() || !w->isEnabled()) continue;
    if (const auto* label = qobject_cast<const QLabel*>(w)) add(label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) add(button->text());
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) add(group->title());
    if (const auto* bar = qobject_cast<const QTabBar*>(w)) {
      for (int i = 0; i < bar->count(); ++i) {
        if (bar->isTabEnabled(i)) add(bar->tabText(i));
      }
    }
    if (const auto* bar = qobject_cast<const QMenuBar*>(w)) {
      for (const QAction* action : bar->actions()) add(action->text());
    }
  }
  return found;
}

class AccessibilityTest : public ::testing::Test {
 protected:
  // A market-data server with quotes, a month of prices and a page of look-up results, so that every
  // window can be swept showing what it found: the texts that change are the ones to hear.
  AccessibilityTest() {
    previousAnswerer = SetMessageAnswerer([](const MessageRequest& request) {
      return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    });
    server.Routes().Get("/d/quotes.csv", [](const httplib::Request& req, httplib::Response& res) {
      const std::string symbols = req.get_param_value("s");  // the first one answers
      res.set_content(FixtureQuoteLine(symbols.substr(0, symbols.find_first_of(" +"))), "text/csv");
    });
    server.Routes().Get("/table.csv", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(ReadFixture("history.csv"), "text/csv");
    });
    server.Routes().Get("/lookup", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(LookupPage(req.get_param_value("s"), 12, 0), "text/html");
    });
    EXPECT_TRUE(server.Start());
    hosts = std::make_unique<ScopedServiceHosts>(server.Host());
  }
  ~AccessibilityTest() override {
    SetMessageAnswerer(std::move(previousAnswerer));
    EXPECT_TRUE(offenders.isEmpty()) << offenders.size() << " offenders:\n"
                                     << offenders.join(u'\n').toStdString();
  }

  // Shows `window` and records every control in it a screen reader cannot announce.
  void Sweep(QWidget& window, const QString& where) {
    window.show();
    RunPosted();
    QAccessibleInterface* self = QAccessible::queryAccessibleInterface(&window);
    if (!self || self->text(QAccessible::Name).trimmed().isEmpty()) {
      offenders << where + QStringLiteral(": the window ") + Describe(&window) +
                       QStringLiteral(" has no name");
    }
    std::vector<const QWidget*> seen;
    for (const QWidget* child : window.findChildren<QWidget*>()) {
      if (!Spoken(child)) continue;
      const QWidget* w = Announced(child, window);
      if (std::find(seen.begin(), seen.end(), w) != seen.end()) continue;
      seen.push_back(w);
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
      const QString who = where + QStringLiteral(": ") + Describe(w);
      if (!accessible) {
        offenders << who + QStringLiteral(" has no accessible interface");
        continue;
      }
      if (accessible->text(QAccessible::Name).trimmed().isEmpty())
        offenders << who + QStringLiteral(" has no name");
      const QAccessible::Role role = accessible->role();
      if (role == QAccessible::NoRole || role == QAccessible::Client) {
        offenders << who + QStringLiteral(" has no role (%1)").arg(int(role));
      }
      // A combo box is announced by its current entry; what it is for comes from the label it is tied to.
      if (role == QAccessible::ComboBox && accessible->relations(QAccessible::Label).isEmpty()) {
        offenders << who + QStringLiteral(" has no label");
      }
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
      if (label->isVisible() && HasMnemonic(label->text()) && !label->buddy()) {
        offenders << where + QStringLiteral(": label ") + Describe(label) + QStringLiteral(" '") +
                         label->text() + QStringLiteral("' has a mnemonic but no buddy");
      }
    }
    // What a label, button, status bar or the window shows is what is spoken: a fixed name in its place
    // would hide the information (the portfolio shown, a count, a result); the purpose is the description.
    std::vector<const QWidget*> shown{&window};
    for (const QWidget* w : window.findChildren<QWidget*>()) {
      if (w->isVisible() && (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
                             qobject_cast<const QStatusBar*>(w)))
        shown.push_back(w);
    }
    for (const QWidget* w : shown) {
      const QString text = VisibleText(w);
      if (text.isEmpty()) continue;
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
      const QString spoken = accessible ? accessible->text(QAccessible::Name).simplified() : QString();
      if (!spoken.contains(text)) {
        offenders << where + QStringLiteral(": ") + Describe(w) + QStringLiteral(" shows '") + text +
                         QStringLiteral("' but is spoken as '") + spoken + QStringLiteral("'");
      }
    }
    // Alt and a letter reaches one control only: a second one with the same letter is reached only by
    // pressing the keys again.
    const QMultiMap<QChar, QString> mnemonics = Mnemonics(window);
    for (const QChar letter : mnemonics.uniqueKeys()) {
      const QStringList texts = mnemonics.values(letter);
      if (texts.size() > 1) {
        offenders << where + QStringLiteral(": Alt+%1 reaches ").arg(letter) +
                         texts.join(QStringLiteral(", "));
      }
    }
    // Menus are read out entry by entry when they open.
    for (QMenu* menu : window.findChildren<QMenu*>()) {
      QAccessibleInterface* entries = QAccessible::queryAccessibleInterface(menu);
      for (int i = 0; entries && i < entries->childCount(); ++i) {
        QAccessibleInterface* entry = entries->child(i);
        if (entry && entry->role() != QAccessible::Separator &&
            entry->text(QAccessible::Name).trimmed().isEmpty()) {
          offenders << where + QStringLiteral(": menu ") + Describe(menu) +
                           QStringLiteral(" entry %1 has no name").arg(i);
        }
      }
    }
    // A window with nothing to announce is a window the sweep did not reach.
    EXPECT_GE(seen.size(), 2u) << where.toStdString();
    window.hide();
  }

  // Sweeps every page of `tabs` in turn.
  void SweepPages(QWidget& window, QTabWidget* tabs, const QString& where) {
    ASSERT_NE(tabs, nullptr) << where.toStdString();
    for (int i = 0; i < tabs->count(); ++i) {
      tabs->setCurrentIndex(i);
      Sweep(window, where + QStringLiteral(", ") + tabs->tabText(i).remove(u'&'));
    }
  }

  QStringList offenders;
  MessageAnswerer previousAnswerer;
  TestServer server;
  std::unique_ptr<ScopedServiceHosts> hosts;
};

TEST_F(AccessibilityTest, MainWindowAndItsMenusInTheHeldAndTheSoldView) {
  TestHost host;
  const uint32_t id = host.AddPortfolio("Growth");
  host.AddStock(id, "UPA");
  host.AddCash(id, 150000);
  host.UpdateQuotes();
  host.General().defaultPortfolio = static_cast<int32_t>(id);
  host.General().showPortfolioSummary = true;
  for (const bool sold : {false, true}) {
    host.General().showSoldView = sold;
    CDlgVellumar window(host);
    window.show();
    RunPosted();
    // What changes as it is used: the selector's portfolio, the count of selected rows, the status after an
    // update, the quote line after a look-up.
    window.VisibleList()->selectAll();
    window.OnTimerTick();
    window.RunCommand(kCmdUpdate);
    window.findChild<QLineEdit*>(QStringLiteral("2088"))->setText(QStringLiteral("MSFT"));
    window.RunCommand(kCmdQuote);
    // The context menus of the list and of the portfolio selector, built as a right click builds them.
    const std::unique_ptr<QMenu> listMenu = window.BuildListMenu();
    const std::unique_ptr<QMenu> selectorMenu = window.BuildSelectorMenu();
    Sweep(window, sold ? QStringLiteral("main window, sold") : QStringLiteral("main window, held"));
  }
}

TEST_F(AccessibilityTest, ChangeHistoryWindow) {
  TestHost host;
  const uint32_t id = host.AddPortfolio("Growth");
  host.AddStock(id, "UPA");
  CDlgVellumar window(host);
  window.show();
  RunPosted();
  window.RunCommand(kCmdChangeHistory);
  RunPosted();
  auto* history = window.findChild<CDlgChangeHistory*>(QStringLiteral("ChangeHistory"));
  ASSERT_NE(history, nullptr);
  Sweep(*history, QStringLiteral("change history"));
}

TEST_F(AccessibilityTest, RecordSplitAndCorporateActionsWindows) {
  TestHost host;
  const uint32_t id = host.AddPortfolio("Growth");
  host.AddStock(id, "UPA");
  CDlgVellumar window(host);
  window.show();
  RunPosted();
  window.RunCommand(kCmdCorporateActions);
  RunPosted();
  auto* actions = window.findChild<CDlgCorporateActions*>(QStringLiteral("CorporateActions"));
  ASSERT_NE(actions, nullptr);
  Sweep(*actions, QStringLiteral("corporate actions"));
  CDlgRecordSplit split(*host.database, host.otherConn, QStringLiteral("UPA"));
  split.findChild<QLineEdit*>(QStringLiteral("ratio"))->setText(QStringLiteral("2:1"));
  split.RefreshPreview();
  ASSERT_EQ(split.Preview()->topLevelItemCount(), 1);
  Sweep(split, QStringLiteral("record split"));
}

TEST_F(AccessibilityTest, DividendsWindowAndPaymentDialog) {
  TestHost host;
  const uint32_t id = host.AddPortfolio("Growth");
  host.AddStock(id, "UPA");
  CDlgVellumar window(host);
  window.show();
  RunPosted();
  auto* dividends = new CDlgDividends(*host.database, host.otherConn, id, &window);
  dividends->show();
  RunPosted();
  Sweep(*dividends, QStringLiteral("dividends"));
  VLIncomeItem start;
  start.name = "UPA";
  CDlgIncomeRecord payment(start, false);
  Sweep(payment, QStringLiteral("payment"));
}

TEST_F(AccessibilityTest, PositionDialogOnEveryPage) {
  ScopedNumberFormat english(NumberFormat::English());
  CDlgHolding fresh(false, kHoldingStock, nullptr);
  SweepPages(fresh, fresh.findChild<QTabWidget*>(QStringLiteral("innerTabs")),
             QStringLiteral("new position"));
  SweepPages(fresh, fresh.Tabs(), QStringLiteral("new position"));

  const VLStockHoldingItem sold = SampleStock(true);
  CDlgHolding edit(true, kHoldingStock, &sold);
  SweepPages(edit, edit.findChild<QTabWidget*>(QStringLiteral("innerTabs")), QStringLiteral("sold position"));
}

TEST_F(AccessibilityTest, PositionPortfolioColumnOptionsAndAboutDialogs) {
  ScopedNumberFormat english(NumberFormat::English());
  const VLStockHoldingItem held = SampleStock(false);
  CDlgSellHolding sell(held);
  CDlgChangeSymbol change(QStringLiteral("MSFT"));
  CDlgSetPrice setPrice(QStringLiteral("IE00B4L5Y983"));
  VLPortfolioItem portfolio;
  portfolio.name = "Retirement";
  CDlgPortfolio edit(&portfolio);
  TestHost host;
  host.AddPortfolio("Growth");
  host.AddPortfolio("Income");
  CDlgSelectPortfolio select(*host.database, host.otherConn, 0, 0);
  CDlgChooseColumnsNew heldColumns(true, GetDefaultHeldColumns());
  CDlgChooseColumnsNew soldColumns(false, GetDefaultSoldColumns());
  CDlgAbout about(true);
  const std::pair<QWidget*, const char*> dialogs[] = {{&sell, "sell"},
                                                      {&change, "change symbol"},
                                                      {&setPrice, "set price"},
                                                      {&edit, "portfolio"},
                                                      {&select, "select portfolio"},
                                                      {&heldColumns, "columns, held"},
                                                      {&soldColumns, "columns, sold"},
                                                      {&about, "about"}};
  for (const auto& [dialog, where] : dialogs) Sweep(*dialog, QString::fromLatin1(where));

  VLPrefs all;
  CDlgOptions options(all);
  SweepPages(options, options.Pages(), QStringLiteral("options"));
}

// The market-data windows as they open and after what they found (the news server has no headlines).
TEST_F(AccessibilityTest, MarketDataWindows) {
  CDlgSymbolFinder symbols;
  Sweep(symbols, QStringLiteral("symbol finder"));
  symbols.SetInitialText(QStringLiteral("bank"));
  symbols.show();
  RunPosted();
  QTest::mouseClick(symbols.findChild<QPushButton*>(QStringLiteral("1036")), Qt::LeftButton);
  Sweep(symbols, QStringLiteral("symbol finder, found"));

  CDlgHistoricalPriceFinder prices;
  Sweep(prices, QStringLiteral("price finder"));
  CDlgHistoricalPriceFinder found;
  found.SetInitialSymbol(QStringLiteral("MSFT"));
  found.SetInitialDate(QDate(2007, 1, 20));
  Sweep(found, QStringLiteral("price finder, found"));

  VLGeneralPrefs prefs;
  CDlgNews news(prefs);
  Sweep(news, QStringLiteral("news"));
  news.show();
  news.findChild<QLineEdit*>(QStringLiteral("2088"))->setText(QStringLiteral("MSFT"));
  news.OnAddSymbol();
  Sweep(news, QStringLiteral("news, updated"));
  CDlgNewsItemOptions newsOptions(10, 100);
  Sweep(newsOptions, QStringLiteral("news options"));

  CDlgChart chart({QStringLiteral("MSFT")});
  Sweep(chart, QStringLiteral("chart"));
}

// Import (in every format it reads, whose panels differ), export, and the performance window once its first
// figures are in.
TEST_F(AccessibilityTest, ImportExportAndPerformanceWindows) {
  TestHost host;
  const uint32_t id = host.AddPortfolio("Growth");
  host.AddStock(id, "UPA");
  QTemporaryDir profiles;
  ASSERT_TRUE(profiles.isValid());
  CDlgImportPortfolios import(*host.database, host.otherConn, host.General(),
                              profiles.filePath(QStringLiteral("profiles.ini")).toStdString(), 0);
  auto* format = import.findChild<QComboBox*>(QStringLiteral("importFormat"));
  ASSERT_NE(format, nullptr);
  ASSERT_GE(format->count(), 2);
  for (int i = 0; i < format->count(); ++i) {
    format->setCurrentIndex(i);
    Sweep(import, QStringLiteral("import, ") + format->itemText(i));
  }
  CDlgExportPortfolios exportDialog(*host.database, host.otherConn, host.General(), 0);
  Sweep(exportDialog, QStringLiteral("export"));

  CDlgPerformance performance(*host.database, id);
  QSignalSpy computed(&performance, &CDlgPerformance::Computed);
  performance.show();
  ASSERT_TRUE(computed.wait(10000)) << "the first figures never came";
  Sweep(performance, QStringLiteral("performance"));
}

}  // namespace
