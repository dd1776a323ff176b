// The main window's tool commands: printing the report, the security information pages, the chart and price
// windows for the selected positions and for the symbol edit, and the pure rules they rest on.
#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "framework/app_paths.h"
#include "market_window_support.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"
#include "ui/main/browser_command.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_view.h"
#include "ui/main/report_entities.h"
#include "ui/main/report_printer.h"
#include "ui/main/web_page_opener.h"
#include "ui/marketdata/c_dlg_chart.h"
#include "ui/marketdata/c_dlg_historical_price_finder.h"
#include "ui/marketdata/c_dlg_news.h"

namespace {

TEST(BrowserCommand, TakesTheProgramPartOfTheCommand) {
  // Quoted: up to the closing quote, whatever follows.
  EXPECT_EQ(BrowserPathFromCommand("\"C:\\Program Files\\Web\\web.exe\" -nohome"),
            "C:\\Program Files\\Web\\web.exe");
  EXPECT_EQ(BrowserPathFromCommand("\"C:\\Web\\web.exe\" -url \"%1\""), "C:\\Web\\web.exe");
  // A separator after the first character: up to the first blank after the last separator.
  EXPECT_EQ(BrowserPathFromCommand("C:\\PROGRA~1\\Web\\web.exe -nohome"), "C:\\PROGRA~1\\Web\\web.exe");
  EXPECT_EQ(BrowserPathFromCommand("C:\\Program Files\\web.exe"), "C:\\Program Files\\web.exe");
  EXPECT_EQ(BrowserPathFromCommand("/usr/bin/firefox --new-window"), "/usr/bin/firefox");
  // Otherwise the whole text, a separator in first place included.
  EXPECT_EQ(BrowserPathFromCommand("web.exe -nohome"), "web.exe -nohome");
  EXPECT_EQ(BrowserPathFromCommand("\\web.exe -nohome"), "\\web.exe -nohome");
  EXPECT_EQ(BrowserPathFromCommand(""), "");
}

TEST(ReportEntities, CompletesTheReferencesABrowserReadsWithoutSemicolon) {
  EXPECT_EQ(CompleteEntityReferences("<td align=left><b>&nbsp<u>Symbol</u></b></td>"),
            "<td align=left><b>&nbsp;<u>Symbol</u></b></td>");
  EXPECT_EQ(CompleteEntityReferences("Qty&nbsp</b>"), "Qty&nbsp;</b>");
  EXPECT_EQ(CompleteEntityReferences("&nbspName and &lt &notit"), "&nbsp;Name and &lt; &not;it");
  // Complete references, a lone ampersand and anything inside a tag stay as they are.
  EXPECT_EQ(CompleteEntityReferences("&nbsp;&amp;&#233; AT&T & co"), "&nbsp;&amp;&#233; AT&T & co");
  EXPECT_EQ(CompleteEntityReferences("<a href=\"x?a=1&copy=2\">&copy</a>"),
            "<a href=\"x?a=1&copy=2\">&copy;</a>");
}

// On narrow paper a browser keeps words whole and shrinks the page; the printed report does the same.
TEST(ReportLayout, BreaksOnlyBetweenWordsAndWidensForATableThatDoesNotFit) {
  const qreal page = 200;
  // Headings and a paragraph that must wrap: between their words only.
  const std::unique_ptr<QTextDocument> narrow = LayOutReport(
      QStringLiteral("<table border=1><tr><td><b>Curr&nbsp;Value Company Name</b></td><td>Gain</td>"
                     "<td>Unbreakable&nbsp;Company&nbsp;Name</td></tr></table>"
                     "<p>A paragraph of several words that wraps on the narrow page</p>"),
      page);
  int lines = 0;
  for (QTextBlock block = narrow->begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    const QString text = block.text();
    for (int i = 1; i < layout->lineCount(); ++i) {
      ++lines;
      const int start = layout->lineAt(i).textStart();
      EXPECT_TRUE(start > 0 && text[start - 1] == u' ')
          << "'" << text.toStdString() << "' breaks before position " << start;
    }
  }
  EXPECT_GT(lines, 1) << "the heading and the paragraph wrap";

  // Cells joined with non-breaking spaces, wider together than the paper: the page widens to hold them.
  QString row;
  for (int c = 0; c < 8; ++c) row += QStringLiteral("<td>&nbsp;Company&nbsp;Name&nbsp;%1</td>").arg(c);
  const std::unique_ptr<QTextDocument> wide =
      LayOutReport(QStringLiteral("<table border=1><tr>%1</tr></table>").arg(row), page);
  EXPECT_GT(wide->pageSize().width(), page);
  EXPECT_LE(wide->documentLayout()->documentSize().width(), wide->pageSize().width());
}

class ToolCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Start());  // answers nothing: windows opened here fail their fetches at once
    hosts = std::make_unique<ScopedServiceHosts>(server.Host());
    previousOpener = SetWebPageOpener([this](const QString& url) {
      opened << url;
      return true;
    });
  }
  void TearDown() override { SetWebPageOpener(previousOpener); }

  std::unique_ptr<CDlgVellumar> Open(uint32_t portfolio) {
    host.General().defaultPortfolio = static_cast<int32_t>(portfolio);
    auto window = std::make_unique<CDlgVellumar>(host);
    window->show();
    RunPosted();
    return window;
  }
  uint32_t AddStockBought(uint32_t portfolio, const std::string& symbol, int64_t purchaseDate) {
    VLStockHoldingItem fields;
    fields.name = symbol;
    fields.qty = Shares(10);
    fields.buyPricePerShare = Cents(1000);
    fields.purchaseDate = purchaseDate;
    uint32_t id = 0;
    EXPECT_EQ(host.database->AddStockPosition(host.otherConn, portfolio, fields, id), VLResult::Ok);
    return id;
  }
  // The report files of `window` (other tests may write theirs beside them at the same time).
  static QStringList ReportFiles(const QWidget& window) {
    return QDir(QString::fromStdString(GetAppPaths().dataFolder))
        .entryList({QString::number(window.winId()) + QStringLiteral("_*.htm")}, QDir::Files);
  }

  TestHost host;
  TestServer server;
  std::unique_ptr<ScopedServiceHosts> hosts;
  WebPageOpener previousOpener;
  QStringList opened;
};

