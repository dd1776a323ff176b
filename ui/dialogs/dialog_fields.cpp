#include "ui/dialogs/dialog_fields.h"

#include "portfolio/columns/number_format.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>

#include "portfolio/records/calendar_date.h"
#include "ui/widgets/message_box.h"

namespace {

// A date picker that types as "2025-01-15" reads: the picker moves to the next part by itself once a
// part is complete, so a separator typed right after that is swallowed instead of skipping the next part
// (which silently turned "2025-01-15" into 2025-12-01). Tab leaves the picker at once, like every other
// control; the arrow keys and typing move between the parts.
class DatePicker : public QDateEdit {
 public:
  using QDateEdit::QDateEdit;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
      if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
        QWidget::focusNextPrevChild(forward);
        return true;
      }
    }
    return QDateEdit::event(event);
  }

  void keyPressEvent(QKeyEvent* key) override {
    const QString text = key->text();
    if (text.size() == 1 && text[0].isDigit()) StartTypingInPart();
    const bool separator = text.size() == 1 && text[0].isPrint() && !text[0].isDigit();
    if (separator && PartJustEntered()) {
      key->accept();
      return;
    }
    QDateEdit::keyPressEvent(key);
  }

 private:
  // A digit typed over a selection of several parts (select all) starts a whole new date at its first part,
  // and one typed at the start of a part replaces that part; left alone, the picker threw the first digits
  // away (select all, "2024-03-15" gave this year's 15 March).
  void StartTypingInPart() {
    QLineEdit* edit = lineEdit();
    const QString selected = edit->selectedText();
    if (selected.size() > sectionText(currentSection()).size()) {
      setCurrentSectionIndex(0);
      setSelectedSection(sectionAt(0));
      return;
    }
    if (!selected.isEmpty()) return;
    const int cursor = edit->cursorPosition();
    setSelectedSection(currentSection());
    if (edit->selectionStart() != cursor)
      edit->setCursorPosition(cursor);  // typing inside a part goes on there
  }

  // The current part is selected whole: the picker has just moved to it and nothing is typed there yet.
  bool PartJustEntered() const {
    const QString selected = lineEdit()->selectedText();
    return !selected.isEmpty() && selected == sectionText(currentSection());
  }
};

}  // namespace

QString PlainLabel(const QString& label) {
  QString plain = label;
  plain.remove(QLatin1Char('&'));
  plain = plain.trimmed();
  if (plain.endsWith(QLatin1Char(':'))) plain.chop(1);
  return plain;
}

QLineEdit* AddEditRow(QFormLayout* form, const QString& label, const QString& objectName, QWidget* trailing) {
  auto* edit = new QLineEdit(form->parentWidget());
  edit->setObjectName(objectName);
  edit->setAccessibleName(PlainLabel(label));
  auto* caption = new QLabel(label, form->parentWidget());
  caption->setBuddy(edit);
  if (!trailing) {
    form->addRow(caption, edit);
    return edit;
  }
  auto* line = new QHBoxLayout;
  line->addWidget(edit, 1);
  line->addWidget(trailing);
  form->addRow(caption, line);
  QWidget::setTabOrder(edit, trailing);
  return edit;
}

QLineEdit* AddRateRow(QFormLayout* form, const QString& label, const QString& objectName,
                      const QString& baseCurrency, const QString& day) {
  if (baseCurrency.isEmpty()) {
    // No row at all, so that the page keeps the size it has always had; the field stays empty and hidden.
    auto* unused = new QLineEdit(form->parentWidget());
    unused->setObjectName(objectName);
    unused->hide();
    return unused;
  }
  QLineEdit* edit = AddEditRow(form, label.arg(baseCurrency), objectName);
  edit->setPlaceholderText(QStringLiteral("reference rate"));
  edit->setAccessibleDescription(
      QStringLiteral("The rate the broker charged: units of the position's currency per one %1; empty: the "
                     "reference rate of %2")
          .arg(baseCurrency, day));
  edit->setToolTip(edit->accessibleDescription());
  return edit;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const QString& objectName) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(objectName);
  button->setAccessibleName(PlainLabel(text));
  button->setAutoDefault(false);
  return button;
}

