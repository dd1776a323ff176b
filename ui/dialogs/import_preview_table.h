#pragma once
#include <QTableWidget>
#include <map>
#include <string>

#include "portfolio/exchange/import_problem.h"

struct ImportPreview;

// The first rows of a file as the import reads them, one column per field and the file's line first. A
// cell whose field fails its check is marked (colour and a sign) and carries the problem as its tool tip
// and in what a screen reader says of it.
class ImportPreviewTable : public QTableWidget {
  Q_OBJECT

 public:
  explicit ImportPreviewTable(QWidget* parent = nullptr);
  // `fileColumns`: the file's own name of the column each field is read from, shown beside the field's
  // ("Symbol (Ticker)") where it differs.
  void Show(const ImportPreview& preview, const std::map<ImportField, std::string>& fileColumns = {});
};