TEST_F(ToolCommandsTest, PrintWithoutAPortfolioDoesNothing) {
  MessageScript messages;
  int dialogs = 0;
  DialogScript runner([&](QDialog&) {
    ++dialogs;
    return int(QDialog::Rejected);
  });
  messages.Expect(2083, MessageAnswer::No);  // the welcome question of an empty database
  auto window = Open(0);
  messages.shown.clear();
  const QStringList before = ReportFiles(*window);
  window->RunCommand(kCmdPrint);
  EXPECT_EQ(dialogs, 0);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(ReportFiles(*window), before);
}

TEST_F(ToolCommandsTest, PrintWritesTheReportInTheDataFolderAndPrintsItAsABrowserShowsIt) {
  host.AddPortfolio("Other");  // a portfolio id of its own, unlike the other print test's
  const uint32_t portfolio = host.AddPortfolio("Print Test");
  host.AddStock(portfolio, "UPAA");
  host.AddStock(portfolio, "DNBB");
  host.AddCash(portfolio, 250000);
  host.UpdateQuotes();
  auto window = Open(portfolio);
  const QStringList before = ReportFiles(*window);

  QTemporaryDir out;
  const QString pdf = out.filePath(QStringLiteral("report.pdf"));
  DialogScript runner([&](QDialog& dialog) {
    auto* print = qobject_cast<QPrintDialog*>(&dialog);
    EXPECT_NE(print, nullptr);
    if (!print) return int(QDialog::Rejected);
    // The job, and the PDF file the dialog offers, are named after the portfolio and the day.
    EXPECT_EQ(print->printer()->docName(),
              QStringLiteral("Print Test ") + QDate::currentDate().toString(Qt::ISODate));
    print->printer()->setOutputFormat(QPrinter::PdfFormat);
    print->printer()->setOutputFileName(pdf);
    return int(QDialog::Accepted);
  });
  const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
  window->RunCommand(kCmdPrint);

  QStringList added = ReportFiles(*window);
  for (const QString& name : before) added.removeAll(name);
  // The other print tests run in parallel processes and write into the same folder, each for a portfolio id
  // of its own: only the files of this window and portfolio are this test's.
  const QString prefix =
      QString::number(window->winId()) + QStringLiteral("_%1_").arg(portfolio, 4, 10, QChar('0'));
  added = added.filter(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(prefix)));
  ASSERT_EQ(added.size(), 1);
  const QString name = added.first();
  const QDateTime stamp =
      QDateTime::fromString(name.mid(prefix.size(), 14), QStringLiteral("yyyyMMddHHmmss"));
  EXPECT_TRUE(stamp.isValid() && stamp >= started && stamp <= QDateTime::currentDateTime())
      << name.toStdString();
  EXPECT_TRUE(name.endsWith(QStringLiteral(".htm")));

  // The file stays as the report writes it; the paper shows what a browser shows.
  const QString path = QString::fromStdString(GetAppPaths().dataFolder) + name;
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray html = file.readAll();
  EXPECT_TRUE(html.contains("&nbsp<u>")) << "the sort column's heading as written";
  EXPECT_TRUE(html.contains("<TITLE>Print Test</TITLE>"));
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString printed = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(printed.contains(QStringLiteral("Print Test")));
  EXPECT_TRUE(printed.contains(QStringLiteral("UPAA")));
  EXPECT_TRUE(printed.contains(QStringLiteral("DNBB")));
  EXPECT_TRUE(printed.contains(QStringLiteral("Total: 3 position(s)")));
  EXPECT_FALSE(printed.contains(QStringLiteral("&nbsp")));
  EXPECT_FALSE(printed.contains(QStringLiteral("&")));
  QFile::remove(path);
}

