// Tool commands of the main window that hand the portfolio, the selected positions or the symbol edit to
// another window or to the outside: print, chart, security information, historical price, symbol finder,
// performance.
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <ctime>
#include <unordered_map>

#include "framework/app_paths.h"
#include "framework/replace_file.h"
#include "marketdata/service_hosts.h"
#include "marketdata/url_encode.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/views/portfolio_report.h"
#include "prefs/vl_prefs.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/main/c_dlg_dividends.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui/main/report_printer.h"
#include "ui/main/web_page_opener.h"
#include "ui/marketdata/c_dlg_chart.h"
#include "ui/marketdata/c_dlg_historical_price_finder.h"
#include "ui/marketdata/c_dlg_news.h"
#include "ui/marketdata/c_dlg_performance.h"
#include "ui/marketdata/c_dlg_symbol_finder.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/message_box.h"

namespace {

// Purchase dates outside these years open the price finder at today's date.
constexpr int kFirstPriceYear = 1970;
constexpr int kLastPriceYear = 2035;

}  // namespace

void CDlgVellumar::RegisterToolWindowCommands() {
  handlers.insert(kCmdPrint, [this] { OnPrint(); });
  handlers.insert(kCmdSymbolFinder, [this] { OpenSymbolFinder(QString()); });
  handlers.insert(kCmdSymbolFinderSmall, [this] { OpenSymbolFinder(symbolEdit->text().trimmed()); });
  handlers.insert(kCmdChartSmall, [this] {
    const QString symbol = symbolEdit->text().trimmed();
    OpenChart(symbol.isEmpty() ? QStringList() : QStringList{symbol});
  });
  handlers.insert(kCmdPriceSmall,
                  [this] { OpenPriceFinder(symbolEdit->text().trimmed(), QDate::currentDate()); });
  handlers.insert(kCmdInfoSmall, [this] { OnInfoForEdit(); });
  for (int id : {kCmdChart, kCmdChartMenu}) handlers.insert(id, [this] { OnChartSelected(); });
  for (int id : {kCmdInfo, kCmdInfoMenu}) handlers.insert(id, [this] { OnInfoSelected(); });
  for (int id : {kCmdPrice, kCmdPriceMenu}) handlers.insert(id, [this] { OnPriceSelected(); });
  handlers.insert(kCmdPerformance, [this] { OpenPerformance(); });
  handlers.insert(kCmdDividends, [this] { OpenDividends(); });
}

QString CDlgVellumar::SecurityInfoUrl(const QString& symbol) {
  return QString::fromStdString("http://" + GetServiceHosts().quoteWebHost +
                                "/q?s=" + EncodeUrlValue(symbol.toStdString()));
}

bool CDlgVellumar::ReadSelectedPositions(std::vector<std::unique_ptr<VLHoldingItem>>& positions,
                                         bool upToFirstStock) {
  positions.clear();
  for (uint32_t id : VisibleList()->SelectedIds()) {
    std::unique_ptr<VLHoldingItem> position;
    if (!conn || Database().GetPosition(conn, id, position) != VLResult::Ok || !position) {
      ShowMessage(this, StringId::PositionsAccessError, MessageIcon::Error);
      VisibleList()->setFocus();
      return false;
    }
    const bool stock = AsStock(position.get()) != nullptr;
    positions.push_back(std::move(position));
    if (upToFirstStock && stock) break;
  }
  return true;
}

void CDlgVellumar::OnChartSelected() {
  std::vector<std::unique_ptr<VLHoldingItem>> positions;
  if (!ReadSelectedPositions(positions, false)) return;
  QStringList symbols;
  for (const auto& position : positions) {
    if (AsStock(position.get())) symbols << QString::fromStdString(position->name);
  }
  OpenChart(symbols);
}

void CDlgVellumar::OnNewsSelected() {
  std::vector<std::unique_ptr<VLHoldingItem>> positions;
  if (!ReadSelectedPositions(positions, false)) return;
  QStringList symbols;
  for (const auto& position : positions) {
    if (AsStock(position.get())) symbols << QString::fromStdString(position->name);
  }
  OpenNews(symbols);
}

void CDlgVellumar::OpenNews(const QStringList& symbols) {
  CDlgVellumar* owner = mainWindow ? mainWindow : this;
  auto* news = new CDlgNews(Prefs(), owner);
  news->setAttribute(Qt::WA_DeleteOnClose);
  news->SetSymbols(symbols);
  host.AddSecondaryWindow(news);
  news->show();
}

void CDlgVellumar::OnInfoSelected() {
  std::vector<std::unique_ptr<VLHoldingItem>> positions;
  if (!ReadSelectedPositions(positions, false)) return;
  for (const auto& position : positions) {
    if (AsStock(position.get()) && !OpenSecurityInfo(QString::fromStdString(position->name))) return;
  }
}

bool CDlgVellumar::OpenSecurityInfo(const QString& symbol) {
  const QString url = SecurityInfoUrl(symbol);
  if (OpenWebPage(url)) return true;
  // Without a browser nothing would happen at all; one message says so for the whole command.
  ShowMessage(this, StringId::NoWebBrowser, MessageIcon::Exclamation, MessageButtons::Ok, {url});
  return false;
}

void CDlgVellumar::OnInfoForEdit() {
  const QString symbol = symbolEdit->text().trimmed();
  if (symbol.isEmpty()) {
    VisibleList()->setFocus();
    return;
  }
  lastSymbol = symbol;
  (void)OpenSecurityInfo(symbol);  // a failure was shown
}

