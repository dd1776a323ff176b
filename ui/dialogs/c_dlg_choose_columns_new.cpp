#include "ui/dialogs/c_dlg_choose_columns_new.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "portfolio/columns/column_catalog.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"

namespace {
constexpr int kColumnRole = Qt::UserRole;  // a tree node or list row's column id; none on a category
}  // namespace

CDlgChooseColumnsNew::CDlgChooseColumnsNew(bool heldView, const std::vector<int>& columns, QWidget* parent)
    : QDialog(parent), heldView(heldView), columns(columns) {
  setObjectName(QStringLiteral("1603"));
  setWindowTitle(QStringLiteral("Choose Columns"));
  auto* grid = new QGridLayout(this);

  auto* treeLabel = new QLabel(QStringLiteral("All &columns:"), this);
  tree = new QTreeWidget(this);
  tree->setObjectName(QStringLiteral("allColumns"));
  tree->setAccessibleName(QStringLiteral("All columns"));
  tree->setHeaderHidden(true);
  treeLabel->setBuddy(tree);
  FillColumnTree();

  auto* buttons = new QVBoxLayout;
  QPushButton* add = MakeButton(this, QStringLiteral("&Add  >"), QStringLiteral("add"));
  QPushButton* remove = MakeButton(this, QStringLiteral("Re&move"), QStringLiteral("remove"));
  QPushButton* up = MakeButton(this, QStringLiteral("&Up"), QStringLiteral("up"));
  QPushButton* down = MakeButton(this, QStringLiteral("&Down"), QStringLiteral("down"));
  QPushButton* reset = MakeButton(this, QStringLiteral("&Reset"), QStringLiteral("reset"));
  add->setAccessibleName(QStringLiteral("Add"));
  buttons->addStretch();
  for (QPushButton* button : {add, remove, up, down}) buttons->addWidget(button);
  buttons->addSpacing(fontMetrics().height());
  buttons->addWidget(reset);
  buttons->addStretch();

  auto* selectedLabel =
      new QLabel(LoadString(heldView ? StringId::SelectedColumnsHeld : StringId::SelectedColumnsSold), this);
  selected = new QListWidget(this);
  selected->setObjectName(QStringLiteral("selectedColumns"));
  selected->setAccessibleName(PlainLabel(selectedLabel->text()));
  selected->setMinimumWidth(fontMetrics().averageCharWidth() * 26);
  selectedLabel->setBuddy(selected);
  for (int id : columns) AddRow(id, selected->count());
  selected->setCurrentRow(-1);

  description = new QLabel(this);
  description->setObjectName(QStringLiteral("description"));
  description->setWordWrap(true);
  description->setMinimumHeight(fontMetrics().height() * 2);
  QDialogButtonBox* box = AddOkCancel(this);

  grid->addWidget(treeLabel, 0, 0);
  grid->addWidget(selectedLabel, 0, 2);
  grid->addWidget(tree, 1, 0);
  grid->addLayout(buttons, 1, 1);
  grid->addWidget(selected, 1, 2);
  grid->addWidget(description, 2, 0, 1, 3);
  grid->addWidget(box, 3, 0, 1, 3);
  setTabOrder(tree, add);
  setTabOrder(add, remove);
  setTabOrder(remove, up);
  setTabOrder(up, down);
  setTabOrder(down, reset);
  setTabOrder(reset, selected);

  connect(add, &QPushButton::clicked, this, &CDlgChooseColumnsNew::OnAdd);
  connect(tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (item->data(0, kColumnRole).isValid()) OnAdd();
  });
  connect(remove, &QPushButton::clicked, this, &CDlgChooseColumnsNew::OnRemove);
  connect(up, &QPushButton::clicked, this, [this] { OnMove(-1); });
  connect(down, &QPushButton::clicked, this, [this] { OnMove(1); });
  connect(reset, &QPushButton::clicked, this, &CDlgChooseColumnsNew::OnReset);
  connect(box, &QDialogButtonBox::accepted, this, &CDlgChooseColumnsNew::OnOk);
  connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    ShowDescription(item && item->data(0, kColumnRole).isValid() ? item->data(0, kColumnRole).toInt() : -1);
  });
  connect(selected, &QListWidget::currentItemChanged, this,
          [this](QListWidgetItem* item) { ShowDescription(item ? item->data(kColumnRole).toInt() : -1); });
  tree->setFocus();
}

