// Keyboard use of every dialog: Tab walks the controls in the order they are laid out (top to bottom,
// left to right, a column at a time), reaches every enabled control once, Enter presses OK and Escape
// cancels. The layout order is taken from where the widgets are, not from a list written here.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

#include "dialog_steps.h"
#include "portfolio/columns/column_catalog.h"
#include "sample_stock.h"
#include "ui/dialogs/c_dlg_cash_holding.h"
#include "ui/dialogs/c_dlg_change_symbol.h"
#include "ui/dialogs/c_dlg_choose_columns_new.h"
#include "ui/dialogs/c_dlg_holding.h"
#include "ui/dialogs/c_dlg_options.h"
#include "ui/dialogs/c_dlg_portfolio.h"
#include "ui/dialogs/c_dlg_select_portfolio.h"
#include "ui/dialogs/c_dlg_sell_holding.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_view.h"

namespace {

// The widget that stands for `w` in the tab order: a spin box or combo box for its inner editor, a tab
// widget's bar for the tab widget.
QWidget* Stop(QWidget* w, QDialog& dialog) {
  while (w && w->focusProxy()) w = w->focusProxy();
  for (QWidget* p = w ? w->parentWidget() : nullptr; p && p != &dialog; p = p->parentWidget()) {
    if (qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p)) w = p;
  }
  return w;
}

// Shows `w` as the active window, as a user would find it.
bool ShowActive(QWidget& w) {
  w.show();
  w.activateWindow();
  return QTest::qWaitForWindowActive(&w);
}

QRect Where(const QWidget* w, const QDialog& dialog) {
  return QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size());
}

QString Name(const QWidget* w) {
  return QStringLiteral("%1 '%2'").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
}

// Every control of the dialog's visible page that Tab can reach.
std::vector<QWidget*> TabStops(QDialog& dialog) {
  std::vector<QWidget*> stops;
  for (QWidget* w : dialog.findChildren<QWidget*>()) {
    if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus)) continue;
    QWidget* stop = Stop(w, dialog);
    if (stop->isVisible() && std::find(stops.begin(), stops.end(), stop) == stops.end())
      stops.push_back(stop);
  }
  // The first control is the top one, the leftmost of those at the top.
  std::sort(stops.begin(), stops.end(), [&](QWidget* a, QWidget* b) {
    const QRect ra = Where(a, dialog), rb = Where(b, dialog);
    return std::pair(ra.top(), ra.left()) < std::pair(rb.top(), rb.left());
  });
  return stops;
}

// Whether `later` is laid out before `earlier`: wholly above it in a column they share, or wholly to its
// left in a row they share.
bool LaidOutBefore(const QRect& later, const QRect& earlier) {
  const bool sameColumn = later.left() <= earlier.right() && earlier.left() <= later.right();
  const bool sameRow = later.top() <= earlier.bottom() && earlier.top() <= later.bottom();
  return (sameColumn && later.bottom() < earlier.top()) || (sameRow && later.right() < earlier.left());
}

void ExpectLaidOutTabOrder(QDialog& dialog, const QString& what) {
  SCOPED_TRACE(what.toStdString());
  ASSERT_TRUE(ShowActive(dialog));
  const std::vector<QWidget*> stops = TabStops(dialog);
  ASSERT_GE(stops.size(), 3u);
  stops.front()->setFocus(Qt::TabFocusReason);
  std::vector<QWidget*> walked{stops.front()};
  for (size_t i = 0; i <= stops.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* now = Stop(QApplication::focusWidget(), dialog);
    ASSERT_NE(now, nullptr);
    if (now == stops.front()) break;
    walked.push_back(now);
  }
  QStringList order;
  for (QWidget* w : walked) order << Name(w);
  SCOPED_TRACE(order.join(QStringLiteral(", ")).toStdString());
  // Every control once, and Tab from the last goes back to the first.
  EXPECT_EQ(walked.size(), stops.size());
  for (QWidget* stop : stops) {
    EXPECT_EQ(std::count(walked.begin(), walked.end(), stop), 1) << Name(stop).toStdString();
    // What a screen reader announces when Tab lands there.
    const QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(stop);
    EXPECT_TRUE(spoken && !spoken->text(QAccessible::Name).isEmpty()) << Name(stop).toStdString();
  }
  for (size_t i = 0; i < walked.size(); ++i) {
    for (size_t j = i + 1; j < walked.size(); ++j) {
      EXPECT_FALSE(LaidOutBefore(Where(walked[j], dialog), Where(walked[i], dialog)))
          << Name(walked[j]).toStdString() << " comes after " << Name(walked[i]).toStdString();
    }
  }
}

