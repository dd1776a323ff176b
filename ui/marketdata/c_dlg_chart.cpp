#include "ui/marketdata/c_dlg_chart.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <fstream>
#include <vector>

#include "framework/app_paths.h"
#include "marketdata/big_charts_chart_provider.h"
#include "marketdata/stock_info.h"
#include "marketdata/stock_info_provider.h"
#include "ui/marketdata/chart_page.h"
#include "ui/marketdata/symbol_list_edit.h"
#include "ui/marketdata/window_helpers.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/ui_message_pump.h"
#include "ui/widgets/wait_cursor.h"

namespace {

constexpr int kMaxPageBytes = 32767;

constexpr const char* kPeriods[] = {"&Intraday",  "Last &Week", "Last &Month", "&3 Months", "&6 Months",
                                    "Last &Year", "3 Year&s",   "&5 Years",    "&10 Years"};

// Each window numbers its files differently, and so do two runs of the program.
uint32_t NextFileNumber() {
  static uint32_t next = QRandomGenerator::global()->generate();
  return next++;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

CDlgChart::CDlgChart(const QStringList& chartSymbols, QWidget* parent,
                     std::unique_ptr<ChartProvider> chartProvider)
    : BusyDialog(parent, Qt::Window, CloseWhileBusy::WhenDone),
      symbols(chartSymbols),
      provider(chartProvider ? std::move(chartProvider) : std::make_unique<BigChartsChartProvider>()) {
  setObjectName(QStringLiteral("156"));
  setWindowTitle(LoadString(StringId::ChartTitle));
  setModal(false);
  const uint32_t number = NextFileNumber();
  const std::string folder = GetAppPaths().dataFolder;
  gifPath = Q(ChartTempFileName(folder, number, ".gif"));
  htmlPath = Q(ChartTempFileName(folder, number, ".htm"));
  CreateControls();
  for (const QString& symbol : symbols) symbolList->addItem(symbol);
}

CDlgChart::~CDlgChart() {
  QFile::remove(gifPath);
  QFile::remove(htmlPath);
}

void CDlgChart::CreateControls() {
  auto* outer = new QVBoxLayout(this);
  auto* layout = new QHBoxLayout;
  outer->addLayout(layout, 1);
  auto* side = new QVBoxLayout;

  const SymbolListControls symbolControls = CreateSymbolListControls(this, side, 1047);
  symbolEdit = symbolControls.edit;
  finderButton = symbolControls.finder;
  addButton = symbolControls.add;
  symbolList = symbolControls.list;
  removeButton = symbolControls.remove;
  symbolList->setMinimumHeight(fontMetrics().height() * 4);

  intervalButton = new QPushButton(QStringLiteral("&Interval:"), this);
  NameControl(intervalButton, 1091, QStringLiteral("Interval"));
  periodMenu = new QMenu(intervalButton);
  periodMenu->setAccessibleName(QStringLiteral("Interval"));
  // The menu marks the period shown: the button's own text does not say it.
  auto* periods = new QActionGroup(periodMenu);
  for (int period = 0; period < 9; ++period) {
    QAction* action = periodMenu->addAction(QString::fromLatin1(kPeriods[period]));
    action->setObjectName(QStringLiteral("period%1").arg(period));
    action->setCheckable(true);
    action->setChecked(period == params.period);
    periods->addAction(action);
    connect(action, &QAction::triggered, this, [this, period] { SetPeriod(period); });
  }
  intervalButton->setMenu(periodMenu);
  side->addWidget(intervalButton);

  auto* averages = new QGroupBox(QStringLiteral("Moving average"), this);
  averages->setAccessibleName(averages->title());
  auto* averagesLayout = new QVBoxLayout(averages);
  average50 = new QCheckBox(QStringLiteral("&50 day"), averages);
  NameControl(average50, 1023, QStringLiteral("50 day moving average"));
  average200 = new QCheckBox(QStringLiteral("&200 day"), averages);
  NameControl(average200, 1024, QStringLiteral("200 day moving average"));
  averagesLayout->addWidget(average50);
  averagesLayout->addWidget(average200);
  side->addWidget(averages);

  auto* compare = new QGroupBox(QStringLiteral("Compare with"), this);
  compare->setAccessibleName(compare->title());
  auto* compareLayout = new QVBoxLayout(compare);
  compareDjia = new QCheckBox(QStringLiteral("&DJIA"), compare);
  NameControl(compareDjia, 1020, QStringLiteral("Compare with DJIA"));
  compareNasdaq = new QCheckBox(QStringLiteral("&Nasdaq"), compare);
  NameControl(compareNasdaq, 1021, QStringLiteral("Compare with Nasdaq"));
  compareSp500 = new QCheckBox(QStringLiteral("&S&&P 500"), compare);
  NameControl(compareSp500, 1022, QStringLiteral("Compare with S&P 500"));
  compareSp500->setAccessibleName(QStringLiteral("Compare with S&P 500"));
  for (QCheckBox* box : {compareDjia, compareNasdaq, compareSp500}) compareLayout->addWidget(box);
  side->addWidget(compare);

  updateButton = new QPushButton(QStringLiteral("&Update"), this);
  NameControl(updateButton, 2, QStringLiteral("Update"));
  closeButton = new QPushButton(QStringLiteral("Close"), this);
  NameControl(closeButton, 1046, QStringLiteral("Close"));
  side->addWidget(updateButton);
  side->addWidget(closeButton);
  layout->addLayout(side);

  auto* right = new QVBoxLayout;
  gettingLabel = new QLabel(QStringLiteral("Getting chart ..."), this);
  DescribeControl(gettingLabel, 1092, QStringLiteral("Progress"));
  gettingLabel->setVisible(false);
  chartArea = new QTextBrowser(this);
  NameControl(chartArea, 1028, QStringLiteral("Chart"));
  chartArea->setOpenLinks(false);
  chartArea->setMinimumSize(DialogUnitsX(this, 260), fontMetrics().height() * 16);
  quoteLine = new QLabel(this);
  DescribeControl(quoteLine, 2090, QStringLiteral("Quote"));
  quoteLine->setFrameShape(QFrame::StyledPanel);
  quoteLine->setFrameShadow(QFrame::Sunken);
  quoteLine->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  quoteLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  right->addWidget(gettingLabel);
  right->addWidget(chartArea, 1);
  layout->addLayout(right, 1);
  outer->addWidget(quoteLine);

  for (QPushButton* button : {intervalButton, updateButton, closeButton}) button->setAutoDefault(false);
  connect(addButton, &QPushButton::clicked, this, &CDlgChart::OnAddSymbol);
  connect(symbolEdit, &QLineEdit::returnPressed, this, &CDlgChart::OnAddSymbol);
  connect(removeButton, &QPushButton::clicked, this, &CDlgChart::OnRemove);
  connect(updateButton, &QPushButton::clicked, this, &CDlgChart::UpdateChart);
  connect(closeButton, &QPushButton::clicked, this, &CDlgChart::close);
  for (QCheckBox* box : {average50, average200, compareDjia, compareNasdaq, compareSp500}) {
    connect(box, &QCheckBox::clicked, this, [this] {
      ReadOptions();
      UpdateChart();
    });
  }
}

void CDlgChart::ReadOptions() {
  params.movingAverage50 = average50->isChecked();
  params.movingAverage200 = average200->isChecked();
  params.compareDJIA = compareDjia->isChecked();
  params.compareNASDAQ = compareNasdaq->isChecked();
  params.compareSP500 = compareSp500->isChecked();
}

void CDlgChart::SetPeriod(int period) {
  params.period = period;
  UpdateChart();
}

void CDlgChart::OnAddSymbol() {
  if (updating) return;
  if (AddSymbolFromEdit(this, symbolEdit, symbolList, symbols)) UpdateChart();
}

void CDlgChart::OnRemove() {
  if (updating) return;
  if (RemoveSelectedSymbols(this, symbolList, symbols)) UpdateChart();
}

void CDlgChart::SetBusy(bool busy) {
  updating = busy;
  for (QWidget* w :
       std::initializer_list<QWidget*>{addButton, finderButton, removeButton, intervalButton, updateButton,
                                       average50, average200, compareDjia, compareNasdaq, compareSp500}) {
    w->setEnabled(!busy);
  }
}

void CDlgChart::UpdateChart() {
  if (updating) return;
  QPointer<CDlgChart> alive(this);
  setWindowTitle(symbols.isEmpty() ? LoadString(StringId::ChartTitle)
                                   : FormatString(StringId::ChartTitleFor, QStringList{symbols.join(", ")}));
  gettingLabel->setVisible(true);
  quoteLine->clear();
  SetBusy(true);
  {
    const WaitCursor wait;
    const ScopedUiMessagePump pump;
    std::vector<StockInfo> quotes(static_cast<size_t>(symbols.size()));
    std::vector<StockInfo*> pointers;
    for (qsizetype i = 0; i < symbols.size(); ++i) {
      quotes[static_cast<size_t>(i)].symbol = symbols[i].toStdString();
      pointers.push_back(&quotes[static_cast<size_t>(i)]);
    }
    QFile::remove(gifPath);  // a failed download must not show the last chart
    const bool downloaded = provider->DownloadChart(pointers, params, gifPath.toStdString());
    if (!alive) return;
    {
      std::ofstream out(htmlPath.toStdString(), std::ios::trunc);
      out << BuildChartPage(downloaded, gifPath.toStdString());
    }
    QFile file(htmlPath);
    pageText.clear();
    if (file.open(QIODevice::ReadOnly)) pageText = QString::fromLocal8Bit(file.read(kMaxPageBytes));
    // The image is handed over first, so a new chart under the same file name is not taken from the cache.
    chartArea->clear();
    if (downloaded) {
      chartArea->document()->addResource(QTextDocument::ImageResource, QUrl(gifPath), QImage(gifPath));
    }
    chartArea->setHtml(pageText);
    ShowQuoteLine();
    quoteLine->setToolTip(quoteLine->text());
    if (!alive) return;
  }
  gettingLabel->setVisible(false);
  SetBusy(false);
  symbolEdit->setFocus();
  emit ChartUpdated();
  EndBusy();
}

void CDlgChart::ShowQuoteLine() {
  if (symbols.isEmpty()) return;
  StockInfo info;
  info.symbol = symbols.first().toStdString();
  StockInfoProvider quotes;
  quotes.Fetch({&info});
  if (quotes.HasError()) {
    quoteLine->setText(LoadString(StringId::QuoteUnavailable));
    return;
  }
  if (info.exchange == "N/A") {
    quoteLine->setText(FormatString(StringId::NoSuchSymbol, QStringList{symbols.first()}));
    return;
  }
  // The real-time figures, or the delayed ones where the service has no real-time pair.
  const bool realTrade = info.lastTradeRealtime != "N/A" && info.lastTradeTimeRealtime != "N/A";
  const bool realChange = info.changeRealtime != "N/A" && info.percentChangeRealtime != "N/A";
  QStringList values{symbols.first(),
                     Q(info.name),
                     Q(realTrade ? info.lastTradeRealtime : info.lastTrade),
                     Q(realTrade ? info.lastTradeTimeRealtime : info.lastTradeTime),
                     Q(realChange ? info.changeRealtime : info.change),
                     Q(realChange ? info.percentChangeRealtime : info.percentChange)};
  if (info.IsIndex()) {
    quoteLine->setText(FormatString(StringId::IndexQuoteLine, values));
    return;
  }
  values << Q(FormatVolume(info.volume));
  quoteLine->setText(FormatString(StringId::ChartQuoteLine, values));
}

void CDlgChart::showEvent(QShowEvent* event) {
  BusyDialog::showEvent(event);
  if (shownOnce) return;
  shownOnce = true;
  Post([this] { UpdateChart(); });
}

void CDlgChart::closeEvent(QCloseEvent* event) {
  // Closing rejects the dialog in turn; that reject must not start a second close, which Qt ignores while
  // the first runs (and the window would stay).
  closing = true;
  BusyDialog::closeEvent(event);
  closing = false;
}

void CDlgChart::reject() {
  // Escape closes the window as its Close button does.
  if (Busy() || closing) {
    BusyDialog::reject();
    return;
  }
  closing = true;
  close();
  closing = false;
}
