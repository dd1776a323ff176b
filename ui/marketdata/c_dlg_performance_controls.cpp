// The controls of the performance window and their layout: the span buttons and pickers, the chart, the
// figures with the realized gains, the note line and the progress row.
#include "ui/marketdata/c_dlg_performance.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "portfolio/performance/performance_texts.h"
#include "ui/marketdata/performance_chart.h"
#include "ui/marketdata/window_helpers.h"

namespace {

struct SpanButton {
  CDlgPerformance::Span span;
  const char* text;
  const char* spoken;
};
const SpanButton kSpanButtons[] = {
    {CDlgPerformance::Span::OneMonth, "1&M", "Last month"},
    {CDlgPerformance::Span::SixMonths, "&6M", "Last six months"},
    {CDlgPerformance::Span::YearToDate, "YT&D", "Year to date"},
    {CDlgPerformance::Span::OneYear, "&1Y", "Last year"},
    {CDlgPerformance::Span::ThreeYears, "&3Y", "Last three years"},
    {CDlgPerformance::Span::All, "&All", "Since the first purchase"},
};

// A label whose text is a figure: a screen reader speaks the figure, and the caption beside it describes it.
QLabel* FigureLabel(QWidget* parent, const QString& objectName, const QString& caption) {
  auto* label = new QLabel(parent);
  label->setObjectName(objectName);
  label->setAccessibleDescription(caption);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

}  // namespace

void CDlgPerformance::CreateControls() {
  auto* outer = new QVBoxLayout(this);

  auto* spanRow = new QHBoxLayout;
  spanButtons = new QButtonGroup(this);
  for (const SpanButton& b : kSpanButtons) {
    auto* button = new QPushButton(QString::fromLatin1(b.text), this);
    button->setObjectName(QStringLiteral("span") + QString(QString::fromLatin1(b.text)).remove(u'&'));
    button->setAccessibleName(QString::fromLatin1(b.text).remove(u'&'));
    button->setAccessibleDescription(QString::fromLatin1(b.spoken));
    button->setToolTip(QString::fromLatin1(b.spoken));
    button->setCheckable(true);
    button->setAutoDefault(false);
    spanButtons->addButton(button, static_cast<int>(b.span));
    spanRow->addWidget(button);
  }
  connect(spanButtons, &QButtonGroup::idClicked, this, [this](int id) { SetSpan(static_cast<Span>(id)); });
  spanRow->addSpacing(12);
  const QDate today = DateOfDay(TodayDayNumber());
  fromEdit = new QDateEdit(this);
  fromEdit->setObjectName(QStringLiteral("from"));
  toEdit = new QDateEdit(today, this);
  toEdit->setObjectName(QStringLiteral("to"));
  for (QDateEdit* edit : {fromEdit, toEdit}) {
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setMinimumDate(QDate(1900, 1, 1));
    edit->setMaximumDate(today);
    // A date typed or picked is a span of the user's own; it is computed once the edit is left.
    connect(edit, &QDateEdit::editingFinished, this, [this] {
      if (fromEdit->date() == appliedFrom && toEdit->date() == appliedTo) return;
      allHistory = false;
      spanButtons->setExclusive(false);
      for (QAbstractButton* b : spanButtons->buttons()) b->setChecked(false);
      spanButtons->setExclusive(true);
      Recompute();
    });
  }
  spanRow->addWidget(BuddyLabel(QStringLiteral("&From:"), fromEdit, this));
  spanRow->addWidget(fromEdit);
  spanRow->addWidget(BuddyLabel(QStringLiteral("&To:"), toEdit, this));
  spanRow->addWidget(toEdit);
  spanRow->addStretch(1);
  updateButton = new QPushButton(QStringLiteral("&Update"), this);
  updateButton->setObjectName(QStringLiteral("update"));
  updateButton->setAccessibleName(QStringLiteral("Update"));
  updateButton->setAutoDefault(false);
  connect(updateButton, &QPushButton::clicked, this, &CDlgPerformance::Recompute);
  spanRow->addWidget(updateButton);
  outer->addLayout(spanRow);

  auto* middle = new QHBoxLayout;
  chart = new PerformanceChart(this);
  chart->setObjectName(QStringLiteral("chart"));
  chart->setAccessibleName(QStringLiteral("Value and invested capital over time"));
  chart->setAccessibleDescription(QStringLiteral("Chart of the figures listed beside it"));
  chart->setMinimumSize(DialogUnitsX(this, 300), fontMetrics().height() * 18);
  middle->addWidget(chart, 1);
  middle->addWidget(CreateFigures());
  outer->addLayout(middle, 1);

  notesLabel = new QLabel(this);
  notesLabel->setObjectName(QStringLiteral("notes"));
  notesLabel->setWordWrap(true);
  outer->addWidget(notesLabel);

  auto* bottom = new QHBoxLayout;
  progressBar = new QProgressBar(this);
  progressBar->setObjectName(QStringLiteral("progress"));
  progressBar->setAccessibleName(QStringLiteral("Progress"));
  progressBar->setTextVisible(false);
  progressLabel = new QLabel(this);
  progressLabel->setObjectName(QStringLiteral("progressText"));
  cancelButton = new QPushButton(QStringLiteral("Ca&ncel"), this);
  cancelButton->setObjectName(QStringLiteral("cancel"));
  cancelButton->setAccessibleName(QStringLiteral("Cancel"));
  cancelButton->setAutoDefault(false);
  connect(cancelButton, &QPushButton::clicked, this, &CDlgPerformance::OnCancel);
  closeButton = new QPushButton(QStringLiteral("&Close"), this);
  closeButton->setObjectName(QStringLiteral("close"));
  closeButton->setAccessibleName(QStringLiteral("Close"));
  closeButton->setAutoDefault(false);
  connect(closeButton, &QPushButton::clicked, this, &CDlgPerformance::close);
  bottom->addWidget(progressLabel);
  bottom->addWidget(progressBar, 1);
  bottom->addWidget(cancelButton);
  bottom->addStretch(0);
  bottom->addWidget(closeButton);
  outer->addLayout(bottom);
  SetComputing(false);
}

QWidget* CDlgPerformance::CreateFigures() {
  auto* box = new QGroupBox(QStringLiteral("Figures"), this);
  box->setAccessibleName(box->title());
  auto* layout = new QVBoxLayout(box);
  spanLabel = new QLabel(box);
  spanLabel->setObjectName(QStringLiteral("span"));
  layout->addWidget(spanLabel);
  auto* form = new QFormLayout;
  figuresForm = form;
  const struct {
    QLabel** label;
    const char* name;
    const char* caption;
  } figures[] = {
      {&ttwrorValue, "ttwror", "True time-weighted return:"},
      {&annualizedValue, "ttwrorAnnualized", "Annualized:"},
      {&irrValue, "irr", "Internal rate of return (a year):"},
      {&priceValue, "ttwrorPrice", "Price return (without income):"},
      {&valueValue, "value", "Value at the end:"},
      {&investedValue, "invested", "Invested capital at the end:"},
  };
  for (const auto& f : figures) {
    const QString caption = QString::fromLatin1(f.caption);
    *f.label = FigureLabel(box, QString::fromLatin1(f.name), QString(caption).remove(u':'));
    form->addRow(caption, *f.label);
  }
  form->setRowVisible(priceValue, false);
  layout->addLayout(form);
  gainsTable = new QTableWidget(0, 3, box);
  gainsTable->setObjectName(QStringLiteral("realizedGains"));
  gainsTable->setHorizontalHeaderLabels(
      {QStringLiteral("Year"), QStringLiteral("Realized gain"), QStringLiteral("Net income")});
  gainsTable->setColumnHidden(2, true);
  gainsTable->verticalHeader()->setVisible(false);
  gainsTable->horizontalHeader()->setStretchLastSection(true);
  gainsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gainsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  gainsTable->setTabKeyNavigation(false);
  gainsTable->setMinimumWidth(DialogUnitsX(this, 110));
  layout->addWidget(BuddyLabel(QStringLiteral("&Realized gains by year:"), gainsTable, box));
  layout->addWidget(gainsTable, 1);
  return box;
}