TEST_F(ToolCommandsTest, AFailedPrintShowsItsMessageAndACancelledOneNothing) {
  const uint32_t portfolio = host.AddPortfolio("Growth");
  host.AddStock(portfolio, "UPAA");
  auto window = Open(portfolio);
  bool cancel = true;
  DialogScript runner([&](QDialog& dialog) {
    auto* print = qobject_cast<QPrintDialog*>(&dialog);
    if (!print || cancel) return int(QDialog::Rejected);
    print->printer()->setOutputFormat(QPrinter::PdfFormat);
    print->printer()->setOutputFileName(QStringLiteral("/nonexistent-folder/report.pdf"));
    return int(QDialog::Accepted);
  });
  MessageScript messages;
  window->RunCommand(kCmdPrint);
  EXPECT_TRUE(messages.shown.empty());

  cancel = false;
  messages.Expect(2088);
  window->RunCommand(kCmdPrint);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_TRUE(
      messages.texts[0].startsWith(QStringLiteral("[ ") + QString::fromStdString(GetAppPaths().dataFolder)));
  EXPECT_TRUE(messages.texts[0].endsWith(
      QStringLiteral(".htm ]\n\nVellumar was unable to print this file.  Please\nverify that your printer is "
                     "properly installed.")));
  // Both attempts wrote their report; printed or not, it stays until the next start clears it.
  const QString prefix =
      QString::number(window->winId()) + QStringLiteral("_%1_").arg(portfolio, 4, 10, QChar('0'));
  for (const QString& name : ReportFiles(*window)) {
    if (name.startsWith(prefix)) QFile::remove(QString::fromStdString(GetAppPaths().dataFolder) + name);
  }
}

