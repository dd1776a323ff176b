#include "ui/dialogs/c_dlg_record_split.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "portfolio/checks/text_limits.h"
#include "portfolio/columns/clock.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/calendar_date.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/main/refused_change.h"
#include "ui/widgets/string_table.h"

namespace {

enum Column {
  kPortfolio,
  kPosition,
  kBought,
  kSharesBefore,
  kSharesAfter,
  kPriceBefore,
  kPriceAfter,
  kCash,
  kPaid,
  kColumns
};

QString DayText(int64_t date) {
  return QString::fromStdString(StoredDayText(date));
}

}  // namespace

CDlgRecordSplit::CDlgRecordSplit(VLDatabase& db, VLDatabaseConn* connection, const QString& initialSymbol,
                                 QWidget* parent)
    : QDialog(parent), database(db), conn(connection) {
  setObjectName(QStringLiteral("recordSplit"));
  setWindowTitle(LoadString(StringId::RecordSplitTitle));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  symbol = AddEditRow(form, QStringLiteral("&Symbol:"), QStringLiteral("symbol"));
  symbol->setMaxLength(static_cast<int>(kMaxSymbolCharacters));
  symbol->setText(initialSymbol);
  ratio = AddEditRow(form, QStringLiteral("&New for old shares (N:D):"), QStringLiteral("ratio"));
  ratio->setPlaceholderText(QStringLiteral("3:1"));
  date = AddDayRow(form, QStringLiteral("&Ex-date:"), QStringLiteral("exDate"));
  cashInLieu = AddEditRow(form, QStringLiteral("&Cash in lieu per new share:"), QStringLiteral("cashInLieu"));
  cashInLieu->setAccessibleDescription(
      QStringLiteral("Optional: the price paid for the fractions of a share the split leaves"));
  comment = AddEditRow(form, QStringLiteral("C&omment:"), QStringLiteral("comment"));

  note = new QLabel(this);
  note->setObjectName(QStringLiteral("previewNote"));
  note->setWordWrap(true);
  layout->addWidget(note);
  preview = new QTreeWidget(this);
  preview->setObjectName(QStringLiteral("splitPreview"));
  preview->setAccessibleName(QStringLiteral("Positions the split changes"));
  preview->setColumnCount(kColumns);
  preview->setHeaderLabels({QStringLiteral("Portfolio"), QStringLiteral("Position"), QStringLiteral("Bought"),
                            QStringLiteral("Shares"), QStringLiteral("New Shares"), QStringLiteral("Price"),
                            QStringLiteral("New Price"), QStringLiteral("Paid in Cash"),
                            QStringLiteral("Total Paid")});
  preview->setRootIsDecorated(false);
  preview->setUniformRowHeights(true);
  preview->setAllColumnsShowFocus(true);
  preview->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  preview->setMinimumSize(760, 160);
  layout->addWidget(preview, 1);

  QDialogButtonBox* buttons = AddOkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgRecordSplit::OnOk);
  layout->addWidget(buttons);

  previewTimer.setSingleShot(true);
  previewTimer.setInterval(150);
  connect(&previewTimer, &QTimer::timeout, this, &CDlgRecordSplit::RefreshPreview);
  for (QLineEdit* edit : {symbol, ratio, cashInLieu}) {
    connect(edit, &QLineEdit::textChanged, this, [this] { previewTimer.start(); });
  }
  connect(date, &QDateEdit::dateChanged, this, [this] { previewTimer.start(); });
  RefreshPreview();
  FocusEdit(initialSymbol.isEmpty() ? symbol : ratio);
}

bool CDlgRecordSplit::ReadEntry(SplitRequest& request, EntryCheck& check) const {
  const SplitEntry entry{ToStd(symbol->text()), ToStd(ratio->text()), ToStd(cashInLieu->text()),
                         ToStd(comment->text()), QDateToStoredDate(date->date())};
  check = CheckSplit(entry, TodayDayNumber(), request);
  return check.Ok();
}

void CDlgRecordSplit::RefreshPreview() {
  preview->clear();
  SplitRequest request;
  EntryCheck check;
  if (!ReadEntry(request, check)) {
    // Until the entry passes its checks, the note says what is missing or wrong, as OK would.
    QStringList arguments;
    for (const std::string& argument : check.arguments) arguments << ToQt(argument);
    note->setText(FormatString(check.message, arguments));
    return;
  }
  SplitPreview split;
  const VLResult code = database.PreviewSplit(conn, request, split);
  if (code == VLResult::AlreadyRecorded) {
    note->setText(
        FormatString(StringId::SplitAlreadyRecorded, {ToQt(request.symbol), DayText(request.exDate)}));
    return;
  }
  if (code == VLResult::ActionRefused) {
    note->setText(FormatString(StringId::SplitRefused, ToQt(SplitFaultText(split))));
    return;
  }
  if (code != VLResult::Ok) {
    note->setText(FormatString(StringId::RecordSplitError, ToQt(request.symbol)));
    return;
  }
  note->setText(split.rows.empty()
                    ? LoadString(StringId::SplitPreviewNone)
                    : FormatString(StringId::SplitPreviewCount, QString::number(split.rows.size())));
  QList<QTreeWidgetItem*> rows;
  for (const SplitPreviewRow& r : split.rows) {
    auto* row = new QTreeWidgetItem(
        {ToQt(r.portfolio), QString::number(r.positionId), DayText(r.purchaseDate), QuantityText(r.qtyBefore),
         QuantityText(r.qtyAfter), PriceEntryText(r.priceBefore), PriceEntryText(r.priceAfter),
         QuantityText(r.fractionPaid, true), CentsText(r.totalPaidCents)});
    for (int c : {kPosition, kSharesBefore, kSharesAfter, kPriceBefore, kPriceAfter, kCash, kPaid})
      row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    rows.append(row);
  }
  preview->addTopLevelItems(rows);
}

void CDlgRecordSplit::OnOk() {
  SplitRequest request;
  EntryCheck check;
  if (!ReadEntry(request, check)) {
    ShowCheckMessage(this, check);
    switch (check.field) {
      case EntryField::SplitRatio:
        FocusEdit(ratio);
        break;
      case EntryField::CashInLieu:
        FocusEdit(cashInLieu);
        break;
      case EntryField::Comment:
        FocusEdit(comment);
        break;
      case EntryField::BuyDate:
        date->setFocus(Qt::OtherFocusReason);
        break;
      default:
        FocusEdit(symbol);
        break;
    }
    return;
  }
  SplitPreview split;
  const VLResult code = database.RecordSplit(conn, request, split);
  if (code == VLResult::Ok) {
    accept();
    return;
  }
  if (code == VLResult::ActionRefused) {
    ShowMessage(this, StringId::SplitRefused, MessageIcon::Exclamation, MessageButtons::Ok,
                {ToQt(SplitFaultText(split))});
    FocusEdit(cashInLieu);
    return;
  }
  if (code == VLResult::AlreadyRecorded) {
    ShowMessage(this, StringId::SplitAlreadyRecorded, MessageIcon::Exclamation, MessageButtons::Ok,
                {ToQt(request.symbol), DayText(request.exDate)});
    return;
  }
  ShowRefusedChange(this, database, conn, StringId::RecordSplitError, code, MessageIcon::Error,
                    {ToQt(request.symbol)});
}
