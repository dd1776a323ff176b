#include "ui/marketdata/c_dlg_historical_price_finder.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "marketdata/historical_price.h"
#include "ui/marketdata/symbol_list_edit.h"
#include "ui/marketdata/window_helpers.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/ui_message_pump.h"
#include "ui/widgets/wait_cursor.h"

namespace {

const QString kResultsText = QStringLiteral("&Results:");

}  // namespace

CDlgHistoricalPriceFinder::CDlgHistoricalPriceFinder(QWidget* parent)
    : BusyDialog(parent, {}, CloseWhileBusy::Beep) {
  setObjectName(QStringLiteral("1593"));
  setWindowTitle(QStringLiteral("Historical Price Finder"));
  setAccessibleName(windowTitle());
  CreateControls();
}

CDlgHistoricalPriceFinder::~CDlgHistoricalPriceFinder() = default;

void CDlgHistoricalPriceFinder::CreateControls() {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  symbolEdit = new QLineEdit(this);
  NameControl(symbolEdit, 2088, QStringLiteral("Symbol"));
  symbolEdit->setMaxLength(16);
  finderButton = new QPushButton(QStringLiteral("S"), this);
  NameControl(finderButton, 1047, QStringLiteral("Symbol Finder"));
  finderButton->setToolTip(QStringLiteral("Symbol Finder"));
  finderButton->setFixedWidth(finderButton->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 16);
  monthPicker = new QDateEdit(QDate::currentDate(), this);
  NameControl(monthPicker, 2139, QStringLiteral("Period"));
  monthPicker->setDisplayFormat(QStringLiteral("MMM yyyy"));
  monthPicker->setCalendarPopup(true);
  monthPicker->setDateRange(QDate(1970, 1, 1),
                            QDate::currentDate().addMonths(1).addDays(-QDate::currentDate().day()));
  findButton = new QPushButton(QStringLiteral("&Find"), this);
  NameControl(findButton, 2097, QStringLiteral("Find"));
  findButton->setDefault(true);
  adjustCheck = new QCheckBox(QStringLiteral("&Adjust price for splits"), this);
  NameControl(adjustCheck, 2101, adjustCheck->text());

  grid->addWidget(BuddyLabel(QStringLiteral("&Symbol:"), symbolEdit, this), 0, 0);
  auto* symbolRow = new QHBoxLayout;
  symbolRow->addWidget(symbolEdit, 1);
  symbolRow->addWidget(finderButton);
  grid->addLayout(symbolRow, 0, 1);
  grid->addWidget(findButton, 0, 2);
  grid->addWidget(BuddyLabel(QStringLiteral("&Period:"), monthPicker, this), 1, 0);
  grid->addWidget(monthPicker, 1, 1);
  grid->addWidget(adjustCheck, 2, 1, 1, 2);
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);

  resultList = new QTreeWidget(this);
  resultList->setRootIsDecorated(false);
  resultList->setUniformRowHeights(true);
  resultList->setSelectionBehavior(QAbstractItemView::SelectRows);
  resultList->setSelectionMode(QAbstractItemView::SingleSelection);
  resultList->setHeaderLabels(
      {QStringLiteral("Date"), QStringLiteral("Close"), QStringLiteral("Low"), QStringLiteral("High")});
  const int widths[] = {80, 65, 60, 60};
  for (int c = 0; c < 4; ++c) resultList->setColumnWidth(c, DialogUnitsX(this, widths[c]));
  SelectOnEnter(resultList, [this] { PostSelect(); });
  resultsLabel = BuddyLabel(kResultsText, resultList, this);
  DescribeControl(resultsLabel, 2098,
                  QStringLiteral("Results"));  // spoken by its text, which names the symbol
  resultList->setObjectName(QStringLiteral("1035"));
  layout->addWidget(resultsLabel);
  layout->addWidget(resultList, 1);

  auto* buttons = new QHBoxLayout;
  selectButton = new QPushButton(QStringLiteral("Selec&t"), this);
  NameControl(selectButton, 1033, QStringLiteral("Select"));
  closeButton = new QPushButton(QStringLiteral("&Close"), this);
  NameControl(closeButton, 2, QStringLiteral("Close"));
  for (QPushButton* button : {finderButton, selectButton, closeButton}) button->setAutoDefault(false);
  buttons->addStretch(1);
  buttons->addWidget(selectButton);
  buttons->addWidget(closeButton);
  layout->addLayout(buttons);

  connect(findButton, &QPushButton::clicked, this, &CDlgHistoricalPriceFinder::OnFind);
  connect(selectButton, &QPushButton::clicked, this, &CDlgHistoricalPriceFinder::OnSelect);
  connect(closeButton, &QPushButton::clicked, this, &CDlgHistoricalPriceFinder::reject);
  connect(finderButton, &QPushButton::clicked, this, &CDlgHistoricalPriceFinder::OnSymbolFinder);
  connect(resultList, &QTreeWidget::itemDoubleClicked, this, [this] { PostSelect(); });
  resize(DialogUnitsX(this, 300), sizeHint().height() + fontMetrics().height() * 10);
}

