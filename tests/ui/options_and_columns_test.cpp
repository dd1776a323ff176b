// The options dialog and the column chooser through their real widgets, and the commands that open them.
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>

#include "dialog_steps.h"
#include "portfolio/columns/column_catalog.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_folder.h"
#include "ui/dialogs/c_dlg_choose_columns_new.h"
#include "ui/dialogs/c_dlg_options.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_view.h"
#include "ui/main/settings_saver.h"
#include "ui/widgets/colour_button.h"

namespace {

QStringList Rows(const QListWidget* list) {
  QStringList rows;
  for (int r = 0; r < list->count(); ++r) rows << list->item(r)->text();
  return rows;
}

// The tree node of a column, found by category and header.
QTreeWidgetItem* Node(QTreeWidget* tree, const QString& category, const QString& header) {
  for (int c = 0; c < tree->topLevelItemCount(); ++c) {
    QTreeWidgetItem* node = tree->topLevelItem(c);
    if (node->text(0) != category) continue;
    for (int i = 0; i < node->childCount(); ++i) {
      if (node->child(i)->text(0) == header) return node->child(i);
    }
  }
  return nullptr;
}

void Click(QDialog& dialog, const char* button) {
  QTest::mouseClick(Field<QPushButton>(dialog, button), Qt::LeftButton);
}

TEST(ColumnChooser, TreeAddRemoveMoveResetAndOk) {
  const std::vector<int> start = {kColSymbol, kColQty};
  CDlgChooseColumnsNew dialog(false, start);
  QTreeWidget* tree = dialog.Tree();
  QListWidget* selected = dialog.Selected();
  ASSERT_EQ(tree->topLevelItemCount(), kCategoryCount);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Basic Information"));
  EXPECT_EQ(tree->topLevelItem(kCategoryCount - 1)->text(0), QStringLiteral("All Columns"));
  EXPECT_EQ(Rows(selected), (QStringList{"Symbol", "Qty"}));
  MessageScript messages;

  // A category is not a column.
  tree->setCurrentItem(tree->topLevelItem(0));
  messages.Expect(2108);
  Click(dialog, "add");

  // "Symbol" again: asked, No keeps one, Yes adds a second just after the selected row.
  QTreeWidgetItem* symbol = Node(tree, QStringLiteral("All Columns"), QStringLiteral("Symbol"));
  ASSERT_NE(symbol, nullptr);
  tree->setCurrentItem(symbol);
  EXPECT_EQ(dialog.Description()->text(), QString::fromStdString(GetColumnDescription(kColSymbol)));
  messages.Expect(2095, MessageAnswer::No);
  Click(dialog, "add");
  EXPECT_EQ(selected->count(), 2);
  selected->setCurrentRow(0);
  tree->setCurrentItem(symbol);
  messages.Expect(2095, MessageAnswer::Yes);
  Click(dialog, "add");
  EXPECT_EQ(Rows(selected), (QStringList{"Symbol", "Symbol", "Qty"}));
  EXPECT_EQ(selected->currentRow(), 1);
  EXPECT_EQ(messages.texts.back(),
            QStringLiteral("[ Symbol ]\n\nThis column is already selected.  Do you want to\nadd it anyway?"));

  // Down on the last row and Up on the first move nothing.
  selected->setCurrentRow(2);
  Click(dialog, "down");
  EXPECT_EQ(Rows(selected), (QStringList{"Symbol", "Symbol", "Qty"}));
  Click(dialog, "up");
  EXPECT_EQ(Rows(selected), (QStringList{"Symbol", "Qty", "Symbol"}));
  EXPECT_EQ(selected->currentRow(), 1);
  selected->setCurrentRow(0);
  Click(dialog, "up");
  EXPECT_EQ(selected->currentRow(), 0);

  // Removing the last row selects the new last row; an empty list is refused on OK.
  selected->setCurrentRow(2);
  Click(dialog, "remove");
  EXPECT_EQ(selected->currentRow(), 1);
  Click(dialog, "remove");
  Click(dialog, "remove");
  EXPECT_EQ(selected->count(), 0);
  messages.Expect(2097);
  PressOk(dialog);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);

  // Reset on the sold view gives the sold defaults.
  messages.Expect(2109, MessageAnswer::Yes);
  Click(dialog, "reset");
  EXPECT_EQ(Rows(selected), (QStringList{"Symbol", "Name", "Qty", "Total Paid", "Date Bought", "Sale Value",
                                         "Date Sold", "Gain", "Held"}));
  PressOk(dialog);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Columns(), GetDefaultSoldColumns());
}

