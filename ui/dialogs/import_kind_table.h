#pragma once
#include <QComboBox>
#include <QTableWidget>
#include <string>
#include <vector>

#include "portfolio/exchange/transaction_kinds.h"

// The values of a file's kind column, each with the transaction it stands for ("Market buy": buy), for the
// user to set; a value left without a kind is skipped and listed. Says `kindChosen` when the user changes
// one.
class ImportKindTable : public QTableWidget {
  Q_OBJECT

 public:
  explicit ImportKindTable(QWidget* parent = nullptr);

  // The file's values, each showing what `kinds` (or its own name, "buy") makes of it. The rows are made
  // again only when the values differ, so that the control in use keeps the focus.
  void Show(const std::vector<std::string>& values, const TransactionKindMap& kinds);
  // The combo box of a value's row; null when no row shows it.
  QComboBox* KindOf(const std::string& value) const;

 signals:
  // `kindIndex` into TransactionKinds(); -1 when the user chose to leave the value without a kind.
  void kindChosen(const QString& value, int kindIndex);

 private:
  std::vector<std::string> shown;
};
