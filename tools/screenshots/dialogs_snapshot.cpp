// Renders the position, sell, change-symbol, column, portfolio, select-portfolio, export, import and options
// dialogs into PNGs, to look at (dialog-*.png). Arguments: the folder holding Vellumar.db and Vellumar.ini,
// and the folder to write to.
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeWidget>

#include <cstdio>

#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "prefs/import_profiles.h"
#include "prefs/vl_prefs.h"
#include "snapshot_support.h"
#include "tests/support/null_window.h"
#include "tests/ui/sample_stock.h"
#include "ui/dialogs/c_dlg_change_symbol.h"
#include "ui/dialogs/c_dlg_choose_columns_new.h"
#include "ui/dialogs/c_dlg_export_portfolios.h"
#include "ui/dialogs/c_dlg_holding.h"
#include "ui/dialogs/c_dlg_import_portfolios.h"
#include "ui/dialogs/c_dlg_options.h"
#include "ui/dialogs/c_dlg_portfolio.h"
#include "ui/dialogs/c_dlg_record_split.h"
#include "ui/dialogs/c_dlg_select_portfolio.h"
#include "ui/dialogs/c_dlg_sell_holding.h"
#include "ui/dialogs/c_dlg_set_price.h"
#include "ui/dialogs/import_mapping_panel.h"

namespace {

bool Shoot(QWidget& widget, const QDir& out, const QString& name) {
  widget.show();
  Wait(200);
  const bool ok = SavePicture(widget.grab(), out, QStringLiteral("dialog-%1.png").arg(name));
  widget.hide();
  return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: vl_dialogs_snapshot DATA_FOLDER OUT_FOLDER\n");
    return 2;
  }
  ScopedNumberFormat english(NumberFormat::English());
  const QDir data(QString::fromLocal8Bit(argv[1]));
  const QDir out(QString::fromLocal8Bit(argv[2]));
  bool ok = true;

