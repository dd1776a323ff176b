#include "ui/main/c_dlg_dividends.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>
#include <map>

#include "framework/text_util.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/clock.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/income/income_fetch.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_info_item_list.h"
#include "ui/dialogs/c_dlg_income_record.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/main/record_lists.h"
#include "ui/main/refused_change.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/wait_cursor.h"

namespace {

enum Column { kPayDate, kSymbol, kKind, kGross, kWithholding, kFees, kNet, kExDate, kShares, kComment };

QList<QPointer<CDlgDividends>>& OpenWindows() {
  static QList<QPointer<CDlgDividends>> windows;
  return windows;
}

// "-1,234.50": cents with their sign, in the user's number format.
QString Money(int64_t cents) {
  return ToQt(LocaleNumber(CentsDifferenceText(cents)));
}

QTreeWidget* MakeList(QWidget* parent, const QString& objectName, const QString& name,
                      const QStringList& headers, int firstAmount, int lastAmount) {
  QTreeWidget* list = MakeRecordList(parent, objectName, name, headers);
  for (int c = firstAmount; c <= lastAmount; ++c) list->headerItem()->setTextAlignment(c, Qt::AlignRight);
  return list;
}

void AlignAmounts(QTreeWidgetItem* row, int first, int last) {
  for (int c = first; c <= last; ++c) row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
}

// "KO dividend of 50.00 paid 2025-04-01".
QString PaymentText(const VLIncomeItem& income) {
  return ToQt(income.name + " " + IncomeKindName(income.kind) + " of ") + Money(income.gross) +
         ToQt(" paid " + StoredDayText(income.payDate));
}

// The payments a fetch found, each ticked; Record records the ticked ones.
class PaymentProposalsDialog : public QDialog {
 public:
  PaymentProposalsDialog(const std::vector<const IncomeProposal*>& proposals, QWidget* parent)
      : QDialog(parent) {
    setObjectName(QStringLiteral("paymentProposals"));
    setWindowTitle(QStringLiteral("Fetch Dividends"));
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(FormatString(StringId::FetchIncomeFound, QString::number(proposals.size())), this);
    text->setObjectName(QStringLiteral("information"));
    text->setWordWrap(true);
    layout->addWidget(text);
    list = MakeList(this, QStringLiteral("proposalList"), QStringLiteral("Payments to record"),
                    {QStringLiteral("Pay Date"), QStringLiteral("Symbol"), QStringLiteral("Ex-Date"),
                     QStringLiteral("Per Share"), QStringLiteral("Shares"), QStringLiteral("Gross"),
                     QStringLiteral("Currency")},
                    3, 5);
    for (const IncomeProposal* p : proposals) {
      auto* row = new QTreeWidgetItem(
          {ToQt(StoredDayText(p->income.payDate)), ToQt(p->income.name),
           ToQt(StoredDayText(p->income.exDate)), ToQt(LocaleNumber(DecimalUnitsText(p->amountMicros, 6, 2))),
           QuantityText(p->income.shares), Money(p->income.gross), ToQt(p->income.currency)});
      AlignAmounts(row, 3, 5);
      row->setCheckState(0, Qt::Checked);
      list->addTopLevelItem(row);
    }
    list->setCurrentItem(list->topLevelItem(0));
    list->setMinimumSize(560, 180);
    layout->addWidget(list, 1);
    AddRecordCancel(this, layout);
  }
  bool Ticked(int row) const { return list->topLevelItem(row)->checkState(0) == Qt::Checked; }

 private:
  QTreeWidget* list = nullptr;
};

}  // namespace