void CDlgChooseColumnsNew::FillColumnTree() {
  // Wide enough for its longest name at its depth with the scroll bar showing, so nothing is cut short.
  int widest = fontMetrics().averageCharWidth() * 30;
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
  auto need = [&](const QString& text, int depth) {
    return tree->indentation() * depth + fontMetrics().horizontalAdvance(text) + 2 * tree->frameWidth() +
           scrollBar + fontMetrics().averageCharWidth() * 2;
  };
  for (int category = 0; category < kCategoryCount; ++category) {
    const QString name = QString::fromStdString(GetCategoryName(category));
    auto* node = new QTreeWidgetItem(tree, {name});
    widest = std::max(widest, need(name, 1));
    std::vector<int> ids;
    FillCategory(category, ids);
    for (int id : ids) {
      const QString header = QString::fromStdString(GetColumnHeader(id));
      auto* leaf = new QTreeWidgetItem(node, {header});
      leaf->setData(0, kColumnRole, id);
      widest = std::max(widest, need(header, 2));
    }
  }
  tree->setMinimumSize(widest, fontMetrics().height() * 18);
}

void CDlgChooseColumnsNew::AddRow(int column, int at) {
  auto* row = new QListWidgetItem(QString::fromStdString(GetColumnHeader(column)));
  row->setData(kColumnRole, column);
  selected->insertItem(at, row);
}

void CDlgChooseColumnsNew::ShowDescription(int column) {
  description->setText(column >= 0 ? QString::fromStdString(GetColumnDescription(column)) : QString());
}

void CDlgChooseColumnsNew::OnAdd() {
  const QTreeWidgetItem* node = tree->currentItem();
  if (!node || !node->data(0, kColumnRole).isValid()) {
    ShowMessage(this, StringId::SelectColumnToAdd, MessageIcon::Information);
    tree->setFocus();
    return;
  }
  const int column = node->data(0, kColumnRole).toInt();
  for (int r = 0; r < selected->count(); ++r) {
    if (selected->item(r)->data(kColumnRole).toInt() != column) continue;
    if (ShowMessage(this, StringId::ColumnAlreadySelected, MessageIcon::Question,
                    MessageButtons::YesNoDefaultNo,
                    {QString::fromStdString(GetColumnHeader(column))}) != MessageAnswer::Yes) {
      return;
    }
    break;
  }
  const int at = selected->currentRow() >= 0 ? selected->currentRow() + 1 : selected->count();
  AddRow(column, at);
  selected->setCurrentRow(at);
  selected->scrollToItem(selected->item(at));
  selected->setFocus();
}

void CDlgChooseColumnsNew::OnRemove() {
  const int row = selected->currentRow();
  if (row < 0) return;
  delete selected->takeItem(row);
  if (selected->count() > 0) selected->setCurrentRow(std::min(row, selected->count() - 1));
}

void CDlgChooseColumnsNew::OnMove(int step) {
  const int row = selected->currentRow();
  const int target = row + step;
  if (row < 0 || target < 0 || target >= selected->count()) return;  // nothing moves past either end
  QListWidgetItem* item = selected->takeItem(row);
  selected->insertItem(target, item);
  selected->setCurrentRow(target);
}

void CDlgChooseColumnsNew::OnReset() {
  const StringId question = heldView ? StringId::ResetHeldColumnsConfirm : StringId::ResetSoldColumnsConfirm;
  if (ShowMessage(this, question, MessageIcon::Question, MessageButtons::YesNoDefaultNo) !=
      MessageAnswer::Yes)
    return;
  selected->clear();
  for (int id : heldView ? GetDefaultHeldColumns() : GetDefaultSoldColumns()) AddRow(id, selected->count());
}

void CDlgChooseColumnsNew::OnOk() {
  if (selected->count() == 0) {
    ShowMessage(this, StringId::NoColumnsSelected);
    selected->setFocus();
    return;
  }
  columns.clear();
  for (int r = 0; r < selected->count(); ++r) columns.push_back(selected->item(r)->data(kColumnRole).toInt());
  accept();
}
