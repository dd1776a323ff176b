#pragma once
#include <QDialog>
#include <QTimer>

#include "portfolio/checks/corporate_action_checks.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QTreeWidget;
class VLDatabase;
class VLDatabaseConn;

// Asks for a split (the symbol, the ratio of new to old shares, the ex-date, a cash-in-lieu price for
// fractions and a comment) and shows, as it is typed, every position it would change or why one cannot
// take it. OK records it as one change.
class CDlgRecordSplit : public QDialog {
  Q_OBJECT

 public:
  // `symbol`: the selected position's, to start with. `conn` outlives the dialog.
  CDlgRecordSplit(VLDatabase& database, VLDatabaseConn* conn, const QString& symbol,
                  QWidget* parent = nullptr);

  QTreeWidget* Preview() const { return preview; }
  QLabel* PreviewNote() const { return note; }
  // Shows the preview of what is typed now (the dialog does so shortly after each edit).
  void RefreshPreview();

 private:
  void OnOk();
  bool ReadEntry(SplitRequest& request, EntryCheck& check) const;

  VLDatabase& database;
  VLDatabaseConn* conn;
  QLineEdit* symbol = nullptr;
  QLineEdit* ratio = nullptr;
  QDateEdit* date = nullptr;
  QLineEdit* cashInLieu = nullptr;
  QLineEdit* comment = nullptr;
  QLabel* note = nullptr;
  QTreeWidget* preview = nullptr;
  QTimer previewTimer;
};
