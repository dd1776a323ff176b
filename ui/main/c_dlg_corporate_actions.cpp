#include "ui/main/c_dlg_corporate_actions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/clock.h"
#include "portfolio/database/split_check.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/calendar_date.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/main/record_lists.h"
#include "ui/main/refused_change.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/wait_cursor.h"

namespace {

enum Column { kDate, kSymbol, kAction, kDetail, kCash, kComment, kColumns };

QString DayOf(int64_t dayNumber) {
  return ToQt(IsoDateText(DateOfDayNumber(dayNumber)));
}

// The splits found, each ticked to be recorded; Record records the ticked ones, oldest first.
class SplitProposalsDialog : public QDialog {
 public:
  SplitProposalsDialog(const std::vector<SplitProposal>& proposals, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("splitProposals"));
    setWindowTitle(LoadString(StringId::CorporateActionsTitle));
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(FormatString(StringId::CheckSplitsFound, QString::number(proposals.size())), this);
    text->setObjectName(QStringLiteral("information"));
    text->setWordWrap(true);
    layout->addWidget(text);
    list = MakeRecordList(this, QStringLiteral("proposalList"), QStringLiteral("Splits to record"),
                          {QStringLiteral("Ex-date"), QStringLiteral("Symbol"), QStringLiteral("New for Old"),
                           QStringLiteral("Positions")});
    for (const SplitProposal& p : proposals) {
      auto* row = new QTreeWidgetItem({DayOf(p.split.day), ToQt(p.symbol),
                                       ToQt(SplitRatioText(p.split.ratio)), QString::number(p.positions)});
      row->setCheckState(kDate, Qt::Checked);
      list->addTopLevelItem(row);
    }
    list->setCurrentItem(list->topLevelItem(0));
    list->setMinimumSize(420, 140);
    layout->addWidget(list, 1);
    AddRecordCancel(this, layout);
  }
  bool Ticked(int row) const { return list->topLevelItem(row)->checkState(kDate) == Qt::Checked; }

 private:
  QTreeWidget* list = nullptr;
};

}  // namespace

CDlgCorporateActions::CDlgCorporateActions(VLDatabase& db, VLDatabaseConn* connection, QWidget* parent)
    : QDialog(parent, Qt::Window), database(db), conn(connection) {
  setObjectName(QStringLiteral("CorporateActions"));
  setWindowTitle(LoadString(StringId::CorporateActionsTitle));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  note = new QLabel(this);
  note->setObjectName(QStringLiteral("actionsNote"));
  note->setWordWrap(true);
  layout->addWidget(note);
  list = MakeRecordList(this, QStringLiteral("actionList"), LoadString(StringId::CorporateActionsTitle),
                        {QStringLiteral("Ex-date"), QStringLiteral("Symbol"), QStringLiteral("Action"),
                         QStringLiteral("New for Old / New Symbol"), QStringLiteral("Cash in Lieu"),
                         QStringLiteral("Comment")});
  layout->addWidget(list, 1);

  auto* buttons = new QHBoxLayout;
  QPushButton* recordButton =
      MakeButton(this, QStringLiteral("Record &Split..."), QStringLiteral("recordSplit"));
  checkButton = MakeButton(this, QStringLiteral("&Check for Splits"), QStringLiteral("checkSplits"));
  QPushButton* closeButton = MakeButton(this, QStringLiteral("Close"), QStringLiteral("close"));
  buttons->addWidget(recordButton);
  buttons->addWidget(checkButton);
  buttons->addStretch(1);
  buttons->addWidget(closeButton);
  layout->addLayout(buttons);
  connect(recordButton, &QPushButton::clicked, this, &CDlgCorporateActions::RecordSplitRequested);
  connect(checkButton, &QPushButton::clicked, this, &CDlgCorporateActions::CheckForSplits);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
  const bool writable = !database.IsReadOnly();
  recordButton->setEnabled(writable);
  checkButton->setEnabled(writable);

  resize(760, 360);
  Reload(true);
  connect(&timer, &QTimer::timeout, this, [this] { Reload(); });
  timer.start(1000);
}

CDlgCorporateActions::~CDlgCorporateActions() = default;

void CDlgCorporateActions::Reload(bool force) {
  const uint64_t fingerprint = database.GetFingerprint();
  if (!force && shown && fingerprint == shownFingerprint) return;
  std::vector<VLCorporateActionItem> actions;
  if (database.GetCorporateActions(conn, actions) != VLResult::Ok) return;
  shown = true;
  shownFingerprint = fingerprint;
  list->clear();
  QList<QTreeWidgetItem*> rows;
  for (const VLCorporateActionItem& a : actions) {
    const bool split = a.kind == CorporateActionKind::Split;
    rows.append(new QTreeWidgetItem(
        {ToQt(StoredDayText(a.exDate)), ToQt(a.name),
         split ? QStringLiteral("Split") : QStringLiteral("Symbol change"),
         split ? ToQt(SplitRatioText({a.newShares, a.oldShares})) : ToQt(a.newSymbol),
         a.cashInLieu.IsZero() ? QString() : ToQt(LocaleNumber(PriceText(a.cashInLieu))), ToQt(a.comment)}));
  }
  list->addTopLevelItems(rows);
  if (!rows.isEmpty()) list->setCurrentItem(rows.back());
  note->setText(FormatString(StringId::CorporateActionsCount, QString::number(actions.size())));
}

void CDlgCorporateActions::CheckForSplits() {
  SplitCheck check;
  {
    WaitCursor wait;
    ServiceSplitSource service;
    ISplitEventSource& source = testSource ? *testSource : static_cast<ISplitEventSource&>(service);
    if (::CheckForSplits(database, conn, source, TodayDayNumber(), check) != VLResult::Ok) return;
  }
  if (check.NothingAnswered()) {
    ShowMessage(this, StringId::CheckSplitsUnreachable, MessageIcon::Exclamation, MessageButtons::Ok,
                {ToQt(check.unasked.front())});
    return;
  }
  if (check.proposals.empty()) {
    ShowMessage(this, StringId::CheckSplitsNone, MessageIcon::Information);
    return;
  }
  OfferSplits(check);
}

void CDlgCorporateActions::OfferSplits(const SplitCheck& check) {
  SplitProposalsDialog offer(check.proposals, this);
  if (RunDialog(offer) != QDialog::Accepted) return;
  QStringList refused;
  for (size_t i = 0; i < check.proposals.size(); ++i) {
    if (!offer.Ticked(static_cast<int>(i))) continue;
    const SplitProposal& p = check.proposals[i];
    SplitPreview preview;
    const VLResult code = database.RecordSplit(conn, RequestOf(p), preview);
    if (code == VLResult::ActionRefused) {
      refused.append(ToQt(p.symbol + " " + SplitRatioText(p.split.ratio) + ": " + SplitFaultText(preview)));
    } else if (code != VLResult::Ok && code != VLResult::AlreadyRecorded) {
      ShowRefusedChange(this, database, conn, StringId::RecordSplitError, code, MessageIcon::Error,
                        {ToQt(p.symbol)});
      break;
    }
  }
  if (!refused.isEmpty()) {
    ShowMessage(this, StringId::SplitRefused, MessageIcon::Exclamation, MessageButtons::Ok,
                {refused.join(QStringLiteral("; "))});
  }
  Reload(true);
}
