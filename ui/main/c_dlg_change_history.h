#pragma once
#include <QColor>
#include <QDialog>
#include <QTimer>
#include <cstdint>

class QLabel;
class QPalette;
class QPushButton;
class QTreeWidget;
class VLDatabase;
class VLDatabaseConn;

// The change history: the change journal's entries, newest first, undone changes grey (and said to be
// undone), with Undo and Redo buttons that run the main window's commands. Modeless; it follows the journal
// as it changes, whichever program changed it (it asks twice a second whether the journal was written).
class CDlgChangeHistory : public QDialog {
  Q_OBJECT

 public:
  // `conn` is the main window's connection, which outlives this window (its child).
  CDlgChangeHistory(VLDatabase& database, VLDatabaseConn* conn, QWidget* parent);

  // Lists the journal again when it was written since (or always, with `force`).
  void Reload(bool force = false);
  QTreeWidget* List() const { return list; }
  // The text colour of an undone change.
  static QColor UndoneColour(const QPalette& palette);

 signals:
  void UndoRequested();
  void RedoRequested();

 private:
  VLDatabase& database;
  VLDatabaseConn* conn;
  QTreeWidget* list = nullptr;
  QLabel* note = nullptr;
  QPushButton* undoButton = nullptr;
  QPushButton* redoButton = nullptr;
  QTimer timer;
  uint64_t shownRevision = 0;
  bool shown = false;
};
