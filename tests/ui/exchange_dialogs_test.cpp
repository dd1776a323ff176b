// The "Export Portfolios" and "Import Portfolios" dialogs, opened by the File menu's commands and driven
// through their widgets.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "portfolio/exchange/csv_text.h"
#include "portfolio/exchange/vellumar_csv.h"
#include "tests/support/temp_folder.h"
#include "ui/dialogs/c_dlg_export_portfolios.h"
#include "ui/dialogs/c_dlg_import_portfolios.h"
#include "ui/dialogs/import_kind_table.h"
#include "ui/dialogs/import_mapping_panel.h"
#include "ui/dialogs/import_preview_table.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_view.h"
#include "ui_test_support.h"

namespace {

class ExchangeDialogs : public ::testing::Test {
 protected:
  std::unique_ptr<CDlgVellumar> Open(uint32_t portfolio) {
    host.General().defaultPortfolio = static_cast<int32_t>(portfolio);
    auto window = std::make_unique<CDlgVellumar>(host, nullptr);
    window->show();
    RunPosted();
    return window;
  }
  static void ClickOk(QDialog& dialog) {
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
  }
  static void Retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  // Picks the entry `steps` below the first one with the keyboard.
  static void Choose(QComboBox* combo, int steps) {
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < steps; ++i) QTest::keyClick(combo, Qt::Key_Down);
  }
  static QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
  }
  QString Path(const QString& name) const { return host.folder.filePath(name); }

  TestHost host;
};

