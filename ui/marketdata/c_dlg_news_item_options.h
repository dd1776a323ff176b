#pragma once
#include <QDialog>

class QLineEdit;

// Edits the two limits of a news update: how many days back and how many headlines per symbol. OK keeps
// the dialog open with a message while a value lies outside its range.
class CDlgNewsItemOptions : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxDays = 1000;
  static constexpr int kMaxItems = 5000;

  CDlgNewsItemOptions(int days, int items, QWidget* parent = nullptr);

  int Days() const { return days; }
  int Items() const { return items; }

 public slots:
  void accept() override;

 private:
  int days;
  int items;
  QLineEdit* daysEdit = nullptr;
  QLineEdit* itemsEdit = nullptr;
};
