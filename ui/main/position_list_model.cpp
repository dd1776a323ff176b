#include "ui/main/position_list_model.h"

#include <QPainter>
#include <QPixmap>
#include <array>

#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/holding_sort.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"

namespace {

int RowIconOf(const VLHoldingItem& holding, const std::string& changeText) {
  if (holding.GetKind() != kHoldingStock || changeText.empty()) return PositionListModel::kIconNone;
  if (changeText.front() == '+') return PositionListModel::kIconUp;
  if (changeText.front() == '-') return PositionListModel::kIconDown;
  return PositionListModel::kIconNone;
}

Qt::Alignment AlignmentOf(int column) {
  switch (GetColumnAlignment(column)) {
    case kAlignRight:
      return Qt::AlignRight | Qt::AlignVCenter;
    case kAlignCentre:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

QPixmap DrawRowIcon(int kind) {
  QPixmap pixmap(20, 16);
  pixmap.fill(Qt::transparent);
  if (kind == PositionListModel::kIconNone) return pixmap;
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const bool up = kind == PositionListModel::kIconUp;
  painter.setBrush(up ? QColor(0, 150, 0) : QColor(210, 0, 0));
  const std::array<QPointF, 3> points =
      up ? std::array<QPointF, 3>{QPointF(4, 12), QPointF(16, 12), QPointF(10, 4)}
         : std::array<QPointF, 3>{QPointF(4, 4), QPointF(16, 4), QPointF(10, 12)};
  painter.drawPolygon(points.data(), 3);
  return pixmap;
}

}  // namespace

PositionListModel::PositionListModel(QObject* parent) : QAbstractTableModel(parent) {}

PositionListModel::~PositionListModel() = default;

QIcon PositionListModel::IconFor(int rowIcon) {
  static const std::array<QIcon, 3> icons = {QIcon(DrawRowIcon(kIconNone)), QIcon(DrawRowIcon(kIconUp)),
                                             QIcon(DrawRowIcon(kIconDown))};
  return icons[static_cast<size_t>(rowIcon >= 0 && rowIcon < 3 ? rowIcon : 0)];
}

void PositionListModel::SetColumns(const std::vector<int>& newColumns) {
  beginResetModel();
  columns = newColumns;
  headers.clear();
  for (int column : columns) headers.push_back(QString::fromStdString(GetColumnHeader(column)));
  rows.clear();
  positions.clear();
  sortIndex = -1;
  endResetModel();
}

void PositionListModel::Clear() {
  beginResetModel();
  rows.clear();
  positions.clear();
  endResetModel();
}

void PositionListModel::Refill(VLHoldingItemList& newPositions, const std::vector<int>& newColumns,
                               int sortColumn, bool ascending) {
  const bool sortable = IsSortableColumn(sortColumn);
  if (sortable) SortHoldings(newPositions, sortColumn, ascending);

  beginResetModel();
  columns = newColumns;
  headers.clear();
  sortIndex = -1;
  for (size_t i = 0; i < columns.size(); ++i) {
    std::string header = GetColumnHeader(columns[i]);
    if (sortable && columns[i] == sortColumn) {
      header += SortMarkSuffix(ascending);
      sortIndex = static_cast<int>(i);
    }
    headers.push_back(QString::fromStdString(header));
  }
  positions = newPositions.ReleaseAll();
  rows.clear();
  rows.resize(positions.size());
  for (size_t i = 0; i < positions.size(); ++i) {
    rows[i].holding = static_cast<const VLHoldingItem*>(positions[i].get());
    rows[i].id = positions[i]->id;
  }
  if (rows.size() <= static_cast<size_t>(kFormatAllRows)) {
    for (size_t i = 0; i < rows.size(); ++i) Formatted(static_cast<int>(i));
  }
  endResetModel();
}

const PositionListModel::Row& PositionListModel::Formatted(int index) const {
  Row& row = rows[static_cast<size_t>(index)];
  if (row.formatted) return row;
  row.formatted = true;
  row.cells.reserve(columns.size());
  row.colours.reserve(columns.size());
  std::string text;
  for (int column : columns) {
    row.holding->GetColumnText(column, text);
    row.cells.push_back(QString::fromStdString(text));
    row.colours.push_back(GetCellTextColour(column, text));
  }
  row.holding->GetColumnText(kColChange, text);
  row.icon = RowIconOf(*row.holding, text);
  return row;
}

bool PositionListModel::IsRowFormatted(int row) const {
  return row >= 0 && row < static_cast<int>(rows.size()) && rows[static_cast<size_t>(row)].formatted;
}

void PositionListModel::SetColours(bool alternate, QColor alternateColour, QColor sortedColour) {
  alternateRows = alternate;
  alternateRowColour = alternateColour;
  sortedColumnColour = sortedColour;
  if (!rows.empty())
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
}

uint32_t PositionListModel::ItemIdAt(int row) const {
  return row >= 0 && row < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(row)].id : 0;
}

const QString& PositionListModel::CellText(int row, int column) const {
  static const QString empty;
  if (row < 0 || row >= static_cast<int>(rows.size())) return empty;
  const std::vector<QString>& cells = Formatted(row).cells;
  return column >= 0 && column < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(column)] : empty;
}

int PositionListModel::RowOfItem(uint32_t id) const {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

int PositionListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int PositionListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns.size()) + 1;  // the empty last column
}

QVariant PositionListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const int column = index.column();
  const bool extra = column >= static_cast<int>(columns.size());
  // What does not depend on the row's texts, first: those are only computed for what is shown.
  switch (role) {
    case ItemIdRole:
      return rows[static_cast<size_t>(index.row())].id;
    case Qt::BackgroundRole:
      if (column == sortIndex) return sortedColumnColour;
      if (alternateRows && index.row() % 2 == 0) return alternateRowColour;
      return {};
    case Qt::TextAlignmentRole:
      return extra ? QVariant() : QVariant::fromValue(AlignmentOf(columns[static_cast<size_t>(column)]));
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ForegroundRole:
    case Qt::DecorationRole:
    case RowIconRole:
      break;
    default:
      return {};
  }
  const Row& row = Formatted(index.row());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return extra ? QString() : row.cells[static_cast<size_t>(column)];
    case Qt::ForegroundRole: {
      if (extra) return {};
      const CellTextColour colour = row.colours[static_cast<size_t>(column)];
      if (colour == CellTextColour::Default) return {};
      return QColor::fromRgb(CellTextRgb(colour));
    }
    case Qt::DecorationRole:
      return column == 0 ? QVariant(IconFor(row.icon)) : QVariant();
    default:  // RowIconRole
      return row.icon;
  }
}

QVariant PositionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  const bool extra = section >= static_cast<int>(columns.size());
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    return extra ? QString() : headers[static_cast<size_t>(section)];
  }
  if (role == Qt::TextAlignmentRole && !extra) {
    return QVariant::fromValue(AlignmentOf(columns[static_cast<size_t>(section)]));
  }
  return {};
}
