#pragma once
#include <QDialog>

class QLineEdit;

// Asks for the symbol that replaces the current one of a position being edited.
class CDlgChangeSymbol : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgChangeSymbol(const QString& currentSymbol, QWidget* parent = nullptr);
  // The text typed, after OK.
  QString NewSymbol() const { return result; }

 private:
  void OnOk();

  QLineEdit* newSymbol = nullptr;
  QString result;
};
