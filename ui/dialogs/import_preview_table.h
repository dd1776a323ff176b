#pragma once
#include <QTableWidget>

struct ImportPreview;

// The first rows of a file as the import reads them, one column per field and the file's line first. A
// cell whose field fails its check is marked (colour and a sign) and carries the problem as its tool tip
// and in what a screen reader says of it.
class ImportPreviewTable : public QTableWidget {
  Q_OBJECT

 public:
  explicit ImportPreviewTable(QWidget* parent = nullptr);
  void Show(const ImportPreview& preview);
};