TEST_F(ToolCommandsTest, SecurityInformationOpensOnePagePerSelectedStock) {
  const uint32_t portfolio = host.AddPortfolio("Growth");
  const uint32_t a = host.AddStock(portfolio, "UPAA");
  const uint32_t cash = host.AddCash(portfolio, 1000);
  const uint32_t b = host.AddStock(portfolio, "BRK.B");
  auto window = Open(portfolio);
  window->VisibleList()->SelectIds({a, cash, b});
  window->RunCommand(kCmdInfo);
  const QString base =
      QStringLiteral("http://") + QString::fromStdString(server.Host()) + QStringLiteral("/q?s=");
  EXPECT_EQ(opened, (QStringList{base + "BRK.B", base + "UPAA"}));  // in the list's order

  // "I": a blank edit opens nothing and hands the focus to the list; a symbol is trimmed.
  opened.clear();
  auto* edit = window->findChild<QLineEdit*>(QStringLiteral("2088"));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  edit->setText(QStringLiteral("   "));
  edit->setFocus();
  window->RunCommand(kCmdInfoSmall);
  EXPECT_TRUE(opened.isEmpty());
  EXPECT_TRUE(window->VisibleList()->hasFocus());
  edit->setText(QStringLiteral(" ibm "));
  window->RunCommand(kCmdInfoSmall);
  EXPECT_EQ(opened, QStringList{base + "ibm"});

  // No browser: one message names the page, for the command as a whole.
  SetWebPageOpener([](const QString&) { return false; });
  MessageScript messages;
  messages.Expect(3501);
  window->RunCommand(kCmdInfo);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_TRUE(messages.texts[0].contains(base + "BRK.B")) << messages.texts[0].toStdString();
}

TEST_F(ToolCommandsTest, PriceOpensTheFinderAtThePurchaseMonthOrTodayOutsideTheYearsItKnows) {
  const uint32_t portfolio = host.AddPortfolio("Growth");
  const uint32_t cash = host.AddCash(portfolio, 1000);
  const uint32_t old = AddStockBought(portfolio, "OLDCO", -142560000);  // 26 Jun 1965
  const uint32_t recent = AddStockBought(portfolio, "NEWCO", 1100000000);
  auto window = Open(portfolio);
  QString symbol;
  QDate month;
  bool maySelect = true;
  DialogScript runner([&](QDialog& dialog) {
    auto* finder = qobject_cast<CDlgHistoricalPriceFinder*>(&dialog);
    EXPECT_NE(finder, nullptr);
    if (!finder) return int(QDialog::Rejected);
    symbol = finder->findChild<QLineEdit*>(QStringLiteral("2088"))->text();
    month = finder->PickedMonth();
    maySelect = !finder->findChild<QWidget*>(QStringLiteral("1033"))->isVisibleTo(finder);
    return int(QDialog::Rejected);
  });
  const QDate today = QDate::currentDate();
  window->VisibleList()->SelectIds({cash, old});
  window->RunCommand(kCmdPrice);
  EXPECT_EQ(symbol, QStringLiteral("OLDCO"));
  EXPECT_EQ(month, QDate(today.year(), today.month(), 1));

  window->VisibleList()->SelectIds({recent});
  window->RunCommand(kCmdPriceMenu);
  EXPECT_EQ(symbol, QStringLiteral("NEWCO"));
  EXPECT_EQ(month, QDateTime::fromSecsSinceEpoch(1100000000)
                       .date()
                       .addDays(1 - QDateTime::fromSecsSinceEpoch(1100000000).date().day()));
  EXPECT_TRUE(maySelect);

  window->findChild<QLineEdit*>(QStringLiteral("2088"))->setText(QStringLiteral(" KO "));
  window->RunCommand(kCmdPriceSmall);
  EXPECT_EQ(symbol, QStringLiteral("KO"));
}

