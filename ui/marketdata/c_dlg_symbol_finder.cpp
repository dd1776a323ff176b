#include "ui/marketdata/c_dlg_symbol_finder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "marketdata/stock_info.h"
#include "ui/marketdata/window_helpers.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/ui_message_pump.h"
#include "ui/widgets/wait_cursor.h"

namespace {

// Searches for these words, as typed, return a great many pages.
constexpr const char* kCommonPhrases[] = {"AMERICA", "BANK", "COMPANY",  "CORP", "FUND",
                                          "INC",     "LTD",  "NATIONAL", "NEW"};

struct TypeButton {
  int id;
  const char* text;
  int type;
};
constexpr TypeButton kTypeButtons[] = {
    {2095, "Stock", SymbolFinder::kStocks},  {2096, "Mutual fund", SymbolFinder::kMutualFunds},
    {2119, "ETF", SymbolFinder::kEtfs},      {2120, "Futures", SymbolFinder::kFutures},
    {2121, "Index", SymbolFinder::kIndexes},
};

bool HasCommonPhrase(const QString& text) {
  for (const char* phrase : kCommonPhrases) {
    if (text.contains(QLatin1String(phrase), Qt::CaseSensitive)) return true;
  }
  return false;
}

}  // namespace

CDlgSymbolFinder::CDlgSymbolFinder(QWidget* parent) : BusyDialog(parent, {}, CloseWhileBusy::Beep) {
  setObjectName(QStringLiteral("141"));
  setWindowTitle(QStringLiteral("Symbol Finder"));
  setAccessibleName(windowTitle());
  CreateControls();
  OnTypeChanged();
  SetSearching(false);
}

CDlgSymbolFinder::~CDlgSymbolFinder() = default;

