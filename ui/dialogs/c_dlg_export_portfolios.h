#pragma once
#include <QDialog>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class VLDatabase;
class VLDatabaseConn;
class VLGeneralPrefs;

// "Export Portfolios": the whole database or the portfolios ticked in the list, with or without cash
// positions, margin debts and index positions, to a Vellumar CSV or XML file. OK writes the file (replacing
// it whole) and says what went into it; a file that cannot be written is said with the reason and the
// dialog stays open. The choices are remembered in the preferences ("ExportDir", "ExportDatabase",
// "ImportExportCash", "ImportExportMargin", "ImportExportIndex").
class CDlgExportPortfolios : public QDialog {
  Q_OBJECT

 public:
  // `current` is ticked in the list (0: none).
  CDlgExportPortfolios(VLDatabase& database, VLDatabaseConn* conn, VLGeneralPrefs& prefs, uint32_t current,
                       QWidget* parent = nullptr);

  QRadioButton* WholeDatabase() const { return whole; }
  QRadioButton* ChosenPortfolios() const { return chosen; }
  QListWidget* Portfolios() const { return list; }
  QCheckBox* Cash() const { return cash; }
  QCheckBox* Margin() const { return margin; }
  QCheckBox* Indexes() const { return indexes; }
  QComboBox* Format() const { return format; }
  QLineEdit* File() const { return file; }

 private:
  void OnBrowse();
  void OnFormatChanged();
  void OnOk();
  void UpdateState();

  VLDatabase& database;
  VLDatabaseConn* conn;
  VLGeneralPrefs& prefs;
  QRadioButton* whole = nullptr;
  QRadioButton* chosen = nullptr;
  QListWidget* list = nullptr;
  QCheckBox* cash = nullptr;
  QCheckBox* margin = nullptr;
  QCheckBox* indexes = nullptr;
  QComboBox* format = nullptr;
  QLineEdit* file = nullptr;
  QPushButton* browse = nullptr;
};