TEST_F(ExchangeDialogs, ExportWritesTheTickedPortfoliosAndRemembersTheChoices) {
  const uint32_t alpha = host.AddPortfolio("Alpha");
  host.AddStock(alpha, "IBM");
  host.AddCash(alpha, 500);
  host.AddStock(host.AddPortfolio("Beta"), "SAP");
  auto window = Open(alpha);
  const QString file = Path(QStringLiteral("alpha.csv"));
  MessageScript messages;
  messages.Expect(3304);  // no file
  messages.Expect(3307);  // done
  DialogScript dialogs([&](QDialog& shown) -> int {
    auto& dialog = dynamic_cast<CDlgExportPortfolios&>(shown);
    dialog.show();
    EXPECT_EQ(dialog.objectName(), QStringLiteral("143"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Export Portfolios"));
    EXPECT_TRUE(dialog.ChosenPortfolios()->isChecked());  // the portfolio shown, ticked
    EXPECT_EQ(dialog.Portfolios()->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(dialog.Portfolios()->item(1)->checkState(), Qt::Unchecked);
    Retype(dialog.File(), QString());
    ClickOk(dialog);
    EXPECT_EQ(dialog.result(), 0);
    QTest::keyClicks(dialog.File(), file);
    Choose(dialog.Format(), 1);
    EXPECT_EQ(dialog.File()->text(), Path(QStringLiteral("alpha.xml")));  // the extension follows the format
    dialog.Cash()->setFocus();
    QTest::keyClick(dialog.Cash(), Qt::Key_Space);
    ClickOk(dialog);
    return dialog.result();
  });
  window->RunCommand(kCmdExport);
  const std::string xml = ReadText(Path(QStringLiteral("alpha.xml")).toStdString());
  EXPECT_NE(xml.find("symbol=\"IBM\""), std::string::npos);
  EXPECT_EQ(xml.find("SAP"), std::string::npos);
  EXPECT_EQ(xml.find("VLCash"), std::string::npos);
  EXPECT_EQ(host.General().exportDir, host.folder.path().toStdString());
  EXPECT_FALSE(host.General().exportDatabase);
  EXPECT_FALSE(host.General().importExportCash);
  EXPECT_TRUE(window->HeldList()->hasFocus());
}

TEST_F(ExchangeDialogs, ImportMapsAPlainCsvShowsEveryProblemAndAddsIntoANewPortfolio) {
  auto window = Open(host.AddPortfolio("Main"));
  const QString file = Path(QStringLiteral("broker.csv"));
  WriteText(file.toStdString(),
            "Ticker,Shares,Cost,Day\nIBM,10,12.50,2023-01-02\nSAP,zehn,1.00,2023-01-03\n");
  const std::string profiles = Path(QStringLiteral("import-profiles.ini")).toStdString();
  MessageScript messages;
  messages.Expect(3301);  // OK while the file has a problem
  DialogScript dialogs([&](QDialog& shown) -> int {
    auto& dialog = dynamic_cast<CDlgImportPortfolios&>(shown);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("1597"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Import Portfolios"));
    Retype(dialog.File(), file);
    QTest::keyClick(dialog.File(), Qt::Key_Return);  // reads; does not import
    EXPECT_TRUE(dialog.isVisible() || dialog.result() == 0);
    EXPECT_EQ(dialog.FormatFound()->text(), QStringLiteral("Read as: CSV, through the columns below"));
    EXPECT_FALSE(dialog.NamedInFile()->isEnabled());
    EXPECT_TRUE(dialog.Existing()->isChecked());  // the portfolio shown
    EXPECT_EQ(Items(dialog.Problems()),
              (QStringList{"line 1: no column holds the symbol: choose its column below",
                           "line 1: no column holds the quantity: choose its column below",
                           "line 1: no column holds the price: choose its column below"}));

    ImportMappingPanel* mapping = dialog.Mapping();
    EXPECT_FALSE(mapping->isHidden());
    Choose(mapping->FieldColumn(ImportField::Symbol), 1);
    Choose(mapping->FieldColumn(ImportField::Quantity), 2);
    Choose(mapping->FieldColumn(ImportField::Price), 3);
    Choose(mapping->FieldColumn(ImportField::Date), 4);
    EXPECT_EQ(Items(dialog.Problems()), QStringList{"line 3: the quantity 'zehn' is not a number of shares"});
    // The failing cell is marked and says why, to the eye and to a screen reader.
    ImportPreviewTable* preview = dialog.Preview();
    EXPECT_EQ(preview->rowCount(), 2);
    if (preview->rowCount() != 2) return int(QDialog::Rejected);
    // Each field beside the file's own name of its column.
    EXPECT_EQ(preview->horizontalHeaderItem(2)->text(), QStringLiteral("Quantity (Shares)"));
    const QTableWidgetItem* bad = preview->item(1, 2);
    EXPECT_EQ(bad->text(), QStringLiteral("\u26A0 zehn"));
    EXPECT_EQ(bad->toolTip(), QStringLiteral("the quantity 'zehn' is not a number of shares"));
    EXPECT_EQ(bad->data(Qt::AccessibleTextRole).toString(),
              QStringLiteral("zehn, problem: the quantity 'zehn' is not a number of shares"));
    EXPECT_EQ(preview->item(0, 3)->text(), QStringLiteral("12.50"));
    EXPECT_TRUE(preview->item(0, 3)->toolTip().isEmpty());
    ClickOk(dialog);
    EXPECT_EQ(dialog.result(), 0);

    // The mapping is kept as a profile; the file, put right, reads into a new portfolio.
    QTest::keyClicks(mapping->ProfileName(), QStringLiteral("My broker"));
    QTest::mouseClick(mapping->SaveProfile(), Qt::LeftButton);
    EXPECT_EQ(mapping->Profile()->currentText(), QStringLiteral("My broker"));
    WriteText(file.toStdString(), "Ticker,Shares,Cost,Day\nIBM,10,12.50,2023-01-02\nSAP,5,1.00,2023-01-03\n");
    dialog.File()->setFocus();
    QTest::keyClick(dialog.File(), Qt::Key_Return);
    QTest::mouseClick(dialog.NewPortfolio(), Qt::LeftButton);
    dialog.NewPortfolioName()->setFocus();
    QTest::keyClicks(dialog.NewPortfolioName(), QStringLiteral("Broker"));
    QTest::keyClick(dialog.NewPortfolioName(), Qt::Key_Tab);
    EXPECT_EQ(Items(dialog.Problems()), QStringList());
    EXPECT_EQ(
        dialog.Summary()->text(),
        QStringLiteral("2 row(s) read: 2 to add, 0 already there (skipped), 0 sale(s), 0 left out by the "
                       "options."));
    ClickOk(dialog);
    return dialog.result();
  });
  window->RunCommand(kCmdImport);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar - Broker"));  // shown at once
  EXPECT_EQ(window->HeldList()->model()->rowCount(), 2);
  EXPECT_EQ(host.General().importFile, file.toStdString());
  EXPECT_EQ(host.General().importFormat, "auto");
  EXPECT_NE(ReadText(profiles).find("[My broker]"), std::string::npos);
}

TEST_F(ExchangeDialogs, ImportCountsRowsAlreadyThereAndALargeFileCanBeStopped) {
  const uint32_t main = host.AddPortfolio("Main");
  auto window = Open(main);
  std::string csv;
  AppendCsvRecord(csv, VellumarCsvHeader());
  AppendCsvRecord(csv, {"Main", "", "stock", "IBM", "10", "1.00", "2004-11-09", "0.00", "", "",
                        "",     "", "",      "",    "no", "",     "",           "",     "", "0"});
  const QString small = Path(QStringLiteral("small.csv"));
  WriteText(small.toStdString(), csv);
  for (int i = 0; i < 12000; ++i) {
    AppendCsvRecord(csv, {"Main", "",     "stock",      "S" + std::to_string(i),
                          "1",    "1.00", "2023-01-02", "0.00",
                          "",     "",     "",           "",
                          "",     "",     "no",         "",
                          "",     "",     "a comment",  "0"});
  }
  const QString large = Path(QStringLiteral("large.csv"));
  WriteText(large.toStdString(), csv);
  host.AddStock(main, "IBM", 10, 100);

  MessageScript messages;
  messages.Expect(3311);  // OK after the reading was stopped
  DialogScript dialogs([&](QDialog& shown) -> int {
    auto& dialog = dynamic_cast<CDlgImportPortfolios&>(shown);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    Retype(dialog.File(), small);
    QTest::keyClick(dialog.File(), Qt::Key_Return);
    EXPECT_TRUE(dialog.NamedInFile()->isChecked());
    EXPECT_EQ(dialog.FormatFound()->text(), QStringLiteral("Read as: Vellumar CSV"));
    EXPECT_TRUE(dialog.Mapping()->isHidden());
    EXPECT_TRUE(
        dialog.Summary()->text().startsWith(QStringLiteral("1 row(s) read: 0 to add, 1 already there")));
    dialog.Duplicates()->setFocus();
    QTest::keyClick(dialog.Duplicates(), Qt::Key_Space);
    EXPECT_TRUE(
        dialog.Summary()->text().startsWith(QStringLiteral("1 row(s) read: 1 to add, 0 already there")));

    bool progressShown = false;
    QTimer::singleShot(0, &dialog, [&] {
      progressShown = dialog.Progress()->isVisible() && dialog.Stop()->isVisible();
      dialog.Stop()->click();
    });
    Retype(dialog.File(), large);
    QTest::keyClick(dialog.File(), Qt::Key_Return);
    EXPECT_TRUE(progressShown);
    EXPECT_FALSE(dialog.Progress()->isVisible());
    EXPECT_TRUE(dialog.Summary()->text().isEmpty());
    ClickOk(dialog);  // offers to read it again rather than importing a part
    EXPECT_EQ(dialog.result(), 0);
    return int(QDialog::Rejected);
  });
  window->RunCommand(kCmdImport);
  VLHoldingItemList held;
  ASSERT_EQ(host.database->GetPositions(host.otherConn, main, true, held), VLResult::Ok);
  EXPECT_EQ(held.GetCount(), 1);
}

// A broker's list of transactions: the file's form is found from it, the preview needs no portfolio, and
// each value of the kind column gets its kind in the table of values.
TEST_F(ExchangeDialogs, ImportTakesAListOfTransactionsByTheKindOfEachRow) {
  auto window = Open(host.AddPortfolio("Main"));
  const QString file = Path(QStringLiteral("transactions.csv"));
  WriteText(file.toStdString(),
            "Datum;Type;Fonds;Aantal;Koers\n2023-01-10;Koop;IBM;10;120,50\n2023-02-01;Verkoop;IBM;-4;130,00\n"
            "2023-02-15;Splitsing;IBM;2:1;\n2023-03-01;Dividend;IBM;;\n");
  DialogScript dialogs([&](QDialog& shown) -> int {
    auto& dialog = dynamic_cast<CDlgImportPortfolios&>(shown);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    Retype(dialog.File(), file);
    QTest::keyClick(dialog.File(), Qt::Key_Return);
    ImportMappingPanel* mapping = dialog.Mapping();
    EXPECT_EQ(mapping->Delimiter()->currentIndex(), 1);  // ";" and the decimal comma, from the file
    EXPECT_TRUE(mapping->DecimalComma()->isChecked());
    QTest::mouseClick(dialog.NewPortfolio(), Qt::LeftButton);  // a new one, not named yet
    Choose(mapping->FieldColumn(ImportField::Kind), 2);
    Choose(mapping->FieldColumn(ImportField::Symbol), 3);
    Choose(mapping->FieldColumn(ImportField::Quantity), 4);
    Choose(mapping->FieldColumn(ImportField::Price), 5);
    Choose(mapping->FieldColumn(ImportField::Date), 1);
    ImportKindTable* kinds = mapping->KindTable();
    EXPECT_TRUE(kinds->isVisible());
    EXPECT_EQ(kinds->rowCount(), 4);
    QComboBox* buy = kinds->KindOf("Koop");
    QComboBox* sell = kinds->KindOf("Verkoop");
    QComboBox* dividend = kinds->KindOf("Dividend");
    if (!buy || !sell || !dividend) return int(QDialog::Rejected);
    EXPECT_EQ(dividend->currentText(), QStringLiteral("dividend"));  // a kind's own name needs no choice
    EXPECT_EQ(buy->currentText(), QStringLiteral("(skipped: no kind)"));
    EXPECT_EQ(
        Items(dialog.Problems()),
        (QStringList{
            "line 2: skipped (Koop IBM 2023-01-10 120,50): no kind is given for 'Koop'",
            "line 3: skipped (Verkoop IBM 2023-02-01 130,00): no kind is given for 'Verkoop'",
            "line 4: skipped (Splitsing IBM 2023-02-15): no kind is given for 'Splitsing'",
            "line 5: skipped (dividend IBM 2023-03-01): a payment without its amount: map the column of its "
            "amount to record it"}));
    EXPECT_EQ(dialog.Summary()->text(),
              QStringLiteral("Choose the portfolio the rows go into to see what the import would do."));
    Choose(buy, 1);
    Choose(kinds->KindOf("Verkoop"), 2);
    EXPECT_TRUE(kinds->KindOf("Verkoop") == nullptr || kinds->KindOf("Verkoop")->hasFocus());
    Choose(kinds->KindOf("Splitsing"), 11);  // split
    dialog.NewPortfolioName()->setFocus();
    QTest::keyClicks(dialog.NewPortfolioName(), QStringLiteral("Broker"));
    QTest::keyClick(dialog.NewPortfolioName(), Qt::Key_Tab);
    EXPECT_EQ(
        Items(dialog.Problems()),
        QStringList{
            "line 5: skipped (dividend IBM 2023-03-01): a payment without its amount: map the column of its "
            "amount to record it"});
    EXPECT_EQ(
        dialog.Summary()->text(),
        QStringLiteral("2 row(s) read: 1 to add, 0 already there (skipped), 1 sale(s), 0 left out by the "
                       "options. 1 split(s) or symbol change(s) to record: see Position > Corporate Actions "
                       "once imported. 1 row(s) of other kinds are skipped: they are listed below."));
    ClickOk(dialog);
    return dialog.result();
  });
  window->RunCommand(kCmdImport);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar - Broker"));
  EXPECT_EQ(window->HeldList()->model()->rowCount(), 1);  // 6 shares held; the 4 sold are a position apart
  // The split of the 15th: the 6 held then are 12 now; the 4 sold before it stay 4 at 120.50.
  VLPortfolioItemList portfolios;
  ASSERT_EQ(host.database->GetPortfolios(host.otherConn, portfolios), VLResult::Ok);
  uint32_t broker = 0;
  for (const auto& p : portfolios) broker = p->name == "Broker" ? p->id : broker;
  VLHoldingItemList held;
  ASSERT_EQ(host.database->GetPositions(host.otherConn, broker, true, held), VLResult::Ok);
  ASSERT_EQ(held.GetCount(), 1);
  EXPECT_EQ(static_cast<const VLStockHoldingItem*>(held.GetAt(0))->qty, Quantity::FromWhole(12));
}

// A statement that breaks a rule of its document type but reads: its complaint is a warning beside the rows
// skipped, and the check box for the positions held before it shows for statements only.
// Also: the "Read as" choice that settings of earlier versions kept by its place is taken, and kept by name.
TEST_F(ExchangeDialogs, ImportShowsAStatementsWarningsAndItsOtherTransactions) {
  host.General().importFormat.clear();
  host.General().importMode = 4;
  auto window = Open(host.AddPortfolio("Broker"));
  std::string statement = ReadText(std::string(VL_FIXTURES_DIR) + "/exchange/statement_sgml.ofx");
  statement.replace(statement.find("<UNITS>50"), 9, "<BOGUS>7</BOGUS>\n<UNITS>50");
  const QString file = Path(QStringLiteral("statement.ofx"));
  WriteText(file.toStdString(), statement);
  DialogScript dialogs([&](QDialog& shown) -> int {
    auto& dialog = dynamic_cast<CDlgImportPortfolios&>(shown);
    dialog.show();
    EXPECT_FALSE(dialog.Opening()->isVisible());
    EXPECT_EQ(dialog.Format()->currentText(), QStringLiteral("OFX or QFX statement"));
    Retype(dialog.File(), file);
    QTest::keyClick(dialog.File(), Qt::Key_Return);
    EXPECT_TRUE(dialog.Opening()->isVisible());
    const QStringList items = Items(dialog.Problems());
    EXPECT_EQ(items.size(), 1);
    EXPECT_TRUE(items.value(0).startsWith(QStringLiteral("warning: line "))) << items.value(0).toStdString();
    EXPECT_TRUE(items.value(0).endsWith(QStringLiteral("element \"BOGUS\" undefined")));
    // The dividend is no skipped row now: it is recorded as income.
    EXPECT_TRUE(dialog.Summary()->text().contains(QStringLiteral("1 payment(s) of income to record.")))
        << dialog.Summary()->text().toStdString();
    ClickOk(dialog);
    return dialog.result();
  });
  window->RunCommand(kCmdImport);
  EXPECT_EQ(window->HeldList()->model()->rowCount(), 3);  // the fund, the 30 XYZ left and the cash
  EXPECT_EQ(host.General().importFormat, "ofx");
}

TEST_F(ExchangeDialogs, EveryControlHasAnAccessibleName) {
  host.AddPortfolio("Alpha");
  CDlgExportPortfolios exportDialog(*host.database, host.otherConn, host.General(), 0);
  CDlgImportPortfolios importDialog(*host.database, host.otherConn, host.General(),
                                    Path(QStringLiteral("profiles.ini")).toStdString(), 0);
  for (QDialog* dialog : std::initializer_list<QDialog*>{&exportDialog, &importDialog}) {
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
      const bool control = qobject_cast<QLineEdit*>(child) || qobject_cast<QAbstractButton*>(child) ||
                           qobject_cast<QComboBox*>(child) || qobject_cast<QAbstractItemView*>(child) ||
                           qobject_cast<QAbstractSpinBox*>(child) || qobject_cast<QProgressBar*>(child);
      // The parts of combo boxes, spin boxes and tables (their edits, pop-ups, corner buttons) are spoken by
      // their owner.
      QWidget* owner = child->parentWidget();
      const bool part = child->window() != dialog || qobject_cast<QComboBox*>(owner) ||
                        qobject_cast<QAbstractSpinBox*>(owner) || qobject_cast<QAbstractItemView*>(owner);
      if (!control || part) continue;
      EXPECT_FALSE(child->accessibleName().isEmpty())
          << dialog->objectName().toStdString() << " " << child->objectName().toStdString() << " "
          << child->metaObject()->className();
    }
  }
}

}  // namespace
