#pragma once
#include <QDate>
#include <QString>
#include <optional>
#include <string>

#include "portfolio/checks/entry_check.h"
#include "portfolio/records/exact_decimal.h"
#include "ui/widgets/message_box.h"

class QCheckBox;
class QDateEdit;
class QDialog;
class QDialogButtonBox;
class QFormLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

// Small helpers the entry dialogs share: labelled edits with accessible names, the date picker with its
// check box, OK/Cancel, and turning a failed check into a message and a focused field.

// The label text without its mnemonic marker, as a screen reader should say it.
QString PlainLabel(const QString& label);

// Adds "label  [edit]" to `form`, with `trailing` (a button) after the edit when given; the label is the
// edit's buddy and accessible name.
QLineEdit* AddEditRow(QFormLayout* form, const QString& label, const QString& objectName,
                      QWidget* trailing = nullptr);
// An exchange rate row: `label` with "%1" for the base currency, whose empty value means the reference rate
// of `day` ("the buy date"). Without a base currency the field is made hidden and no row is added.
QLineEdit* AddRateRow(QFormLayout* form, const QString& label, const QString& objectName,
                      const QString& baseCurrency, const QString& day);
// A push button that never acts as the dialog's default, named after its text for screen readers.
class QPushButton;
QPushButton* MakeButton(QWidget* parent, const QString& text, const QString& objectName);

// A check box with a date picker beside it and the hint "(Check to select )"; the picker is enabled only
// while the box is ticked. Both go into `form` as one row.
struct DatePickerRow {
  QCheckBox* check = nullptr;
  QDateEdit* date = nullptr;
};
DatePickerRow AddDateRow(QFormLayout* form, const QString& label, const QString& objectName);
// A date picker that always holds a day (today to start with), labelled, as one row of `form`.
QDateEdit* AddDayRow(QFormLayout* form, const QString& label, const QString& objectName);
// The picked day in its stored form (portfolio/records/calendar_date.h) when ticked, else nothing.
std::optional<int64_t> ReadDateRow(const DatePickerRow& row);
// Ticks the row and shows the day of `storedDate`, or unticks it (today's date shown greyed) for 0.
void WriteDateRow(const DatePickerRow& row, int64_t storedDate);
// A calendar day and the stored form of a purchase or sale date, to and from the pickers' dates; the same
// day in every time zone.
struct CalendarDate;
QDate ToQDate(const CalendarDate& date);
QDate StoredDateToQDate(int64_t storedDate);
int64_t QDateToStoredDate(const QDate& date);

// When a click (or the program) switches `tabs` while the focus is outside the new page, the page's first
// control gets the focus, so that typing goes where the user looks. Arrow keys on the focused tab bar
// leave the focus on the bar.
class QTabWidget;
void FocusPageOnSwitch(QTabWidget* tabs);

// OK and Cancel wired to accept() through `onOk` and reject(); OK is the default button (Enter).
QDialogButtonBox* AddOkCancel(QDialog* dialog);

// Shows the failed check's message, unless it was a question already answered.
void ShowCheckMessage(QWidget* parent, const EntryCheck& check, MessageIcon icon = MessageIcon::None);
// Selects the edit's whole text and gives it the focus.
void FocusEdit(QLineEdit* edit);

std::string ToStd(const QString& text);
QString ToQt(const std::string& text);
// Cents as "12.50" (with the user's decimal point); empty for 0 when `emptyForZero`.
QString CentsText(int64_t cents, bool emptyForZero = false);
// Shares with the decimals they have ("12", "1.6531"), and a price per share with 2 to 6 decimals, as the
// dialogs' fields show them; empty for 0 when `emptyForZero`.
QString QuantityText(Quantity quantity, bool emptyForZero = false);
QString PriceEntryText(UnitPrice price, bool emptyForZero = false);