void CDlgHistoricalPriceFinder::SetInitialSymbol(const QString& symbol) {
  initialSymbol = symbol;
  symbolEdit->setText(symbol);
}

void CDlgHistoricalPriceFinder::SetInitialDate(const QDate& date) {
  if (date.isValid()) monthPicker->setDate(date);
}

void CDlgHistoricalPriceFinder::SetMaySelect(bool may) {
  maySelect = may;
  selectButton->setVisible(may);
}

QDate CDlgHistoricalPriceFinder::PickedMonth() const {
  const QDate date = monthPicker->date();
  return QDate(date.year(), date.month(), 1);
}

void CDlgHistoricalPriceFinder::showEvent(QShowEvent* event) {
  BusyDialog::showEvent(event);
  if (shownOnce) return;
  shownOnce = true;
  if (!initialSymbol.trimmed().isEmpty()) Post([this] { OnFind(); });
}

void CDlgHistoricalPriceFinder::OnFind() {
  if (fetching) return;
  const QString symbol = symbolEdit->text().trimmed();
  if (symbol.isEmpty()) {
    ShowMessage(this, StringId::SymbolMissing);
    symbolEdit->selectAll();
    symbolEdit->setFocus();
    return;
  }
  const bool adjust = adjustCheck->isChecked();
  resultList->clear();
  resultsLabel->setText(kResultsText);
  selectButton->setEnabled(false);
  results.clear();
  const QDate month = PickedMonth();
  {
    QPointer<CDlgHistoricalPriceFinder> alive(this);
    fetching = true;
    findButton->setEnabled(false);
    const WaitCursor wait;
    const ScopedUiMessagePump pump;
    provider.Fetch(symbol.toStdString(), month.month(), month.year(), month.month(), month.year(), &results);
    if (!alive) return;
    fetching = false;
    findButton->setEnabled(true);
  }
  if (provider.HasError()) {
    ShowMessage(this, StringId::HistoricalPricesUnavailable, MessageIcon::None, MessageButtons::Ok, {symbol});
    emit FindFinished();
    return;
  }
  const QString upper = symbol.toUpper();
  resultsLabel->setText(FormatString(
      adjust ? StringId::AdjustedHistoricalPricesFor : StringId::HistoricalPricesFor, QStringList{upper}));
  resultList->headerItem()->setText(1, adjust ? QStringLiteral("Adj. Close") : QStringLiteral("Close"));
  QList<QTreeWidgetItem*> rows;
  for (const auto& price : results) {
    rows.append(new QTreeWidgetItem(
        QStringList{QString::fromStdString(price->dateText),
                    QString::fromStdString(adjust ? price->adjClose : price->close),
                    QString::fromStdString(price->low), QString::fromStdString(price->high)}));
  }
  resultList->addTopLevelItems(rows);
  selectButton->setEnabled(!rows.isEmpty());
  emit FindFinished();
}

void CDlgHistoricalPriceFinder::OnSelect() {
  if (fetching) return;
  QTreeWidgetItem* item = resultList->currentItem();
  const int row = item && item->isSelected() ? resultList->indexOfTopLevelItem(item) : -1;
  if (row < 0 || row >= static_cast<int>(results.size())) {
    ShowMessage(this, StringId::SelectHistoricalPrice);
    return;
  }
  const HistoricalPrice& price = *results[static_cast<size_t>(row)];
  chosenPrice = QString::fromStdString(adjustCheck->isChecked() ? price.adjClose : price.close);
  chosenDate = price.date;
  accept();
}

void CDlgHistoricalPriceFinder::PostSelect() {
  if (fetching || !maySelect) return;
  Post([this] { OnSelect(); });
}

void CDlgHistoricalPriceFinder::OnSymbolFinder() {
  if (fetching) return;
  if (ChooseSymbolInto(this, symbolEdit)) symbolEdit->setFocus();
}