void CDlgSymbolFinder::CreateControls() {
  auto* layout = new QVBoxLayout(this);

  auto* searchRow = new QHBoxLayout;
  searchEdit = new QLineEdit(this);
  NameControl(searchEdit, 1034, QStringLiteral("Search for"));
  findButton = new QPushButton(QStringLiteral("&Find"), this);
  DescribeControl(findButton, 1036, QStringLiteral("Find"));  // "Find All" for the indexes
  findButton->setDefault(true);
  searchRow->addWidget(BuddyLabel(QStringLiteral("&Search for:"), searchEdit, this));
  searchRow->addWidget(searchEdit, 1);
  searchRow->addWidget(findButton);
  layout->addLayout(searchRow);

  worldwideCheck = new QCheckBox(QStringLiteral("Search &worldwide markets"), this);
  NameControl(worldwideCheck, 1102, worldwideCheck->text());
  layout->addWidget(worldwideCheck);

  auto* typeRow = new QHBoxLayout;
  typeGroup = new QButtonGroup(this);
  for (const TypeButton& b : kTypeButtons) {
    auto* radio = new QRadioButton(QString::fromLatin1(b.text), this);
    NameControl(radio, b.id, radio->text());
    typeGroup->addButton(radio, b.type);
    typeRow->addWidget(radio);
  }
  typeRow->addStretch(1);
  typeGroup->button(SymbolFinder::kStocks)->setChecked(true);
  layout->addLayout(typeRow);

  resultList = new QTreeWidget(this);
  NameControl(resultList, 1035, QStringLiteral("Results"));
  resultList->setRootIsDecorated(false);
  resultList->setUniformRowHeights(true);
  resultList->setSelectionBehavior(QAbstractItemView::SelectRows);
  resultList->setSelectionMode(QAbstractItemView::SingleSelection);
  resultList->setHeaderLabels({QStringLiteral("Symbol"), QStringLiteral("Name"), QStringLiteral("Exchange")});
  resultList->setColumnWidth(0, DialogUnitsX(this, 65));
  resultList->setColumnWidth(1, DialogUnitsX(this, 135));
  resultList->setColumnWidth(2, DialogUnitsX(this, 65));
  SelectOnEnter(resultList, [this] { PostSelect(); });
  layout->addWidget(BuddyLabel(QStringLiteral("&Results:"), resultList, this));
  layout->addWidget(resultList, 1);

  auto* bottomRow = new QHBoxLayout;
  progressBar = new QProgressBar(this);
  NameControl(progressBar, 1056, QStringLiteral("Progress"));
  progressBar->setRange(0, 100);
  progressBar->setTextVisible(false);
  progressLabel = BuddyLabel(QStringLiteral("Progress:"), progressBar, this);
  NameControl(progressLabel, 1058, progressLabel->text());
  percentLabel = new QLabel(this);
  DescribeControl(percentLabel, 1057, QStringLiteral("Percent done"));
  percentLabel->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 4);
  cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  NameControl(cancelButton, 1055, QStringLiteral("Cancel"));
  selectButton = new QPushButton(QStringLiteral("Selec&t"), this);
  NameControl(selectButton, 1033, QStringLiteral("Select"));
  closeButton = new QPushButton(QStringLiteral("&Close"), this);
  NameControl(closeButton, 2, QStringLiteral("Close"));
  for (QPushButton* button : {cancelButton, selectButton, closeButton}) button->setAutoDefault(false);
  bottomRow->addWidget(progressLabel);
  bottomRow->addWidget(progressBar, 1);
  bottomRow->addWidget(percentLabel);
  bottomRow->addStretch(0);
  bottomRow->addWidget(cancelButton);
  bottomRow->addWidget(selectButton);
  bottomRow->addWidget(closeButton);
  layout->addLayout(bottomRow);

  statusBar = new QStatusBar(this);
  statusBar->setObjectName(QStringLiteral("StatusBar"));
  statusBar->setAccessibleDescription(QStringLiteral("Status"));  // spoken by its message
  layout->addWidget(statusBar);
  layout->setContentsMargins(9, 9, 9, 0);

  connect(findButton, &QPushButton::clicked, this, &CDlgSymbolFinder::OnFind);
  connect(selectButton, &QPushButton::clicked, this, &CDlgSymbolFinder::OnSelect);
  connect(closeButton, &QPushButton::clicked, this, &CDlgSymbolFinder::reject);
  connect(cancelButton, &QPushButton::clicked, this, &CDlgSymbolFinder::OnCancel);
  connect(typeGroup, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) OnTypeChanged();
  });
  connect(resultList, &QTreeWidget::itemDoubleClicked, this, [this] { PostSelect(); });
  resize(DialogUnitsX(this, 330), sizeHint().height() + fontMetrics().height() * 8);
}

void CDlgSymbolFinder::SetInitialText(const QString& text) {
  searchEdit->setText(text);
}

void CDlgSymbolFinder::SetMaySelect(bool may) {
  maySelect = may;
  selectButton->setVisible(may && !searching);
}

void CDlgSymbolFinder::OnTypeChanged() {
  searchType = typeGroup->checkedId() < 0 ? SymbolFinder::kStocks : typeGroup->checkedId();
  const bool index = searchType == SymbolFinder::kIndexes;
  if (index) searchEdit->clear();
  searchEdit->setEnabled(!index);
  worldwideCheck->setEnabled(!index);
  findButton->setText(index ? QStringLiteral("Find All") : QStringLiteral("&Find"));
  findButton->setAccessibleName(findButton->text().remove(u'&'));
}

void CDlgSymbolFinder::SetSearching(bool on) {
  searching = on;
  const bool index = searchType == SymbolFinder::kIndexes;
  searchEdit->setEnabled(!on && !index);
  worldwideCheck->setEnabled(!on && !index);
  for (QAbstractButton* radio : typeGroup->buttons()) radio->setEnabled(!on);
  findButton->setEnabled(!on);
  selectButton->setVisible(!on && maySelect);
  closeButton->setVisible(!on);
  for (QWidget* w : std::initializer_list<QWidget*>{cancelButton, progressBar, percentLabel, progressLabel}) {
    w->setVisible(on);
  }
  if (on) cancelButton->setFocus();
}

