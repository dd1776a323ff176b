#include "ui/marketdata/c_dlg_news.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "marketdata/news_item.h"
#include "prefs/vl_general_prefs.h"
#include "ui/main/web_page_opener.h"
#include "ui/marketdata/c_dlg_news_item_options.h"
#include "ui/marketdata/symbol_list_edit.h"
#include "ui/marketdata/window_helpers.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/ui_message_pump.h"

namespace {

// A limit as the update uses it: below 1 means the provider's default.
int Effective(int value, int fallback) {
  return value < 1 ? fallback : value;
}

}  // namespace

CDlgNews::CDlgNews(VLGeneralPrefs& generalPrefs, QWidget* parent)
    : BusyDialog(parent, Qt::Window, CloseWhileBusy::WhenDone), prefs(generalPrefs) {
  setObjectName(QStringLiteral("154"));
  setWindowTitle(LoadString(StringId::NewsTitle));
  CreateControls();
  SetUpdating(false);
}

CDlgNews::~CDlgNews() = default;

void CDlgNews::SetSymbols(const QStringList& initial) {
  symbols.clear();
  symbolList->clear();
  for (const QString& symbol : initial) {
    if (symbols.contains(symbol)) continue;
    symbols << symbol;
    symbolList->addItem(symbol);
  }
}

void CDlgNews::showEvent(QShowEvent* event) {
  BusyDialog::showEvent(event);
  if (shownOnce) return;
  shownOnce = true;
  if (!symbols.isEmpty()) Post([this] { OnUpdate(); });
}

void CDlgNews::CreateControls() {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;

  auto* side = new QVBoxLayout;
  const SymbolListControls symbolControls = CreateSymbolListControls(this, side, 1048);
  symbolEdit = symbolControls.edit;
  finderButton = symbolControls.finder;
  addButton = symbolControls.add;
  symbolList = symbolControls.list;
  removeButton = symbolControls.remove;
  symbolList->setMaximumWidth(DialogUnitsX(this, 90));
  top->addLayout(side);

  auto* main = new QVBoxLayout;
  headlineList = new QTreeWidget(this);
  NameControl(headlineList, 1072, QStringLiteral("News items"));
  headlineList->setRootIsDecorated(false);
  headlineList->setUniformRowHeights(true);
  headlineList->setSelectionBehavior(QAbstractItemView::SelectRows);
  headlineList->setSelectionMode(QAbstractItemView::SingleSelection);
  headlineList->setHeaderLabels(
      {QStringLiteral("Date"), QStringLiteral("Symbol"), QStringLiteral("Item"), QStringLiteral("Source")});
  const int widths[] = {75, 50, 225, 80};
  for (int c = 0; c < 4; ++c) headlineList->setColumnWidth(c, DialogUnitsX(this, widths[c]));
  // The headline takes the width the other columns leave, so the source stays in view.
  headlineList->header()->setStretchLastSection(false);
  headlineList->header()->setSectionResizeMode(2, QHeaderView::Stretch);
  auto* heading = BuddyLabel(QStringLiteral("&News items:"), headlineList, this);
  NameControl(heading, 1057, heading->text());
  main->addWidget(heading);
  main->addWidget(headlineList, 1);
  auto* info = new QHBoxLayout;
  updatedLabel = new QLabel(this);
  DescribeControl(updatedLabel, 1054, QStringLiteral("Updated"));
  countLabel = new QLabel(this);
  DescribeControl(countLabel, 1050, QStringLiteral("Item count"));
  info->addWidget(updatedLabel);
  info->addStretch(1);
  info->addWidget(countLabel);
  main->addLayout(info);
  top->addLayout(main, 1);
  layout->addLayout(top, 1);

  auto* bottom = new QHBoxLayout;
  progressBar = new QProgressBar(this);
  NameControl(progressBar, 1056, QStringLiteral("Progress"));
  progressBar->setRange(0, 100);
  progressBar->setTextVisible(false);
  progressLabel = BuddyLabel(QStringLiteral("Progress:"), progressBar, this);
  NameControl(progressLabel, 1059, progressLabel->text());
  percentLabel = new QLabel(this);
  DescribeControl(percentLabel, 1060, QStringLiteral("Percent done"));
  percentLabel->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 4);
  viewButton = new QPushButton(QStringLiteral("&View"), this);
  NameControl(viewButton, 1047, QStringLiteral("View"));
  updateButton = new QPushButton(QStringLiteral("&Update..."), this);
  NameControl(updateButton, 1053, QStringLiteral("Update"));
  optionsButton = new QPushButton(QStringLiteral("&Options..."), this);
  NameControl(optionsButton, 1058, QStringLiteral("Options"));
  closeButton = new QPushButton(QStringLiteral("Close"), this);
  NameControl(closeButton, 1046, QStringLiteral("Close"));
  bottom->addWidget(progressLabel);
  bottom->addWidget(progressBar, 1);
  bottom->addWidget(percentLabel);
  bottom->addStretch(0);
  for (QPushButton* button : {viewButton, updateButton, optionsButton, closeButton})
    bottom->addWidget(button);
  layout->addLayout(bottom);

  for (QPushButton* button : {viewButton, updateButton, optionsButton, closeButton})
    button->setAutoDefault(false);
  connect(addButton, &QPushButton::clicked, this, &CDlgNews::OnAddSymbol);
  connect(symbolEdit, &QLineEdit::returnPressed, this, &CDlgNews::OnAddSymbol);
  connect(removeButton, &QPushButton::clicked, this, &CDlgNews::OnRemove);
  connect(viewButton, &QPushButton::clicked, this, &CDlgNews::OnView);
  connect(updateButton, &QPushButton::clicked, this, &CDlgNews::OnUpdate);
  connect(optionsButton, &QPushButton::clicked, this, &CDlgNews::OnOptions);
  connect(closeButton, &QPushButton::clicked, this, &CDlgNews::close);
  connect(headlineList, &QTreeWidget::itemActivated, this, &CDlgNews::OnView);
  resize(DialogUnitsX(this, 560), fontMetrics().height() * 26);
}