TEST_F(ToolCommandsTest, ChartOpensAModelessWindowTrackedByTheApplication) {
  const uint32_t portfolio = host.AddPortfolio("Growth");
  const uint32_t a = host.AddStock(portfolio, "UPAA");
  const uint32_t cash = host.AddCash(portfolio, 1000);
  const uint32_t b = host.AddStock(portfolio, "DNBB");
  auto window = Open(portfolio);
  window->VisibleList()->SelectIds({a, cash, b});
  window->RunCommand(kCmdChart);
  ASSERT_EQ(host.addedWindows.size(), 1u);
  auto* chart = qobject_cast<CDlgChart*>(host.addedWindows[0].data());
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->Symbols(), (QStringList{"DNBB", "UPAA"}));  // in the list's order
  EXPECT_EQ(chart->parent(), window.get());
  EXPECT_FALSE(chart->isModal());
  EXPECT_TRUE(chart->isVisible());

  window->findChild<QLineEdit*>(QStringLiteral("2088"))->setText(QStringLiteral("KO"));
  window->RunCommand(kCmdChartSmall);
  ASSERT_EQ(host.addedWindows.size(), 2u);
  EXPECT_EQ(qobject_cast<CDlgChart*>(host.addedWindows[1].data())->Symbols(), QStringList{"KO"});
  RunPosted();
  for (const QPointer<QWidget>& w : host.addedWindows) delete w.data();
}

// The News button and menu item open the news window on the selected securities, Business Headlines on
// the market's indexes; each fetches at once (here nothing answers, which the window says).
TEST_F(ToolCommandsTest, NewsOpensAModelessNewsWindowOnTheSelectionOrTheIndexes) {
  const uint32_t portfolio = host.AddPortfolio("Growth");
  const uint32_t a = host.AddStock(portfolio, "UPAA");
  const uint32_t cash = host.AddCash(portfolio, 1000);
  const uint32_t b = host.AddStock(portfolio, "DNBB");
  host.General().newsDuration = 7;
  auto window = Open(portfolio);
  window->SetConnectionProbe([] { return true; });
  for (int i = 0; i < 10; ++i) window->OnTimerTick();
  window->VisibleList()->SelectIds({a, cash, b});
  const std::pair<int, QStringList> commands[] = {
      {kCmdNews, {"DNBB", "UPAA"}},
      {kCmdRecentNews, {"DNBB", "UPAA"}},
      {kCmdBusinessHeadlines, {"^DJI", "^IXIC", "^GSPC"}},
  };
  for (const auto& [command, symbols] : commands) {
    SCOPED_TRACE(command);
    host.addedWindows.clear();
    MessageScript messages;
    messages.Expect(2091);
    window->RunCommand(command);
    ASSERT_EQ(host.addedWindows.size(), 1u);
    auto* news = qobject_cast<CDlgNews*>(host.addedWindows[0].data());
    ASSERT_NE(news, nullptr);
    EXPECT_EQ(news->Symbols(), symbols);
    EXPECT_EQ(news->parent(), window.get());
    EXPECT_FALSE(news->isModal());
    RunPosted();
    EXPECT_EQ(news->windowTitle(), QStringLiteral("Recent News For ") + symbols.join(QStringLiteral(", ")));
    delete news;
  }
}

}  // namespace

namespace {

TEST(PrintDocumentNameTest, ThePortfolioNameBecomesAFileNameAPersonRecognises) {
  const QDate day(2026, 12, 7);
  EXPECT_EQ(PrintDocumentName(QStringLiteral("Growth"), day), QStringLiteral("Growth 2026-12-07"));
  // A slash would name a folder; a dot would lose what follows it when the dialog puts ".pdf" on.
  EXPECT_EQ(PrintDocumentName(QStringLiteral(" Stocks/Bonds  Inc. "), day),
            QStringLiteral("Stocks-Bonds Inc- 2026-12-07"));
  EXPECT_EQ(PrintDocumentName(QString(), day), QStringLiteral("Portfolio 2026-12-07"));
}

}  // namespace