void CDlgSymbolFinder::OnFind() {
  if (searching) return;
  const QString text = searchEdit->text().trimmed();
  if (searchType != SymbolFinder::kIndexes && text.size() < 3) {
    ShowMessage(this, StringId::SearchTextTooShort);
    searchEdit->selectAll();
    searchEdit->setFocus();
    return;
  }
  if (HasCommonPhrase(text) && ShowMessage(this, StringId::SearchTextCommonPhrase, MessageIcon::Question,
                                           MessageButtons::YesNo) != MessageAnswer::Yes) {
    return;
  }
  const bool worldwide = worldwideCheck->isChecked();
  resultList->clear();
  results.clear();
  statusBar->showMessage(QStringLiteral(" Searching..."));
  ShowProgress(0);
  SetSearching(true);
  bool complete = false;
  {
    QPointer<CDlgSymbolFinder> alive(this);
    const WaitCursor wait;
    const ScopedUiMessagePump pump;
    finder.Fetch(text.toStdString(), searchType, worldwide, &results, this, kProgressCommand);
    if (!alive) return;
    // A search that read every page ends with the bar full, shown for a moment before it goes away.
    complete = !finder.stop && !finder.HasError() && finder.progress > 0;
    if (complete) {
      finder.progress = 100;
      OnCommand(kProgressCommand);
    }
  }
  SetSearching(false);
  FillResults(text);
  emit SearchFinished();
}

void CDlgSymbolFinder::FillResults(const QString& text) {
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(results.size()));
  for (const auto& info : results) {
    rows.append(new QTreeWidgetItem(QStringList{QString::fromStdString(info->symbol),
                                                QString::fromStdString(info->name),
                                                QString::fromStdString(info->exchange)}));
  }
  const int count = static_cast<int>(results.size());
  results.clear();
  resultList->addTopLevelItems(rows);

  if (searchType == SymbolFinder::kIndexes) {
    statusBar->showMessage(QStringLiteral(" %1 items found").arg(count));
  } else if (count == 0) {
    statusBar->showMessage(FormatString(StringId::NoSecuritiesMatched, QStringList{text}));
  } else if (count == 1) {
    statusBar->showMessage(FormatString(StringId::OneSecurityMatched, QStringList{text}));
  } else {
    statusBar->showMessage(FormatString(StringId::SecuritiesMatched, {QString::number(count), text}));
  }
  for (int c = 0; c < resultList->columnCount(); ++c) {
    resultList->resizeColumnToContents(c);
    const int header = resultList->header()->sectionSizeHint(c);
    if (resultList->columnWidth(c) < header) resultList->setColumnWidth(c, header);
  }
  selectButton->setEnabled(true);
  searchEdit->selectAll();
  if (searchEdit->isEnabled()) {
    searchEdit->setFocus();
  } else {
    resultList->setFocus();
  }
}

void CDlgSymbolFinder::OnCommand(uint32_t commandId) {
  if (commandId != kProgressCommand) return;
  ShowProgress(finder.progress);
  if (finder.progress < 100) return;
  // Let the full bar be seen; input waits until the search has ended.
  QEventLoop pause;
  QTimer::singleShot(500, &pause, &QEventLoop::quit);
  pause.exec(QEventLoop::ExcludeUserInputEvents);
}

void CDlgSymbolFinder::ShowProgress(int percent) {
  percentLabel->setText(FormatString(StringId::ProgressPercent, QStringList{QString::number(percent)}));
  progressBar->setValue(std::clamp(percent, 0, 100));
  progressBar->repaint();
  percentLabel->repaint();
}

void CDlgSymbolFinder::OnCancel() {
  if (searching) finder.stop = true;
}

void CDlgSymbolFinder::OnSelect() {
  if (searching) return;
  QTreeWidgetItem* item = resultList->currentItem();
  if (!item || !item->isSelected()) {
    ShowMessage(this, StringId::SelectSymbolResult);
    return;
  }
  chosenSymbol = item->text(0);
  accept();
}

void CDlgSymbolFinder::PostSelect() {
  if (searching || !maySelect) return;
  Post([this] { OnSelect(); });
}