  {
    CDlgHolding fresh(false, kHoldingStock, nullptr);
    ok = Shoot(fresh, out, QStringLiteral("position-security")) && ok;
    fresh.Tabs()->setCurrentIndex(1);
    ok = Shoot(fresh, out, QStringLiteral("position-cash")) && ok;
    fresh.Tabs()->setCurrentIndex(2);
    ok = Shoot(fresh, out, QStringLiteral("position-margin-debt")) && ok;
  }
  {
    const VLStockHoldingItem sold = SampleStock(true);
    CDlgHolding edit(true, kHoldingStock, &sold);
    auto* inner = edit.findChild<QTabWidget*>(QStringLiteral("innerTabs"));
    const char* names[] = {"purchase", "targets", "margin-equity", "sale"};
    for (int i = 0; i < inner->count(); ++i) {
      inner->setCurrentIndex(i);
      ok = Shoot(edit, out, QStringLiteral("position-edit-%1").arg(QLatin1String(names[i]))) && ok;
    }
  }
  {
    const VLStockHoldingItem held = SampleStock(false);
    CDlgSellHolding sell(held);
    ok = Shoot(sell, out, QStringLiteral("sell")) && ok;
    CDlgChangeSymbol change(QStringLiteral("MSFT"));
    ok = Shoot(change, out, QStringLiteral("change-symbol")) && ok;
    CDlgSetPrice setPrice(QStringLiteral("IE00B4L5Y983"));
    ok = Shoot(setPrice, out, QStringLiteral("set-price")) && ok;
  }
  {
    CDlgChooseColumnsNew columns(true, GetDefaultHeldColumns());
    columns.Tree()->topLevelItem(0)->setExpanded(true);
    columns.Tree()->setCurrentItem(columns.Tree()->topLevelItem(0)->child(1));
    ok = Shoot(columns, out, QStringLiteral("choose-columns")) && ok;
  }
  {
    VLPortfolioItem portfolio;
    portfolio.name = "Retirement";
    portfolio.comment = "long term";
    CDlgPortfolio edit(&portfolio);
    ok = Shoot(edit, out, QStringLiteral("portfolio")) && ok;
  }
  {
    VLDatabase database(data.filePath(QStringLiteral("Vellumar.db")).toStdString());
    auto window = std::make_shared<NullWindow>();
    VLDatabaseConn* conn = database.Open() == DbResult::Ok ? database.Connect(window, 1, 2, 3) : nullptr;
    CDlgSelectPortfolio select(database, conn, 0, 0);
    if (select.List()->count() > 0) select.List()->setCurrentRow(0);
    ok = Shoot(select, out, QStringLiteral("select-portfolio")) && ok;

    // Export and import over the sample: the portfolio shown ticked; a broker's file read through a mapping,
    // one of its rows failing its check.
    VLPrefs prefs;
    prefs.SetFileName(data.filePath(QStringLiteral("Vellumar.ini")).toStdString());
    prefs.Load();
    VLGeneralPrefs& general = prefs.GetGeneralPrefs();
    general.exportDir = data.absolutePath().toStdString();
    const uint32_t shown = static_cast<uint32_t>(general.defaultPortfolio);
    CDlgExportPortfolios exportDialog(database, conn, general, shown);
    ok = Shoot(exportDialog, out, QStringLiteral("export-portfolios")) && ok;
    const QString broker = data.filePath(QStringLiteral("broker-trades.csv"));
    QFile file(broker);
    if (file.open(QIODevice::WriteOnly)) {
      file.write(
          "Wertpapier;St\xC3\xBC"
          "ck;Kurs;Handelstag;Geb\xC3\xBChr;Notiz\n"
          "MSFT;20;402,15;14.03.2024;4,90;Sparplan\n"
          "SAP;zehn;168,30;02.04.2024;4,90;\n"
          "BMW;15;1.034,00;31.04.2024;9,90;Dividende \"reinvestiert\"\n"
          "KO;40;60,12;05.06.2024;;\n");
      file.close();
    }
    general.importFile = broker.toStdString();
    general.importFormat = "auto";
    CDlgImportPortfolios importDialog(database, conn, general, ImportProfilesPathBeside(prefs.GetFileName()),
                                      shown);
    CsvMapping mapping;
    std::string error;
    (void)ParseMappingText(
        "symbol=Wertpapier,quantity=St\xC3\xBC"
        "ck,price=Kurs,date=Handelstag,"
        "commission=Geb\xC3\xBChr,comment=Notiz",
        mapping, error);
    mapping.delimiter = ';';
    mapping.decimalComma = true;
    mapping.dateFormat = "DD.MM.YYYY";
    importDialog.Mapping()->SetMapping(mapping);
    importDialog.ReadFile();
    importDialog.resize(importDialog.sizeHint().expandedTo(QSize(940, 0)));
    ok = Shoot(importDialog, out, QStringLiteral("import-portfolios")) && ok;

    // An example split of the sample's KO (the sample records NVDA's real one already), the preview showing
    // the position it changes; the part sold before the day is left in the shares of its day.
    CDlgRecordSplit split(database, conn, QStringLiteral("KO"));
    split.findChild<QLineEdit*>(QStringLiteral("ratio"))->setText(QStringLiteral("2:1"));
    split.findChild<QDateEdit*>(QStringLiteral("exDate"))->setDate(QDate(2024, 8, 1));
    split.RefreshPreview();
    ok = Shoot(split, out, QStringLiteral("record-split")) && ok;

    // A broker's list of transactions: its header fits a shipped profile, taken as the file is chosen; the
    // rows that are no trades are listed as skipped.
    const QString history = data.filePath(QStringLiteral("broker-history.csv"));
    QFile historyFile(history);
    if (historyFile.open(QIODevice::WriteOnly)) {
      historyFile.write(
          "Action,Time,ISIN,Ticker,Name,No. of shares,Price / share,Currency (Price / share),Exchange rate,"
          "Total,Currency (Total),Withholding tax\n"
          "Deposit,2024-03-01 09:12:44.120,,,,,,,,500.00,EUR,\n"
          "Market buy,2024-03-04 "
          "15:31:07.418,US5949181045,MSFT,Microsoft,0.5814020000,405.10,USD,1.0841,217.29,"
          "EUR,\n"
          "Limit buy,2024-03-12 "
          "16:02:11,US1912161007,KO,Coca-Cola,3.0000000000,59.85,USD,1.0920,164.42,EUR,\n"
          "Dividend (Ordinary),2024-04-01 "
          "11:05:25,US1912161007,KO,Coca-Cola,3.0000000000,0.49,USD,1.0790,1.36,"
          "EUR,0.22\n"
          "Market sell,2024-05-20 "
          "15:40:02.006,US5949181045,MSFT,Microsoft,0.2000000000,423.08,USD,1.0860,77.91,"
          "EUR,\n"
          "Interest on cash,2024-05-31 22:06:41.36,,,,,,,,0.41,EUR,\n");
      historyFile.close();
    }
    general.importFile = history.toStdString();
    CDlgImportPortfolios historyDialog(database, conn, general, ImportProfilesPathBeside(prefs.GetFileName()),
                                       shown);
    historyDialog.resize(historyDialog.sizeHint().expandedTo(QSize(940, 0)));
    ok = Shoot(historyDialog, out, QStringLiteral("import-transactions")) && ok;
    if (conn) (void)database.Disconnect(conn);  // the snapshot tool ends right after
  }
  {
    VLPrefs prefs;
    prefs.SetFileName(data.filePath(QStringLiteral("Vellumar.ini")).toStdString());
    prefs.Load();
    CDlgOptions options(prefs,
                        RealPriceFolders{(data.path() + QStringLiteral("/marketdata/")).toStdString(), ""});
    const char* pages[] = {"", "-updates", "-real-prices"};
    for (int i = 0; i < options.Pages()->count(); ++i) {
      options.Pages()->setCurrentIndex(i);
      ok = Shoot(options, out, QStringLiteral("options") + QLatin1String(pages[i])) && ok;
    }
  }
  return ok ? 0 : 1;
}
