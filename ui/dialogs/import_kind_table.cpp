#include "ui/dialogs/import_kind_table.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>

namespace {

// The combo box's entries: none first, then each kind in the order of TransactionKinds().
int EntryOf(const std::string& value, const TransactionKindMap& kinds) {
  std::optional<TransactionKind> kind = kinds.Find(value);
  if (!kind) kind = TransactionKindByName(value);
  if (!kind) return 0;
  const std::vector<TransactionKind>& all = TransactionKinds();
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i] == *kind) return static_cast<int>(i) + 1;
  }
  return 0;
}

}  // namespace

ImportKindTable::ImportKindTable(QWidget* parent) : QTableWidget(parent) {
  setObjectName(QStringLiteral("importKinds"));
  setAccessibleName(QStringLiteral("Kinds of the file's transactions"));
  setColumnCount(2);
  setHorizontalHeaderLabels({QStringLiteral("Value in the file"), QStringLiteral("Imported as")});
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  verticalHeader()->setVisible(false);
  horizontalHeader()->setStretchLastSection(true);
  setMinimumHeight(90);
}

void ImportKindTable::Show(const std::vector<std::string>& values, const TransactionKindMap& kinds) {
  if (values != shown) {
    shown = values;
    clearContents();
    setRowCount(static_cast<int>(values.size()));
    for (int r = 0; r < rowCount(); ++r) {
      const QString value = QString::fromStdString(values[static_cast<size_t>(r)]);
      setItem(r, 0, new QTableWidgetItem(value.isEmpty() ? QStringLiteral("(empty)") : value));
      auto* combo = new QComboBox(this);
      combo->setObjectName(QStringLiteral("importKind_%1").arg(r));
      combo->setAccessibleName(QStringLiteral("Imported as, for ") +
                               (value.isEmpty() ? QStringLiteral("empty") : value));
      combo->addItem(QStringLiteral("(skipped: no kind)"));
      for (TransactionKind kind : TransactionKinds())
        combo->addItem(QString::fromLatin1(TransactionKindName(kind)));
      connect(combo, qOverload<int>(&QComboBox::activated), this,
              [this, value](int index) { emit kindChosen(value, index - 1); });
      setCellWidget(r, 1, combo);
    }
    resizeColumnToContents(0);
  }
  for (int r = 0; r < rowCount(); ++r) {
    auto* combo = static_cast<QComboBox*>(cellWidget(r, 1));
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(EntryOf(shown[static_cast<size_t>(r)], kinds));
  }
}

QComboBox* ImportKindTable::KindOf(const std::string& value) const {
  for (size_t r = 0; r < shown.size(); ++r) {
    if (shown[r] == value) return static_cast<QComboBox*>(cellWidget(static_cast<int>(r), 1));
  }
  return nullptr;
}