DatePickerRow AddDateRow(QFormLayout* form, const QString& label, const QString& objectName) {
  QWidget* parent = form->parentWidget();
  DatePickerRow row;
  row.check = new QCheckBox(label, parent);
  row.check->setObjectName(objectName + QStringLiteral("Check"));
  row.check->setAccessibleName(PlainLabel(label));
  row.date = new DatePicker(QDate::currentDate(), parent);
  row.date->setObjectName(objectName);
  row.date->setCalendarPopup(true);
  row.date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  // The dates a position keeps (calendar_date.h); a day after today is refused by the checks, with a message.
  row.date->setDateRange(ToQDate(kEarliestDate), ToQDate(kLatestDate));
  row.date->setAccessibleName(PlainLabel(label));
  row.date->setEnabled(false);
  auto* hint = new QLabel(QStringLiteral("(Check to select )"), parent);
  auto* line = new QHBoxLayout;
  line->addWidget(row.date);
  line->addWidget(hint);
  line->addStretch();
  form->addRow(row.check, line);
  QObject::connect(row.check, &QCheckBox::toggled, row.date, &QWidget::setEnabled);
  return row;
}

QDateEdit* AddDayRow(QFormLayout* form, const QString& label, const QString& objectName) {
  auto* date = new DatePicker(QDate::currentDate(), form->parentWidget());
  date->setObjectName(objectName);
  date->setCalendarPopup(true);
  date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  date->setDateRange(ToQDate(kEarliestDate), ToQDate(kLatestDate));
  date->setAccessibleName(PlainLabel(label));
  auto* caption = new QLabel(label, form->parentWidget());
  caption->setBuddy(date);
  form->addRow(caption, date);
  return date;
}

QDate ToQDate(const CalendarDate& date) {
  return QDate(date.year, date.month, date.day);
}

QDate StoredDateToQDate(int64_t storedDate) {
  return ToQDate(DateOfStoredDate(storedDate));
}

int64_t QDateToStoredDate(const QDate& date) {
  return StoredDateOf(CalendarDate{date.year(), date.month(), date.day()});
}

std::optional<int64_t> ReadDateRow(const DatePickerRow& row) {
  if (!row.check->isChecked()) return std::nullopt;
  return QDateToStoredDate(row.date->date());
}

void WriteDateRow(const DatePickerRow& row, int64_t storedDate) {
  row.check->setChecked(storedDate != 0);
  row.date->setEnabled(storedDate != 0);
  row.date->setDate(storedDate != 0 ? StoredDateToQDate(storedDate) : QDate::currentDate());
}

void FocusPageOnSwitch(QTabWidget* tabs) {
  QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [tabs] {
    QWidget* page = tabs->currentWidget();
    if (!page || tabs->tabBar()->hasFocus()) return;  // arrow keys on the focused tab bar keep it there
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !tabs->window()->isAncestorOf(focus) || page->isAncestorOf(focus)) return;
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
      if (!page->isAncestorOf(w)) continue;
      if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
        w->setFocus(Qt::TabFocusReason);
        return;
      }
    }
  });
}

QDialogButtonBox* AddOkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
  ok->setObjectName(QStringLiteral("1"));
  ok->setAccessibleName(QStringLiteral("OK"));
  ok->setDefault(true);
  cancel->setObjectName(QStringLiteral("2"));
  cancel->setAccessibleName(QStringLiteral("Cancel"));
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

void ShowCheckMessage(QWidget* parent, const EntryCheck& check, MessageIcon icon) {
  if (check.Ok() || check.alreadyShown) return;
  QStringList arguments;
  for (const std::string& argument : check.arguments) arguments << QString::fromStdString(argument);
  ShowMessage(parent, check.message, icon, MessageButtons::Ok, arguments);
}

void FocusEdit(QLineEdit* edit) {
  if (!edit) return;
  edit->selectAll();
  edit->setFocus(Qt::OtherFocusReason);
}

std::string ToStd(const QString& text) {
  return text.toStdString();
}

QString ToQt(const std::string& text) {
  return QString::fromStdString(text);
}

namespace {
// A plain decimal text with the user's decimal point, as the entry checks read it.
QString EntryDecimal(const std::string& plain) {
  QString text = ToQt(plain);
  text.replace(QLatin1Char('.'), ToQt(GetNumberFormat().decimalPoint));
  return text;
}
}  // namespace

QString CentsText(int64_t cents, bool emptyForZero) {
  if (cents == 0 && emptyForZero) return {};
  return EntryDecimal(DecimalUnitsText(cents, 2, 2));
}

QString QuantityText(Quantity quantity, bool emptyForZero) {
  if (quantity.IsZero() && emptyForZero) return {};
  return EntryDecimal(DecimalText(quantity));
}

QString PriceEntryText(UnitPrice price, bool emptyForZero) {
  if (price.IsZero() && emptyForZero) return {};
  return EntryDecimal(PriceText(price));
}
