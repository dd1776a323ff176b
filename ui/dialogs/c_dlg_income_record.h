#pragma once
#include <QDialog>
#include <memory>

#include "portfolio/records/vl_income_item.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
struct DatePickerRow;

// Asks for one payment of income, new or to change: symbol, kind, pay date, ex-date (optional), shares
// entitled, gross, withholding, fees, currency and comment. OK checks it as every program does.
class CDlgIncomeRecord : public QDialog {
  Q_OBJECT

 public:
  // `start` fills the fields (a new record: its symbol at most); `editing` titles the dialog for a change.
  CDlgIncomeRecord(const VLIncomeItem& start, bool editing, QWidget* parent = nullptr);
  ~CDlgIncomeRecord() override;
  // The record as entered and checked, after OK (its id and portfolio those of `start`).
  const VLIncomeItem& Result() const { return result; }

  QLineEdit* Symbol() const { return symbol; }
  QLineEdit* Gross() const { return gross; }
  QLineEdit* Withholding() const { return withholding; }
  QDateEdit* PayDate() const { return payDate; }

 private:
  void OnOk();

  QLineEdit* symbol = nullptr;
  QComboBox* kind = nullptr;
  QDateEdit* payDate = nullptr;
  std::unique_ptr<DatePickerRow> exDate;
  QLineEdit* shares = nullptr;
  QLineEdit* gross = nullptr;
  QLineEdit* withholding = nullptr;
  QLineEdit* fees = nullptr;
  QLineEdit* currency = nullptr;
  QLineEdit* comment = nullptr;
  VLIncomeItem result;
};