// Answers every message box (a check the dialog makes on OK) without a window.
class AnyMessage {
 public:
  AnyMessage() {
    previous = SetMessageAnswerer([](const MessageRequest& request) {
      return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    });
  }
  ~AnyMessage() { SetMessageAnswerer(std::move(previous)); }
  AnyMessage(const AnyMessage&) = delete;
  AnyMessage& operator=(const AnyMessage&) = delete;

 private:
  MessageAnswerer previous;
};

// Enter in the first control that is not a button presses OK; Escape closes the dialog as cancelled.
void ExpectEnterOkEscapeCancel(QDialog& dialog) {
  AnyMessage messages;
  ASSERT_TRUE(ShowActive(dialog));
  const std::vector<QWidget*> stops = TabStops(dialog);
  auto first =
      std::find_if(stops.begin(), stops.end(), [](QWidget* w) { return !qobject_cast<QAbstractButton*>(w); });
  ASSERT_NE(first, stops.end());
  auto* ok = Field<QPushButton>(dialog, "1");
  ASSERT_NE(ok, nullptr);
  QSignalSpy pressed(ok, &QPushButton::clicked);
  (*first)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(pressed.count(), 1) << Name(*first).toStdString();

  ASSERT_TRUE(ShowActive(dialog));
  (*first)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// Walks the dialog as it is, then again with every date and option box on its page ticked, so that the
// controls those boxes enable are walked too.
void ExpectKeyboardUse(QDialog& dialog, const QString& what) {
  ExpectLaidOutTabOrder(dialog, what);
  bool ticked = false;
  for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
    if (box->isVisible() && box->isEnabled() && !box->isChecked()) {
      box->setChecked(true);
      ticked = true;
    }
  }
  if (ticked) ExpectLaidOutTabOrder(dialog, what + QStringLiteral(", boxes ticked"));
}

TEST(TabOrderTest, PositionDialogOnEveryPage) {
  ScopedNumberFormat english(NumberFormat::English());
  {
    CDlgHolding fresh(false, kHoldingStock, nullptr);
    auto* inner = Field<QTabWidget>(fresh, "innerTabs");
    for (int i = 0; i < inner->count(); ++i) {
      inner->setCurrentIndex(i);
      ExpectKeyboardUse(fresh, QStringLiteral("new position,") + inner->tabText(i));
    }
    for (int i = 1; i < fresh.Tabs()->count(); ++i) {
      fresh.Tabs()->setCurrentIndex(i);
      ExpectKeyboardUse(fresh, QStringLiteral("new position,") + fresh.Tabs()->tabText(i));
    }
    ExpectEnterOkEscapeCancel(fresh);
  }
  const VLStockHoldingItem sold = SampleStock(true);
  CDlgHolding edit(true, kHoldingStock, &sold);
  auto* inner = Field<QTabWidget>(edit, "innerTabs");
  ASSERT_EQ(inner->count(), 4);
  for (int i = 0; i < inner->count(); ++i) {
    inner->setCurrentIndex(i);
    ExpectKeyboardUse(edit, QStringLiteral("sold position,") + inner->tabText(i));
  }
  ExpectEnterOkEscapeCancel(edit);
}

