// Not a test: shows the market-data windows and the performance window with results from a running
// market-data service and writes their pictures, plus the first page of the printed report as a PDF
// (scripts/screenshots.sh turns that page into a PNG).
// Usage: vl_market_windows_snapshot DATA_FOLDER OUT_FOLDER [NAME_SUFFIX]
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "portfolio/columns/number_format.h"
#include "snapshot_support.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/marketdata/c_dlg_chart.h"
#include "ui/marketdata/c_dlg_historical_price_finder.h"
#include "ui/marketdata/c_dlg_news.h"
#include "ui/marketdata/c_dlg_performance.h"
#include "ui/marketdata/c_dlg_symbol_finder.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/message_box.h"

namespace {

template <class T>
T* Find(const QWidget& window, int id) {
  return window.findChild<T*>(QString::number(id));
}

bool Save(QWidget& window, const QDir& out, const QString& name) {
  Wait(300);
  return SavePicture(window.grab(), out, name);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: vl_market_windows_snapshot DATA_FOLDER OUT_FOLDER [NAME_SUFFIX]\n");
    return 2;
  }
  ScopedNumberFormat english(NumberFormat::English());
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  const QDir data(QString::fromLocal8Bit(argv[1]));
  const QDir out(QString::fromLocal8Bit(argv[2]));
  const QString suffix = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
  FolderHost host(data);
  SetMessageAnswerer([](const MessageRequest& request) {
    std::fprintf(stderr, "message %d: %s\n", static_cast<int>(request.id), qPrintable(request.text));
    return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
  });
  bool ok = true;

  CDlgSymbolFinder finder;
  finder.show();
  Find<QLineEdit>(finder, 1034)->setText(QStringLiteral("bank"));
  Find<QCheckBox>(finder, 1102)->setChecked(true);
  finder.OnFind();
  if (auto* list = Find<QTreeWidget>(finder, 1035); list->topLevelItemCount() > 2) {
    list->setCurrentItem(list->topLevelItem(2));
  }
  ok = Save(finder, out, "symbol-finder" + suffix + ".png") && ok;

  CDlgHistoricalPriceFinder prices;
  prices.SetInitialSymbol(QStringLiteral("MSFT"));
  prices.SetInitialDate(QDate(2026, 11, 1));
  prices.show();
  Wait(500);  // the search starts by itself
  ok = Save(prices, out, "price-finder" + suffix + ".png") && ok;

  CDlgNews news(host.GetPrefs().GetGeneralPrefs());
  news.show();
  for (const char* symbol : {"MSFT", "IBM"}) {
    Find<QLineEdit>(news, 2088)->setText(QString::fromLatin1(symbol));
    news.OnAddSymbol();
  }
  ok = Save(news, out, "news" + suffix + ".png") && ok;

  CDlgChart chart({QStringLiteral("MSFT")});
  chart.show();
  Wait(300);
  chart.findChild<QAction*>(QStringLiteral("period5"))->trigger();
  Find<QCheckBox>(chart, 1023)->click();
  Find<QCheckBox>(chart, 1020)->click();
  ok = Save(chart, out, "chart" + suffix + ".png") && ok;

  // The performance of the portfolio the main window shows, over its whole history.
  const auto portfolio = static_cast<uint32_t>(host.GetPrefs().GetGeneralPrefs().defaultPortfolio);
  CDlgPerformance performance(host.GetDatabase(), portfolio == 0 ? 1 : portfolio);
  performance.resize(performance.sizeHint().expandedTo(QSize(980, 560)));
  performance.show();
  Wait(300);
  for (int i = 0; i < 100 && performance.IsComputing(); ++i) Wait(100);
  ok = Save(performance, out, "performance" + suffix + ".png") && ok;

  if (suffix.isEmpty()) {
    // The report of the held view, printed to a PDF file in the data folder.
    const QString pdf = data.filePath(QStringLiteral("report.pdf"));
    SetDialogRunner([&](QDialog& dialog) {
      auto* print = qobject_cast<QPrintDialog*>(&dialog);
      if (!print) return int(QDialog::Rejected);
      print->printer()->setOutputFormat(QPrinter::PdfFormat);
      print->printer()->setOutputFileName(pdf);
      return int(QDialog::Accepted);
    });
    CDlgVellumar window(host);
    window.show();
    Wait(1500);
    window.RunCommand(kCmdPrint);
    ok = QFile::exists(pdf) && ok;
  }
  return ok ? 0 : 1;
}
