#include "ui/dialogs/c_dlg_income_record.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "portfolio/checks/income_checks.h"
#include "portfolio/checks/text_limits.h"
#include "portfolio/columns/clock.h"
#include "portfolio/records/calendar_date.h"
#include "ui/dialogs/dialog_fields.h"

namespace {

constexpr IncomeKind kKinds[] = {IncomeKind::Dividend, IncomeKind::CapitalGain, IncomeKind::ReturnOfCapital,
                                 IncomeKind::Interest, IncomeKind::Other};

// A stored amount as the field shows it, with its sign ("-50.00"); empty for 0 when `emptyForZero`.
QString SignedCents(int64_t cents, bool emptyForZero) {
  if (cents == 0 && emptyForZero) return {};
  return (cents < 0 ? QStringLiteral("-") : QString()) + CentsText(cents < 0 ? -cents : cents);
}

}  // namespace

CDlgIncomeRecord::CDlgIncomeRecord(const VLIncomeItem& start, bool editing, QWidget* parent)
    : QDialog(parent), exDate(std::make_unique<DatePickerRow>()) {
  setObjectName(QStringLiteral("incomeRecord"));
  setWindowTitle(editing ? QStringLiteral("Edit Payment") : QStringLiteral("Add Payment"));
  (void)result.CopyFrom(&start);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  symbol = AddEditRow(form, QStringLiteral("&Symbol:"), QStringLiteral("symbol"));
  symbol->setMaxLength(static_cast<int>(kMaxSymbolCharacters));
  symbol->setText(ToQt(start.name));
  kind = new QComboBox(this);
  kind->setObjectName(QStringLiteral("kind"));
  for (IncomeKind k : kKinds) kind->addItem(QString::fromLatin1(IncomeKindName(k)), static_cast<int>(k));
  kind->setCurrentIndex(kind->findData(static_cast<int>(start.kind)));
  auto* kindLabel = new QLabel(QStringLiteral("&Kind:"), this);
  kindLabel->setBuddy(kind);
  kind->setAccessibleName(PlainLabel(kindLabel->text()));
  form->addRow(kindLabel, kind);
  payDate = AddDayRow(form, QStringLiteral("&Pay date:"), QStringLiteral("payDate"));
  if (start.payDate != 0) payDate->setDate(StoredDateToQDate(start.payDate));
  *exDate = AddDateRow(form, QStringLiteral("E&x-date:"), QStringLiteral("exDate"));
  WriteDateRow(*exDate, start.exDate);
  gross = AddEditRow(form, QStringLiteral("&Gross amount:"), QStringLiteral("gross"));
  withholding = AddEditRow(form, QStringLiteral("&Withholding tax:"), QStringLiteral("withholding"));
  fees = AddEditRow(form, QStringLiteral("&Fees:"), QStringLiteral("fees"));
  shares = AddEditRow(form, QStringLiteral("S&hares entitled:"), QStringLiteral("shares"));
  currency = AddEditRow(form, QStringLiteral("C&urrency:"), QStringLiteral("currency"));
  currency->setPlaceholderText(QStringLiteral("the position's"));
  comment = AddEditRow(form, QStringLiteral("&Comment:"), QStringLiteral("comment"));
  if (start.gross != 0) gross->setText(SignedCents(start.gross, false));
  withholding->setText(SignedCents(start.withholding, true));
  fees->setText(SignedCents(start.fees, true));
  shares->setText(QuantityText(start.shares, true));
  currency->setText(ToQt(start.currency));
  comment->setText(ToQt(start.comment));
  QDialogButtonBox* buttons = AddOkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgIncomeRecord::OnOk);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  FocusEdit(start.name.empty() ? symbol : gross);
}

CDlgIncomeRecord::~CDlgIncomeRecord() = default;

void CDlgIncomeRecord::OnOk() {
  IncomeEntry entry;
  entry.symbol = ToStd(symbol->text());
  entry.kind = ToStd(kind->currentText());
  entry.gross = ToStd(gross->text());
  entry.withholding = ToStd(withholding->text());
  entry.fees = ToStd(fees->text());
  entry.shares = ToStd(shares->text());
  entry.currency = ToStd(currency->text());
  entry.comment = ToStd(comment->text());
  entry.payDate = QDateToStoredDate(payDate->date());
  entry.exDate = ReadDateRow(*exDate).value_or(0);
  VLIncomeItem checked;
  (void)checked.CopyFrom(&result);
  checked.reinvestPositionId = result.reinvestPositionId;
  const EntryCheck check = CheckIncome(entry, TodayDayNumber(), checked);
  if (check.Ok()) {
    (void)result.CopyFrom(&checked);
    accept();
    return;
  }
  ShowCheckMessage(this, check);
  switch (check.field) {
    case EntryField::PayDate:
      payDate->setFocus(Qt::OtherFocusReason);
      return;
    case EntryField::ExDate:
      exDate->date->setFocus(Qt::OtherFocusReason);
      return;
    case EntryField::IncomeKind:
      kind->setFocus(Qt::OtherFocusReason);
      return;
    default:
      break;
  }
  const std::pair<EntryField, QLineEdit*> edits[] = {
      {EntryField::Withholding, withholding}, {EntryField::Fees, fees},       {EntryField::Shares, shares},
      {EntryField::Currency, currency},       {EntryField::Comment, comment}, {EntryField::Symbol, symbol}};
  for (const auto& [field, edit] : edits) {
    if (check.field == field) {
      FocusEdit(edit);
      return;
    }
  }
  FocusEdit(gross);
}