// Typing a date moves through its parts by itself; Tab then leaves the picker for the next field.
TEST(TabOrderTest, ADateIsTypedWholeAndTabLeavesThePicker) {
  ScopedNumberFormat english(NumberFormat::English());
  const VLStockHoldingItem held = SampleStock(false);
  CDlgSellHolding sell(held);
  ASSERT_TRUE(ShowActive(sell));
  auto* box = Field<QCheckBox>(sell, "saleDateCheck");
  box->setFocus(Qt::TabFocusReason);
  QTest::keyClick(box, Qt::Key_Space);
  QTest::keyClick(box, Qt::Key_Tab);
  auto* date = Field<QDateEdit>(sell, "saleDate");
  ASSERT_EQ(Stop(QApplication::focusWidget(), sell), date);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2025-01-15"));
  EXPECT_EQ(Stop(QApplication::focusWidget(), sell), date);
  EXPECT_EQ(date->date().toString(Qt::ISODate), QStringLiteral("2025-01-15"));
  // Over a selection of the whole date, or from its start, the typing replaces the date.
  for (const auto& [select, typed] : {std::pair{QKeySequence(QKeySequence::SelectAll), "2024-03-15"},
                                      std::pair{QKeySequence(Qt::Key_Home), "2022-07-30"}}) {
    QTest::keySequence(QApplication::focusWidget(), select);
    QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
    EXPECT_EQ(date->date().toString(Qt::ISODate), QString::fromLatin1(typed))
        << select.toString().toStdString();
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Field(sell, "saleCommission"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(Stop(QApplication::focusWidget(), sell), date);
}

// A tab clicked while the focus is elsewhere takes the focus to its page's first control, so typing goes
// there; arrow keys on the focused tab bar leave the focus on the bar.
TEST(TabOrderTest, AClickedTabTakesTheFocusIntoItsPage) {
  ScopedNumberFormat english(NumberFormat::English());
  const VLStockHoldingItem sold = SampleStock(true);
  CDlgHolding edit(true, kHoldingStock, &sold);
  ASSERT_TRUE(ShowActive(edit));
  Field(edit, "symbol")->setFocus(Qt::TabFocusReason);
  QTabBar* bar = Field<QTabWidget>(edit, "innerTabs")->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
  EXPECT_EQ(QApplication::focusWidget(), Field(edit, "buyTarget"));
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("250"));
  EXPECT_EQ(Field(edit, "buyTarget")->text(), QStringLiteral("250"));
  EXPECT_EQ(Field(edit, "quantity")->text(), QStringLiteral("100"));

  bar->setFocus(Qt::TabFocusReason);
  QTest::keyClick(bar, Qt::Key_Right);
  EXPECT_EQ(bar->currentIndex(), 2);
  EXPECT_EQ(QApplication::focusWidget(), bar);

  CDlgHolding fresh(false, kHoldingStock, nullptr);
  ASSERT_TRUE(ShowActive(fresh));
  QTabBar* kinds = fresh.Tabs()->tabBar();
  QTest::mouseClick(kinds, Qt::LeftButton, {}, kinds->tabRect(2).center());
  ASSERT_NE(fresh.MarginPage(), nullptr);
  EXPECT_EQ(QApplication::focusWidget(), fresh.MarginPage()->findChild<QLineEdit*>(QStringLiteral("amount")));
}

TEST(TabOrderTest, SellChangeSymbolPortfolioColumnSelectPortfolioAndOptionsDialogs) {
  ScopedNumberFormat english(NumberFormat::English());
  const VLStockHoldingItem held = SampleStock(false);
  CDlgSellHolding sell(held);
  CDlgChangeSymbol change(QStringLiteral("MSFT"));
  VLPortfolioItem portfolio;
  portfolio.name = "Retirement";
  CDlgPortfolio edit(&portfolio);
  CDlgChooseColumnsNew columns(true, GetDefaultHeldColumns());
  TestHost host;
  host.AddPortfolio("Growth");
  host.AddPortfolio("Income");
  CDlgSelectPortfolio select(*host.database, host.otherConn, 0, 0);
  CDlgOptions options(host.prefs);
  const std::pair<QDialog*, const char*> dialogs[] = {
      {&sell, "sell"},       {&change, "change symbol"},    {&edit, "portfolio"},
      {&columns, "columns"}, {&select, "select portfolio"}, {&options, "options"}};
  for (const auto& [dialog, what] : dialogs) {
    ExpectKeyboardUse(*dialog, QString::fromLatin1(what));
    ExpectEnterOkEscapeCancel(*dialog);
  }
}

// The main window's keys, each pressed where a user would press it: what it runs (a dialog, a message, a
// tab, the focus), and nothing where a text field uses the key itself.
TEST(TabOrderTest, MainWindowKeysRunTheirCommandsButLeaveTextKeysToTheSymbolEdit) {
  TestHost host;
  const uint32_t id = host.AddPortfolio("Growth");
  const uint32_t position = host.AddStock(id, "UPA");
  host.General().defaultPortfolio = static_cast<int32_t>(id);
  host.General().showPortfolioSummary = false;
  CDlgVellumar window(host);
  window.SetConnectionProbe([] { return true; });
  ASSERT_TRUE(ShowActive(window));
  RunPosted();
  for (int i = 0; i < 10; ++i) window.OnTimerTick();  // connected: Update is enabled
  QStringList opened;
  DialogScript dialogs([&](QDialog& dialog) {
    opened << dialog.objectName();
    return int(QDialog::Rejected);
  });
  auto* list = window.HeldList();
  auto* symbol = window.findChild<QLineEdit*>(QStringLiteral("2088"));
  auto* tabs = window.findChild<QTabBar*>(QStringLiteral("2148"));

  struct Press {
    QKeySequence key;
    QStringList dialogs;     // opened, by object name
    std::vector<int> shown;  // messages, answered No or OK
  };
  const Press presses[] = {
      {QKeySequence(Qt::Key_Insert), {"1601"}, {}}, {QKeySequence(Qt::CTRL | Qt::Key_N), {"1601"}, {}},
      {QKeySequence(Qt::Key_F2), {"1601"}, {}},     {QKeySequence(Qt::Key_Return), {"1601"}, {}},
      {QKeySequence(Qt::Key_Delete), {}, {2065}},   {QKeySequence(Qt::CTRL | Qt::Key_P), {"PrintDialog"}, {}},
  };
  for (const Press& press : presses) {
    SCOPED_TRACE(press.key.toString().toStdString());
    list->SelectIds({position});
    list->setFocus();
    opened.clear();
    MessageScript messages;
    for (int message : press.shown) messages.Expect(message, MessageAnswer::No);
    QTest::keySequence(&window, press.key);
    RunPosted();
    EXPECT_EQ(opened, press.dialogs);
  }
  EXPECT_EQ(window.Action(kCmdPositionNew)->shortcut(), QKeySequence(Qt::Key_Insert));

  // F5 updates; the label shows the market time the update brought.
  QTest::keyClick(list, Qt::Key_F5);
  EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("1010"))->text(),
            QStringLiteral("Updated: Mon Dec 7 4:00PM ET"));

  // Ctrl+Tab and Ctrl+PageDown switch the tabs; Ctrl+L goes to the symbol edit.
  for (const QKeySequence& key :
       {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
        QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
    const int before = tabs->currentIndex();
    QTest::keySequence(&window, key);
    EXPECT_NE(tabs->currentIndex(), before) << key.toString().toStdString();
  }
  QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_L));
  EXPECT_EQ(QApplication::focusWidget(), symbol);

  // In the symbol edit Delete deletes a character and Insert does nothing; Enter, from the edit or from the
  // list, looks the symbol up (no service answers here) and empties the edit.
  opened.clear();
  MessageScript none;
  QTest::keyClicks(symbol, QStringLiteral("IBMX"));
  QTest::keyClick(symbol, Qt::Key_Left);
  QTest::keyClick(symbol, Qt::Key_Delete);
  QTest::keyClick(symbol, Qt::Key_Backspace);
  EXPECT_EQ(symbol->text(), QStringLiteral("IB"));
  tabs->setCurrentIndex(0);
  for (QWidget* from : {static_cast<QWidget*>(symbol), static_cast<QWidget*>(list)}) {
    symbol->setText(QStringLiteral("IBM"));
    from->setFocus();
    QTest::keyClick(from, Qt::Key_Return);
    EXPECT_TRUE(symbol->text().isEmpty());
    EXPECT_FALSE(window.findChild<QLabel*>(QStringLiteral("2090"))->text().isEmpty());
    window.findChild<QLabel*>(QStringLiteral("2090"))->clear();
  }
  EXPECT_TRUE(opened.isEmpty()) << opened.join(u',').toStdString();
}

}  // namespace
