#include "ui/dialogs/import_preview_table.h"

#include <QHeaderView>

#include "framework/text_util.h"
#include "portfolio/exchange/import_fields.h"
#include "portfolio/exchange/import_reading.h"
#include "ui/widgets/string_table.h"

namespace {

// A cell's text on one line: line breaks of a comment would make the row as tall as the comment.
QString OneLine(const std::string& text) {
  QString line = QString::fromStdString(text);
  line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return line.replace(QLatin1Char('\r'), QLatin1Char(' '));
}

}  // namespace

ImportPreviewTable::ImportPreviewTable(QWidget* parent) : QTableWidget(parent) {
  setObjectName(QStringLiteral("importPreview"));
  setAccessibleName(QStringLiteral("Preview of the first rows"));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setTabKeyNavigation(false);
  verticalHeader()->setVisible(false);
  horizontalHeader()->setStretchLastSection(true);
  setWordWrap(false);
}

void ImportPreviewTable::Show(const ImportPreview& preview,
                              const std::map<ImportField, std::string>& fileColumns) {
  clear();
  setColumnCount(static_cast<int>(preview.fields.size()) + 1);
  setRowCount(static_cast<int>(preview.rows.size()));
  QStringList labels{QStringLiteral("Line")};
  for (ImportField field : preview.fields) {
    QString label = QString::fromLatin1(ImportFieldInfoOf(field).header);
    const auto column = fileColumns.find(field);
    if (column != fileColumns.end() && !EqualNoCase(column->second, ImportFieldInfoOf(field).header))
      label += QStringLiteral(" (") + QString::fromStdString(column->second) + QLatin1Char(')');
    labels << label;
  }
  setHorizontalHeaderLabels(labels);
  const QColor problemBack(255, 220, 220);
  const QColor problemText(150, 0, 0);
  for (int r = 0; r < rowCount(); ++r) {
    const ImportPreview::Row& row = preview.rows[static_cast<size_t>(r)];
    auto* line = new QTableWidgetItem(QString::number(row.line));
    line->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setItem(r, 0, line);
    for (size_t c = 0; c < row.cells.size(); ++c) {
      const PreviewCell& cell = row.cells[c];
      const QString text = OneLine(cell.text);
      auto* item = new QTableWidgetItem(text);
      if (!cell.problem.empty()) {
        const QString problem = QString::fromStdString(cell.problem);
        item->setText(QStringLiteral("\u26A0 ") + text);
        item->setBackground(problemBack);
        item->setForeground(problemText);
        item->setToolTip(problem);
        item->setData(Qt::AccessibleTextRole, FormatString(StringId::PreviewCellProblem, {text, problem}));
      }
      setItem(r, static_cast<int>(c) + 1, item);
    }
  }
  resizeColumnsToContents();
}