// At its smallest (a crowded or scaled screen) the tree still shows every category and column name whole.
TEST(ColumnChooser, EveryNameFitsWhenTheDialogIsAtItsSmallest) {
  CDlgChooseColumnsNew dialog(true, GetDefaultHeldColumns());
  auto* tree = Field<QTreeWidget>(dialog, "allColumns");
  tree->expandAll();
  dialog.show();
  dialog.resize(dialog.minimumSizeHint());
  QCoreApplication::processEvents();
  const QFontMetrics metrics = tree->fontMetrics();
  int checked = 0;
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    const QRect cell = tree->visualItemRect(*it);
    if (!cell.isValid()) continue;  // scrolled out of sight
    const int textRight = cell.left() + metrics.horizontalAdvance((*it)->text(0));
    EXPECT_LE(textRight + 6, tree->viewport()->width()) << (*it)->text(0).toStdString();
    ++checked;
  }
  EXPECT_GT(checked, kCategoryCount);
}

TEST(ColumnChooser, HeldViewLabelAndResetQuestion) {
  CDlgChooseColumnsNew dialog(true, {kColSymbol});
  EXPECT_EQ(dialog.Selected()->accessibleName(), QStringLiteral("Selected columns [Held]"));
  MessageScript messages;
  messages.Expect(2096, MessageAnswer::No);
  Click(dialog, "reset");
  EXPECT_EQ(Rows(dialog.Selected()), QStringList{"Symbol"});
}

class OptionsCommandTest : public ::testing::Test {
 protected:
  OptionsCommandTest() {
    const uint32_t id = host.AddPortfolio("Growth");
    host.AddStock(id, "AAA");
    window = OpenWindowOn(host, id);
  }
  TestHost host;
  std::unique_ptr<CDlgVellumar> window;
  DialogSteps dialogs;
};

TEST_F(OptionsCommandTest, ChooseColumnsStoresTheViewsListAndRebuildsIt) {
  dialogs.Then([](QDialog& dialog) {
    auto& chooser = static_cast<CDlgChooseColumnsNew&>(dialog);
    chooser.Selected()->setCurrentRow(0);
    QTreeWidgetItem* qty = Node(chooser.Tree(), QStringLiteral("All Columns"), QStringLiteral("Qty"));
    ASSERT_NE(qty, nullptr);
    // Remove everything but the first row, then add "Qty" after it.
    while (chooser.Selected()->count() > 1) {
      chooser.Selected()->setCurrentRow(1);
      Click(dialog, "remove");
    }
    chooser.Selected()->setCurrentRow(0);
    chooser.Tree()->setCurrentItem(qty);
    Click(dialog, "add");
    PressOk(dialog);
  });
  window->RunCommand(kCmdChooseColumns);
  const QAbstractItemModel* model = window->HeldList()->model();
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString().startsWith(QStringLiteral("Qty")), true);
  EXPECT_LE(model->columnCount(), 3);  // two columns and the empty last one
  EXPECT_EQ(host.General().heldColumns, (std::vector<int32_t>{GetDefaultHeldColumns().front(), kColQty}));
}

TEST_F(OptionsCommandTest, OptionsResetStoresNothingUntilOk) {
  VLGeneralPrefs& prefs = host.General();
  prefs.market = 99;  // not in the list: the first entry is selected
  prefs.alternateRowColor = 0x000000FF;
  prefs.sortedColumnColor = 0x00FF0000;
  dialogs.Then([](QDialog& dialog) {
    auto& options = static_cast<CDlgOptions&>(dialog);
    EXPECT_EQ(options.Markets()->currentText(), QStringLiteral(" Argentina"));
    EXPECT_EQ(options.AlternateColour()->Colour(), QColor(255, 0, 0));
    MessageScript messages;
    messages.Expect(2125, MessageAnswer::Yes);
    Click(dialog, "2111");
    EXPECT_EQ(options.Markets()->currentText(), QStringLiteral(" United States"));
    EXPECT_EQ(options.SortedColour()->Colour(), QColor(240, 240, 240));
    QTest::keyClick(&dialog, Qt::Key_Escape);
  });
  window->RunCommand(kCmdOptions);
  EXPECT_EQ(prefs.market, 99);
  EXPECT_EQ(prefs.alternateRowColor, 0x000000FFu);

  dialogs.Then([&](QDialog& dialog) {
    auto& options = static_cast<CDlgOptions&>(dialog);
    QStringList texts;
    for (int i = 0; i < options.Markets()->count(); ++i) texts << options.Markets()->itemText(i);
    QStringList sortedTexts = texts;
    sortedTexts.sort();
    EXPECT_EQ(texts, sortedTexts);
    options.Markets()->setCurrentIndex(options.Markets()->findText(QStringLiteral(" Germany")));
    // The swatch opens the colour dialog; the colour picked there is what OK stores.
    dialogs.Then([](QDialog& picker) {
      static_cast<QColorDialog&>(picker).setCurrentColor(QColor(1, 2, 3));
      picker.accept();
    });
    Click(dialog, "2155");
    EXPECT_EQ(options.AlternateColour()->Colour(), QColor(1, 2, 3));
    PressOk(dialog);
  });
  window->RunCommand(kCmdOptions);
  EXPECT_EQ(prefs.market, 10);
  EXPECT_EQ(prefs.alternateRowColor, 0x00030201u);
  EXPECT_EQ(prefs.sortedColumnColor, 0x00FF0000u);
}

