#pragma once
#include <QDialog>
#include <vector>

class QLabel;
class QListWidget;
class QTreeWidget;

// Edits the ordered column list of the held or the sold view: the catalogue's columns by category on
// the left, the chosen ones in display order on the right. After OK, Columns() is the new list.
class CDlgChooseColumnsNew : public QDialog {
  Q_OBJECT

 public:
  CDlgChooseColumnsNew(bool heldView, const std::vector<int>& columns, QWidget* parent = nullptr);

  const std::vector<int>& Columns() const { return columns; }
  QTreeWidget* Tree() const { return tree; }
  QListWidget* Selected() const { return selected; }
  QLabel* Description() const { return description; }

 private:
  // Every column under its category, the tree wide enough for the longest name at its depth.
  void FillColumnTree();
  void AddRow(int column, int at);
  void OnAdd();
  void OnRemove();
  void OnMove(int step);
  void OnReset();
  void OnOk();
  void ShowDescription(int column);

  bool heldView;
  std::vector<int> columns;
  QTreeWidget* tree = nullptr;
  QListWidget* selected = nullptr;
  QLabel* description = nullptr;
};