CDlgDividends::CDlgDividends(VLDatabase& db, VLDatabaseConn* connection, uint32_t portfolio, QWidget* parent)
    : QDialog(parent, Qt::Window), database(db), conn(connection), portfolioId(portfolio) {
  setObjectName(QStringLiteral("Dividends"));
  setAttribute(Qt::WA_DeleteOnClose);
  OpenWindows().append(this);
  auto* layout = new QVBoxLayout(this);
  note = new QLabel(this);
  note->setObjectName(QStringLiteral("dividendsNote"));
  note->setWordWrap(true);
  layout->addWidget(note);
  list = MakeList(
      this, QStringLiteral("incomeList"), QStringLiteral("Payments"),
      {QStringLiteral("Pay Date"), QStringLiteral("Symbol"), QStringLiteral("Kind"), QStringLiteral("Gross"),
       QStringLiteral("Withholding"), QStringLiteral("Fees"), QStringLiteral("Net"),
       QStringLiteral("Ex-Date"), QStringLiteral("Shares"), QStringLiteral("Comment")},
      kGross, kNet);
  layout->addWidget(list, 3);
  auto* totalsLabel = new QLabel(QStringLiteral("&Totals by year:"), this);
  layout->addWidget(totalsLabel);
  totals = MakeList(this, QStringLiteral("yearTotals"), QStringLiteral("Totals by year"),
                    {QStringLiteral("Year"), QStringLiteral("Gross"), QStringLiteral("Withholding"),
                     QStringLiteral("Fees"), QStringLiteral("Net")},
                    1, 4);
  totals->header()->setStretchLastSection(false);  // the net beside the other sums, not at the far edge
  totalsLabel->setBuddy(totals);
  layout->addWidget(totals, 1);

  auto* buttons = new QHBoxLayout;
  QPushButton* addButton = MakeButton(this, QStringLiteral("&Add..."), QStringLiteral("add"));
  editButton = MakeButton(this, QStringLiteral("&Edit..."), QStringLiteral("edit"));
  deleteButton = MakeButton(this, QStringLiteral("&Delete"), QStringLiteral("delete"));
  QPushButton* fetchButton = MakeButton(this, QStringLiteral("&Fetch Dividends..."), QStringLiteral("fetch"));
  QPushButton* closeButton = MakeButton(this, QStringLiteral("Close"), QStringLiteral("close"));
  for (QPushButton* b : {addButton, editButton, deleteButton, fetchButton}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(closeButton);
  layout->addLayout(buttons);
  connect(addButton, &QPushButton::clicked, this, &CDlgDividends::AddPayment);
  connect(editButton, &QPushButton::clicked, this, &CDlgDividends::EditPayment);
  connect(deleteButton, &QPushButton::clicked, this, &CDlgDividends::DeletePayment);
  connect(fetchButton, &QPushButton::clicked, this, &CDlgDividends::FetchDividends);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
  connect(list, &QTreeWidget::itemActivated, this, [this] { EditPayment(); });
  const bool writable = !database.IsReadOnly();
  for (QPushButton* b : {addButton, editButton, deleteButton, fetchButton}) b->setEnabled(writable);

  resize(900, 460);
  Reload(true);
  connect(&timer, &QTimer::timeout, this, [this] { Reload(); });
  timer.start(1000);
}

CDlgDividends::~CDlgDividends() {
  OpenWindows().removeAll(QPointer<CDlgDividends>(this));
}

CDlgDividends* CDlgDividends::ForPortfolio(uint32_t id) {
  for (const QPointer<CDlgDividends>& window : OpenWindows()) {
    if (window && window->portfolioId == id) return window;
  }
  return nullptr;
}

void CDlgDividends::UpdateTitle() {
  VLPortfolioItem portfolio;
  if (database.GetPortfolio(conn, portfolioId, portfolio) != VLResult::Ok) return;
  setWindowTitle(FormatString(StringId::DividendsTitle, ToQt(portfolio.name)));
  setAccessibleName(windowTitle());
}

void CDlgDividends::Reload(bool force) {
  const uint64_t fingerprint = database.GetFingerprint();
  if (!force && shown && fingerprint == shownFingerprint) return;
  std::vector<VLIncomeItem> read;
  if (database.GetIncome(conn, portfolioId, read) != VLResult::Ok) return;
  UpdateTitle();
  shown = true;
  shownFingerprint = fingerprint;
  const uint32_t currentId = [this] {
    VLIncomeItem current;
    return CurrentRecord(current) ? current.id : 0u;
  }();
  records = std::move(read);
  list->clear();
  QList<QTreeWidgetItem*> rows;
  std::map<int, std::array<int64_t, 4>> byYear;
  QTreeWidgetItem* current = nullptr;
  for (const VLIncomeItem& r : records) {
    auto* row = new QTreeWidgetItem({ToQt(StoredDayText(r.payDate)), ToQt(r.name),
                                     QString::fromLatin1(IncomeKindName(r.kind)), Money(r.gross),
                                     Money(r.withholding), Money(r.fees), Money(r.Net()),
                                     r.exDate ? ToQt(StoredDayText(r.exDate)) : QString(),
                                     QuantityText(r.shares, true), ToQt(r.comment)});
    AlignAmounts(row, kGross, kNet);
    row->setTextAlignment(kShares, Qt::AlignRight | Qt::AlignVCenter);
    rows.append(row);
    if (r.id == currentId) current = row;
    std::array<int64_t, 4>& sums = byYear[DateOfDayNumber(DayNumberOfStoredDate(r.payDate)).year];
    sums[0] += r.gross;
    sums[1] += r.withholding;
    sums[2] += r.fees;
    sums[3] += r.Net();
  }
  list->addTopLevelItems(rows);
  if (!rows.isEmpty()) list->setCurrentItem(current ? current : rows.front());
  totals->clear();
  for (auto it = byYear.rbegin(); it != byYear.rend(); ++it) {
    const auto& sums = it->second;
    auto* row = new QTreeWidgetItem(
        {QString::number(it->first), Money(sums[0]), Money(sums[1]), Money(sums[2]), Money(sums[3])});
    AlignAmounts(row, 1, 4);
    totals->addTopLevelItem(row);
  }
  note->setText(FormatString(StringId::DividendsCount, QString::number(records.size())));
  const bool any = !records.empty() && !database.IsReadOnly();
  editButton->setEnabled(any);
  deleteButton->setEnabled(any);
}

bool CDlgDividends::CurrentRecord(VLIncomeItem& record) const {
  const int row = list->indexOfTopLevelItem(list->currentItem());
  if (row < 0 || static_cast<size_t>(row) >= records.size()) return false;
  return record.CopyFrom(&records[static_cast<size_t>(row)]);
}

void CDlgDividends::AddPayment() {
  VLIncomeItem start;
  start.portfolioId = portfolioId;
  CDlgIncomeRecord dialog(start, false, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  VLIncomeItem income;
  (void)income.CopyFrom(&dialog.Result());
  income.portfolioId = portfolioId;
  uint32_t id = 0;
  Quantity entitled;
  if (const VLResult code = database.AddIncome(conn, income, id, &entitled); code != VLResult::Ok) {
    ShowRefusedChange(this, database, conn, StringId::IncomeSaveError, code, MessageIcon::Error,
                      {ToQt(income.name)});
  } else if (entitled.IsZero()) {
    // Kept all the same: a payment of a holding the portfolio does not record is still income.
    VLPortfolioItem portfolio;
    (void)database.GetPortfolio(conn, portfolioId, portfolio);
    ShowMessage(this, StringId::IncomeNotEntitled, MessageIcon::Information, MessageButtons::Ok,
                {ToQt(portfolio.name), ToQt(AsciiUpper(income.name)),
                 ToQt(StoredDayText(income.exDate != 0 ? income.exDate : income.payDate))});
  }
  Reload(true);
}

void CDlgDividends::EditPayment() {
  VLIncomeItem record;
  if (!CurrentRecord(record)) return;
  CDlgIncomeRecord dialog(record, true, this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  VLIncomeItem changed;
  (void)changed.CopyFrom(&dialog.Result());
  changed.id = record.id;
  changed.portfolioId = record.portfolioId;
  changed.reinvestPositionId = record.reinvestPositionId;
  if (const VLResult code = database.ModifyIncome(conn, changed); code != VLResult::Ok) {
    ShowRefusedChange(this, database, conn, StringId::IncomeSaveError, code, MessageIcon::Error,
                      {ToQt(changed.name)});
  }
  Reload(true);
}

void CDlgDividends::DeletePayment() {
  VLIncomeItem record;
  if (!CurrentRecord(record)) return;
  if (ShowMessage(this, StringId::IncomeDeleteConfirm, MessageIcon::Question, MessageButtons::YesNoDefaultNo,
                  {PaymentText(record)}) != MessageAnswer::Yes)
    return;
  if (const VLResult code = database.DeleteIncome(conn, record.id); code != VLResult::Ok) {
    ShowRefusedChange(this, database, conn, StringId::IncomeSaveError, code, MessageIcon::Error,
                      {ToQt(record.name)});
  }
  Reload(true);
}

void CDlgDividends::FetchDividends() {
  Reload(true);  // what is recorded now, so that nothing is offered twice
  IncomeFetch fetch;
  {
    WaitCursor wait;
    VLStockInfoItemList quotes;
    VLPortfolioItemList portfolios;
    VLHoldingItemList positions;
    database.CopyAll(quotes, portfolios, positions);
    std::vector<VLCorporateActionItem> actions;
    if (database.GetCorporateActions(conn, actions) != VLResult::Ok) return;
    ServiceDividendSource service;
    IDividendSource& source = testSource ? *testSource : static_cast<IDividendSource&>(service);
    fetch = ProposeIncome(positions, portfolioId, actions, records, source, 0, TodayDayNumber());
  }
  if (fetch.NothingAnswered()) {
    ShowMessage(this, StringId::FetchIncomeUnreachable, MessageIcon::Exclamation, MessageButtons::Ok,
                {ToQt(fetch.unasked.front())});
    return;
  }
  OfferPayments(fetch);
}

void CDlgDividends::OfferPayments(const IncomeFetch& fetch) {
  std::vector<const IncomeProposal*> fresh;
  for (const IncomeProposal& p : fetch.proposals) {
    if (!p.recorded) fresh.push_back(&p);
  }
  if (fresh.empty()) {
    ShowMessage(this, StringId::FetchIncomeNone, MessageIcon::Information);
    return;
  }
  PaymentProposalsDialog offer(fresh, this);
  if (RunDialog(offer) != QDialog::Accepted) return;
  std::vector<VLIncomeItem> kept;
  for (size_t i = 0; i < fresh.size(); ++i) {
    if (offer.Ticked(static_cast<int>(i))) kept.push_back(fresh[i]->income);
  }
  std::vector<uint32_t> ids;
  if (const VLResult code = database.AddIncomes(conn, kept, ids); code != VLResult::Ok) {
    ShowRefusedChange(this, database, conn, StringId::IncomeSaveError, code, MessageIcon::Error,
                      {ToQt(kept.empty() ? std::string() : kept.front().name)});
  }
  Reload(true);
}