// The Updates page sets the timer of the periodic update; the Real Prices page writes the service's
// sources file (from the bundled preset) and has the service started again to read it.
TEST_F(OptionsCommandTest, UpdatesAndRealPricesPages) {
  const std::string bundled = host.folder.filePath(QStringLiteral("bundled/")).toStdString();
  const std::string data = host.folder.filePath(QStringLiteral("marketdata/")).toStdString();
  host.realPriceFolders = {data, bundled};
  EXPECT_FALSE(window->UpdateTimer().isActive());
  auto fill = [](QDialog& dialog) {
    auto& options = static_cast<CDlgOptions&>(dialog);
    options.Pages()->setCurrentIndex(1);
    Field<QCheckBox>(dialog, "updateEvery")->setChecked(true);
    Field<QSpinBox>(dialog, "updateMinutes")->setValue(5);
    Field<QCheckBox>(dialog, "updateAtStart")->setChecked(false);
    options.Pages()->setCurrentIndex(2);
    EXPECT_EQ(Field<QLabel>(dialog, "lastFetched")->text(), QStringLiteral("Prices last fetched: never"));
    Field<QCheckBox>(dialog, "realPrices")->setChecked(true);
    PressOk(dialog);
  };
  // Without the preset nothing is turned on and nothing stored; the page stays in front.
  dialogs.Then([&](QDialog& dialog) {
    MessageScript messages;
    messages.Expect(3502);
    fill(dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(static_cast<CDlgOptions&>(dialog).Pages()->currentIndex(), 2);
    QTest::keyClick(&dialog, Qt::Key_Escape);
  });
  window->RunCommand(kCmdOptions);
  EXPECT_FALSE(host.prefs.GetUpdatePrefs().updateEvery);

  QDir().mkpath(QString::fromStdString(bundled));
  WriteText(bundled + "sources.example.ini", "[source stooq]\n");
  dialogs.Then(fill);
  window->RunCommand(kCmdOptions);
  const VLUpdatePrefs& updates = host.prefs.GetUpdatePrefs();
  EXPECT_TRUE(updates.updateEvery);
  EXPECT_EQ(updates.updateMinutes, 5);
  EXPECT_FALSE(updates.updateAtStart);
  EXPECT_TRUE(updates.fetchRealPrices);
  EXPECT_EQ(ReadText(data + "sources.ini"), "[source stooq]\n");
  EXPECT_EQ(host.serviceRestarts, 1);
  EXPECT_TRUE(window->UpdateTimer().isActive());
  EXPECT_EQ(window->UpdateTimer().interval(), 5 * 60 * 1000);

  // Turned on already: OK again starts nothing again.
  dialogs.Then([](QDialog& dialog) { PressOk(dialog); });
  window->RunCommand(kCmdOptions);
  EXPECT_EQ(host.serviceRestarts, 1);
}

}  // namespace

// Settings that cannot be written (here a settings file on a medium that may only be read, which not even the
// superuser may write) leave the file as it was and are reported once in the run, with the file and why.
TEST(SettingsSaver, ASettingsFileThatMayOnlyBeReadIsLeftAloneAndReportedOnce) {
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << "no file system can be mounted read-only here";
  const std::string path = disk.File("vellumar.ini");
  WriteText(path, "; my settings\n[General]\nXPos=10\n");
  ASSERT_TRUE(disk.MakeReadOnly());
  VLPrefs prefs;
  prefs.SetFileName(path);
  prefs.Load();
  prefs.GetGeneralPrefs().xPos = 20;
  MessageScript messages;
  messages.Expect(3016);
  EXPECT_FALSE(SaveSettings(nullptr, prefs));
  EXPECT_FALSE(SaveSettings(nullptr, prefs));  // said once: the second failure is quiet
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_TRUE(messages.texts[0].contains(QString::fromStdString(path)));
  EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("Read-only file system")));
  EXPECT_EQ(ReadText(path), "; my settings\n[General]\nXPos=10\n");
}
