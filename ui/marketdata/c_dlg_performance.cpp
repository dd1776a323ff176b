#include "ui/marketdata/c_dlg_performance.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QList>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <map>
#include <optional>

#include "portfolio/columns/clock.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_database_reads.h"
#include "portfolio/fx/fx_rate_source.h"
#include "portfolio/performance/history_close_source.h"
#include "portfolio/performance/performance_run.h"
#include "portfolio/performance/performance_texts.h"
#include "portfolio/performance/split_warnings.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "ui/marketdata/performance_chart.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/ui_message_pump.h"

namespace {

// The window reads through a connection of its own; what the database posts to it is not needed, the
// events tell it what changed.
class NoCommands : public IVLCommandWindow {
 public:
  void PostCommand(uint32_t) override {}
};

QList<QPointer<CDlgPerformance>>& OpenWindows() {
  static QList<QPointer<CDlgPerformance>> windows;
  return windows;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

void SetFigure(QLabel* label, const QString& text) {
  label->setText(text);
  label->setAccessibleName(text);
}

}  // namespace

CDlgPerformance::CDlgPerformance(VLDatabase& database, uint32_t portfolio, QWidget* parent,
                                 IDailyCloseSource* closeSource, ISplitEventSource* splits)
    : BusyDialog(parent, Qt::Window, CloseWhileBusy::WhenDone),
      db(database),
      portfolioId(portfolio),
      source(closeSource ? *closeSource : SessionCloseSource()),
      serviceSplits(closeSource ? nullptr : std::make_unique<ServiceSplitSource>()),
      splitSource(closeSource ? splits : serviceSplits.get()),
      commandTarget(std::make_shared<NoCommands>()) {
  setObjectName(QStringLiteral("Performance"));
  setModal(false);
  conn = db.Connect(commandTarget, 0, 0, 0);
  db.AddListener(this);
  OpenWindows().append(this);
  CreateControls();
  UpdateTitle();
  SetSpan(Span::All);
}

CDlgPerformance::~CDlgPerformance() {
  OpenWindows().removeAll(QPointer<CDlgPerformance>(this));
  db.RemoveListener(this);
  if (conn) (void)db.Disconnect(conn);
}

CDlgPerformance* CDlgPerformance::ForPortfolio(uint32_t id) {
  for (const QPointer<CDlgPerformance>& window : OpenWindows()) {
    if (window && window->portfolioId == id) return window;
  }
  return nullptr;
}

void CDlgPerformance::UpdateTitle() {
  VLPortfolioItem portfolio;
  if (conn && db.GetPortfolio(conn, portfolioId, portfolio) == VLResult::Ok)
    portfolioName = Q(portfolio.name);
  setWindowTitle(FormatString(StringId::PerformanceTitle, portfolioName));
  setAccessibleName(windowTitle());
}

void CDlgPerformance::SetSpan(Span chosen) {
  if (QAbstractButton* b = spanButtons->button(static_cast<int>(chosen))) b->setChecked(true);
  const QDate today = DateOfDay(TodayDayNumber());
  allHistory = chosen == Span::All;
  const QDate from = chosen == Span::OneMonth     ? today.addMonths(-1)
                     : chosen == Span::SixMonths  ? today.addMonths(-6)
                     : chosen == Span::YearToDate ? QDate(today.year(), 1, 1)
                     : chosen == Span::OneYear    ? today.addYears(-1)
                     : chosen == Span::ThreeYears ? today.addYears(-3)
                                                  : fromEdit->date();
  toEdit->setMaximumDate(today);
  toEdit->setDate(today);
  fromEdit->setDate(from);
  if (shownOnce) Recompute();
}

void CDlgPerformance::showEvent(QShowEvent* event) {
  BusyDialog::showEvent(event);
  if (shownOnce) return;
  shownOnce = true;
  PostRecompute();
}

void CDlgPerformance::SetComputing(bool on) {
  computing = on;
  for (QAbstractButton* b : spanButtons->buttons()) b->setEnabled(!on);
  for (QWidget* w : std::initializer_list<QWidget*>{fromEdit, toEdit, updateButton}) w->setEnabled(!on);
  progressBar->setVisible(on);
  cancelButton->setVisible(on);
  if (on) progressBar->setValue(0);
}

bool CDlgPerformance::ShowProgress(int done, int total, const std::string& symbol) {
  if (cancelRequested) return false;
  progressBar->setRange(0, std::max(total, 1));
  progressBar->setValue(done);
  if (!symbol.empty()) {
    progressLabel->setText(
        FormatString(StringId::PerformanceProgress,
                     QStringList{Q(symbol), QString::number(done + 1), QString::number(total)}));
  }
  progressLabel->repaint();
  progressBar->repaint();
  return true;
}

void CDlgPerformance::Recompute() {
  if (computing) {
    recomputeAfter = true;
    return;
  }
  FetchMissingRates();
  PerformanceLots lots;
  if (!conn || ReadPortfolioLots(db, conn, portfolioId, &lots) != VLResult::Ok) {
    ShowMessage(this, StringId::PositionsReadError, MessageIcon::Error);
    return;
  }
  withIncome = !lots.incomes.empty();
  appliedFrom = fromEdit->date();
  appliedTo = toEdit->date();
  PerformanceSpan asked;
  asked.to = DayOfDate(toEdit->date());
  if (!allHistory) asked.from = std::min(DayOfDate(fromEdit->date()), asked.to);

  QStringList notes;
  if (lots.cashAndMargin > 0)
    notes << FormatString(StringId::PerformanceLeftOut, QString::number(lots.cashAndMargin));
  if (lots.skipped > 0) notes << FormatString(StringId::PerformanceSkipped, QString::number(lots.skipped));
  if (lots.currencies.size() > 1 && lots.baseCurrency.empty()) {
    QStringList names;
    for (const std::string& c : lots.currencies) names << Q(c);
    notes << FormatString(StringId::PerformanceCurrencies, names.join(QStringLiteral(", ")));
  }
  if (!lots.baseCurrency.empty()) notes << FormatString(StringId::PerformanceInBase, Q(lots.baseCurrency));
  notesLabel->setText(notes.join(u' '));
  notesLabel->setVisible(!notes.isEmpty());

  cancelRequested = false;
  progressLabel->clear();
  SetComputing(true);
  QPointer<CDlgPerformance> alive(this);
  PerformanceOutcome result;
  {
    const ScopedUiMessagePump pump;
    result =
        RunPerformance(lots, asked, source, [this, &alive](int done, int total, const std::string& symbol) {
          return alive && ShowProgress(done, total, symbol);
        });
  }
  if (!alive) return;
  if (result.status == PerformanceStatus::Ok && splitSource) {
    const ScopedUiMessagePump pump;
    for (const UnrecordedSplit& split : FindUnrecordedSplits(lots, asked.to, *splitSource))
      notes << FormatString(StringId::PerformanceSplitNotRecorded, Q(UnrecordedSplitText(split)));
    if (!alive) return;
    notesLabel->setText(notes.join(u' '));
    notesLabel->setVisible(!notes.isEmpty());
  }
  outcome = std::move(result);
  SetComputing(false);
  progressLabel->clear();
  if (outcome.status == PerformanceStatus::Ok) {
    ShowFigures();
  } else {
    ShowRefusal();
  }
  emit Computed();
  EndBusy();
  if (recomputeAfter && !CloseRequested()) {
    recomputeAfter = false;
    PostRecompute();
  }
}

void CDlgPerformance::ShowFigures() {
  const PerformanceFigures& f = outcome.figures;
  if (f.fromDay && allHistory) {
    fromEdit->setDate(DateOfDay(*f.fromDay));
    appliedFrom = fromEdit->date();
  }
  // In the form the date fields show, so the span reads as what was typed there.
  const QString dateForm = fromEdit->displayFormat();
  SetFigure(spanLabel, f.fromDay ? FormatString(StringId::PerformanceSpan,
                                                QStringList{DateOfDay(*f.fromDay).toString(dateForm),
                                                            DateOfDay(f.toDay).toString(dateForm)})
                                 : LoadString(StringId::PerformanceNoLots));
  SetFigure(ttwrorValue, Q(RateText(f.ttwror)));
  SetFigure(annualizedValue, Q(RateText(f.ttwrorAnnualized)));
  SetFigure(irrValue, Q(RateText(f.irr)));
  SetFigure(priceValue, Q(RateText(f.ttwrorPrice)));
  SetFigure(valueValue, Q(MoneyText(f.finalValueCents)));
  SetFigure(investedValue, Q(MoneyText(f.finalInvestedCents)));
  ShowYears(f);
  chart->SetPoints(f.series);
}

// One row per year with a sale or (for a portfolio with income) a payment: its realized gain and its net
// income; a year without one leaves that cell empty.
void CDlgPerformance::ShowYears(const PerformanceFigures& f) {
  figuresForm->setRowVisible(priceValue, withIncome);
  gainsTable->setColumnHidden(2, !withIncome);
  std::map<int, std::pair<std::optional<int64_t>, std::optional<int64_t>>> years;
  for (const YearGain& g : f.realizedGains) years[g.year].first = g.gainCents;
  if (withIncome) {
    for (const YearIncome& y : f.income) years[y.year].second = y.netCents;
  }
  gainsTable->setRowCount(static_cast<int>(years.size()));
  int row = 0;
  for (const auto& [year, amounts] : years) {
    gainsTable->setItem(row, 0, new QTableWidgetItem(QString::number(year)));
    int column = 1;
    for (const std::optional<int64_t>& cents : {amounts.first, amounts.second}) {
      auto* cell = new QTableWidgetItem(cents ? Q(MoneyText(*cents)) : QString());
      cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      gainsTable->setItem(row, column++, cell);
    }
    ++row;
  }
}

void CDlgPerformance::ClearFigures() {
  SetFigure(spanLabel,
            LoadString(outcome.status == PerformanceStatus::Cancelled ? StringId::PerformanceStopped
                                                                      : StringId::PerformanceNoFigures));
  for (QLabel* label : {ttwrorValue, annualizedValue, irrValue, priceValue, valueValue, investedValue}) {
    SetFigure(label, Q(RateText(std::nullopt)));
  }
  gainsTable->setRowCount(0);
  chart->SetPoints({});
}

void CDlgPerformance::ShowRefusal() {
  ClearFigures();
  const QString symbol = Q(outcome.symbol);
  switch (outcome.status) {
    case PerformanceStatus::NoHistory:
      ShowMessage(this, StringId::PerformanceNoHistory, MessageIcon::Exclamation, MessageButtons::Ok,
                  {symbol});
      break;
    case PerformanceStatus::NoClose:
      ShowMessage(this, StringId::PerformanceNoClose, MessageIcon::Exclamation, MessageButtons::Ok,
                  {symbol, QLocale().toString(DateOfDay(outcome.day), QLocale::ShortFormat)});
      break;
    case PerformanceStatus::Unreachable:
    case PerformanceStatus::Failed: {
      const FetchFailure& failure = outcome.request.failure;
      QString detail = Q(failure.Describe());
      if (failure.IsLocalServiceDown()) {
        detail += QStringLiteral("\nThe market-data service on this machine is not running.");
      }
      ShowMessageWithDetail(this, StringId::PerformanceServiceError, detail, MessageIcon::Error,
                            MessageButtons::Ok, {symbol});
      break;
    }
    case PerformanceStatus::TooLarge:
      ShowMessage(this, StringId::PerformanceTooLarge, MessageIcon::Error);
      break;
    case PerformanceStatus::NoRate:
      ShowMessage(this, StringId::PerformanceNoRate, MessageIcon::Exclamation, MessageButtons::Ok, {symbol});
      break;
    case PerformanceStatus::Cancelled:
    case PerformanceStatus::Ok:
      break;
  }
}

void CDlgPerformance::FetchMissingRates() {
  std::vector<FxRateRequest> needs;
  if (!conn || db.GetRateNeeds(conn, portfolioId, TodayDayNumber(), needs) != VLResult::Ok) return;
  const std::shared_ptr<const FxRateBook> rates = db.FxRates();
  const bool missing = std::any_of(needs.begin(), needs.end(), [&](const FxRateRequest& need) {
    return !rates->Has(need.base, need.quote);
  });
  if (!missing) return;
  // Every portfolio's pairs, so that the book the database keeps still serves the others.
  if (db.GetRateNeeds(conn, 0, TodayDayNumber(), needs) != VLResult::Ok) return;
  ServiceFxRateSource fxSource;
  std::vector<std::string> errors;  // a pair not fetched refuses the figures by name
  const ScopedUiMessagePump pump;
  db.SetFxRates(FetchRateBook(fxSource, needs, errors));
}

void CDlgPerformance::OnCancel() {
  cancelRequested = true;
}

void CDlgPerformance::PostRecompute() {
  if (recomputePosted) return;
  recomputePosted = true;
  Post([this] {
    recomputePosted = false;
    Recompute();
  });
}

void CDlgPerformance::OnDatabaseEvent(const VLDatabaseEvent& event) {
  if (event.portfolioId != portfolioId) return;
  switch (event.kind) {
    case VLDatabaseEvent::kPortfolioModified:
      UpdateTitle();
      break;
    case VLDatabaseEvent::kPortfolioDeleted:
      Post([this] { close(); });
      break;
    case VLDatabaseEvent::kPositionAdded:
    case VLDatabaseEvent::kPositionChanged:
    case VLDatabaseEvent::kPositionRemoved:
      if (shownOnce) PostRecompute();
      break;
    default:
      break;
  }
}