void CDlgNews::SetUpdating(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{viewButton, updateButton, optionsButton, closeButton}) {
    w->setVisible(!on);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{progressLabel, progressBar, percentLabel})
    w->setVisible(on);
  // Adding or removing a symbol starts an update too.
  for (QWidget* w : std::initializer_list<QWidget*>{symbolEdit, addButton, finderButton, removeButton}) {
    w->setEnabled(!on);
  }
}

void CDlgNews::OnUpdate() {
  if (provider) return;
  updatedLabel->clear();
  countLabel->clear();
  setWindowTitle(symbols.isEmpty() ? LoadString(StringId::NewsTitle)
                                   : FormatString(StringId::NewsTitleFor, QStringList{symbols.join(", ")}));
  headlineList->clear();
  results.clear();

  provider = std::make_unique<NewsItemProvider>();
  SetUpdating(true);
  progressBar->setValue(0);
  percentLabel->clear();
  std::vector<std::string> list;
  for (const QString& symbol : symbols) list.push_back(symbol.toStdString());
  QPointer<CDlgNews> alive(this);
  {
    const ScopedUiMessagePump pump;
    provider->Fetch(list, &results, prefs.newsDuration, prefs.newsItems, this, kProgressCommand);
  }
  if (!alive) return;
  const bool failed = provider->HasError() || results.empty();
  provider.reset();
  SetUpdating(false);

  if (failed) ShowMessage(this, StringId::NoNewsItems);
  FillHeadlines();
  updatedLabel->setText(
      FormatString(StringId::NewsUpdatedAt,
                   QStringList{QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat)}));
  countLabel->setText(FormatString(StringId::NewsItemCount, QStringList{QString::number(results.size())}));
  emit Updated();
  EndBusy();
}

void CDlgNews::FillHeadlines() {
  QList<QTreeWidgetItem*> rows;
  const QLocale locale;
  for (const auto& item : results) {
    // Weekday, day without a leading zero, month, year: "Sat 6 Jan 2007".
    const QDate date = QDateTime::fromSecsSinceEpoch(item->date).date();
    const QString title = QString::fromStdString(item->title);
    rows.append(new QTreeWidgetItem(QStringList{locale.toString(date, QStringLiteral("ddd d MMM yyyy")),
                                                QString::fromStdString(item->symbol), title,
                                                QString::fromStdString(item->source)}));
    rows.back()->setToolTip(2, title);  // a long headline is cut short in its column
  }
  headlineList->addTopLevelItems(rows);
  for (int c : {0, 1, 3}) headlineList->resizeColumnToContents(c);
}

void CDlgNews::OnCommand(uint32_t commandId) {
  if (commandId != kProgressCommand || !provider) return;
  if (CloseRequested()) provider->stop = true;
  percentLabel->setText(
      FormatString(StringId::ProgressPercent, QStringList{QString::number(provider->progress)}));
  progressBar->setValue(std::min(std::max(provider->progress, 0), 100));
  progressBar->repaint();
  percentLabel->repaint();
}

void CDlgNews::OnAddSymbol() {
  if (provider) return;
  if (AddSymbolFromEdit(this, symbolEdit, symbolList, symbols)) OnUpdate();
}

void CDlgNews::OnRemove() {
  if (provider) return;
  if (RemoveSelectedSymbols(this, symbolList, symbols)) OnUpdate();
}

void CDlgNews::OnView() {
  if (provider) return;
  QTreeWidgetItem* item = headlineList->currentItem();
  const int row = item ? headlineList->indexOfTopLevelItem(item) : -1;
  if (row < 0 || row >= static_cast<int>(results.size())) {
    headlineList->setFocus();
    return;
  }
  const QString url = QString::fromStdString(results[static_cast<size_t>(row)]->url);
  if (!OpenWebPage(url))
    ShowMessage(this, StringId::NewsItemOpenError, MessageIcon::None, MessageButtons::Ok, {url});
}

void CDlgNews::OnOptions() {
  if (provider) return;
  CDlgNewsItemOptions options(Effective(prefs.newsDuration, NewsItemProvider::kDefaultDayLimit),
                              Effective(prefs.newsItems, NewsItemProvider::kDefaultItemLimit), this);
  if (RunDialog(options) != QDialog::Accepted) return;
  prefs.newsDuration = options.Days();
  prefs.newsItems = options.Items();
}

void CDlgNews::OnCloseDeferred() {
  // The update stops after its current page; the window closes when it has ended.
  if (provider) provider->stop = true;
}