void CDlgVellumar::OnPriceSelected() {
  std::vector<std::unique_ptr<VLHoldingItem>> positions;
  if (!ReadSelectedPositions(positions, true)) return;
  const VLStockHoldingItem* stock = positions.empty() ? nullptr : AsStock(positions.back().get());
  if (!stock) {
    OpenPriceFinder(QString(), QDate::currentDate());
    return;
  }
  QDate date = stock->purchaseDate ? StoredDateToQDate(stock->purchaseDate) : QDate::currentDate();
  if (!date.isValid() || date.year() < kFirstPriceYear || date.year() > kLastPriceYear) {
    date = QDate::currentDate();
  }
  OpenPriceFinder(QString::fromStdString(stock->name), date);
}

void CDlgVellumar::OpenChart(const QStringList& symbols) {
  CDlgVellumar* owner = mainWindow ? mainWindow : this;
  auto* chart = new CDlgChart(symbols, owner);
  chart->setAttribute(Qt::WA_DeleteOnClose);
  host.AddSecondaryWindow(chart);
  chart->show();
}

void CDlgVellumar::OpenPerformance() {
  if (portfolioId == 0) return;
  // One window per portfolio: asking again brings it to the front.
  if (CDlgPerformance* open = CDlgPerformance::ForPortfolio(portfolioId)) {
    open->showNormal();
    open->raise();
    open->activateWindow();
    return;
  }
  CDlgVellumar* owner = mainWindow ? mainWindow : this;
  auto* window = new CDlgPerformance(Database(), portfolioId, owner);
  window->setAttribute(Qt::WA_DeleteOnClose);
  host.AddSecondaryWindow(window);
  window->show();
}

void CDlgVellumar::OpenDividends() {
  if (portfolioId == 0 || !conn) return;
  // One window per portfolio: asking again brings it to the front.
  CDlgDividends* window = CDlgDividends::ForPortfolio(portfolioId);
  if (!window) {
    window = new CDlgDividends(Database(), conn, portfolioId, this);
    host.AddSecondaryWindow(window);
  }
  window->showNormal();
  window->raise();
  window->activateWindow();
}

void CDlgVellumar::OpenPriceFinder(const QString& symbol, const QDate& date) {
  CDlgHistoricalPriceFinder finder(this);
  finder.SetMaySelect(false);  // nothing here takes a price
  finder.SetInitialSymbol(symbol);
  finder.SetInitialDate(date);
  RunDialog(finder);
  VisibleList()->setFocus();
}

void CDlgVellumar::OpenSymbolFinder(const QString& text) {
  CDlgSymbolFinder finder(this);
  finder.SetInitialText(text);
  if (RunDialog(finder) == QDialog::Accepted && !finder.ChosenSymbol().isEmpty()) {
    symbolEdit->setText(finder.ChosenSymbol());
  }
  symbolEdit->setFocus();
}

QString CDlgVellumar::WriteReportFile() {
  VLHoldingItemList positions;
  const VLResult code =
      conn ? Database().GetPositions(conn, portfolioId, heldView, positions) : VLResult::Failed;
  if (code != VLResult::Ok && code != VLResult::NotFound) {
    ShowMessage(this, StringId::PositionsReadError, MessageIcon::Error);
    return QString();
  }
  std::unordered_map<uint32_t, const VLHoldingItem*> byId;
  for (int i = 0; i < positions.GetCount(); ++i) {
    const auto* position = static_cast<const VLHoldingItem*>(positions.GetAt(i));
    byId.emplace(position->id, position);
  }

  PortfolioReportInput input;
  input.heldView = heldView;
  const std::vector<int>& columns = heldView ? heldColumns : soldColumns;
  for (int column : columns)
    input.columns.push_back({column, GetColumnHeader(column), GetColumnAlignment(column)});
  input.sortColumn = heldView ? heldSortBy : soldSortBy;
  input.alternateRows = alternateRows;
  input.portfolioName = portfolioName;
  input.updatedText = updatedLabel->text().toStdString();
  const PositionListModel* model = VisibleList()->Model();
  for (int row = 0; row < model->rowCount(); ++row) {
    auto it = byId.find(model->ItemIdAt(row));
    if (it == byId.end()) {
      ++input.skippedRows;
      continue;
    }
    std::vector<std::string> cells(columns.size());
    for (size_t c = 0; c < columns.size(); ++c) it->second->GetColumnText(columns[c], cells[c]);
    input.rows.push_back(std::move(cells));
  }
  // An unavailable summary leaves its texts empty: the report still lists the positions.
  (void)Database().GetPortfolioSummary(conn, portfolioId, heldView, nullptr, input.summary);
  const std::time_t now = std::time(nullptr);
  localtime_r(&now, &input.localTime);

  const std::string path =
      GetPortfolioReportFileName(GetAppPaths().dataFolder, static_cast<long long>(window()->winId()),
                                 static_cast<int32_t>(portfolioId), input.localTime);
  // Written whole or not at all, so a full disk never leaves half a report behind to print.
  FileError error;
  if (!ReplaceFileContent(path, BuildPortfolioReport(input), error)) {
    ShowMessage(this, StringId::ReportWriteError, MessageIcon::Error, MessageButtons::Ok,
                {QString::fromStdString(path), QString::fromStdString(error.Cause())});
    return QString();
  }
  return QString::fromStdString(path);
}

void CDlgVellumar::OnPrint() {
  if (portfolioId == 0) return;
  const QString path = WriteReportFile();
  if (path.isEmpty()) {
    VisibleList()->setFocus();
    return;
  }
  const QString documentName = PrintDocumentName(QString::fromStdString(portfolioName), QDate::currentDate());
  if (!QFile::exists(path) || PrintHtmlFile(this, path, documentName) == PrintOutcome::Failed) {
    ShowMessage(this, StringId::PrintError, MessageIcon::None, MessageButtons::Ok, {path});
  }
  VisibleList()->setFocus();
}
