#pragma once
#include <QGroupBox>
#include <QLabel>
#include <map>
#include <string>
#include <vector>

#include "portfolio/exchange/csv_mapping.h"
#include "ui/dialogs/import_kind_table.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
class ImportProfiles;

// The mapping of the "Import Portfolios" dialog for a CSV file that is not Vellumar's: the column of each
// field, the delimiter, decimal comma, date format, encoding and rows to skip, and the saved profiles (pick
// one to use it; type a name and save the mapping under it). Says `changed` whenever the mapping does.
class ImportMappingPanel : public QGroupBox {
  Q_OBJECT

 public:
  ImportMappingPanel(ImportProfiles& profiles, QWidget* parent = nullptr);

  CsvMapping Mapping() const;
  void SetMapping(const CsvMapping& mapping);
  // The file's columns (its header, or "#1", "#2"... without one) and the column each field was read from.
  void SetColumns(const std::vector<std::string>& header, const std::map<ImportField, int>& used);

  // The values of the file's kind column, for the user to say what each is (the table shows while there are
  // any).
  void SetKindValues(const std::vector<std::string>& values);
  // A file was chosen, of which `head` is the beginning: the mapping starts afresh, from the first profile
  // (the user's, then the shipped ones) whose columns the file has, else with the delimiter and decimal
  // comma the file shows.
  void StartFile(const std::string& head);

  QComboBox* FieldColumn(ImportField field) const;
  ImportKindTable* KindTable() const { return kindTable; }
  QCheckBox* HeaderRow() const { return headerRow; }
  QComboBox* Delimiter() const { return delimiter; }
  QCheckBox* DecimalComma() const { return decimalComma; }
  QComboBox* DateFormat() const { return dateFormat; }
  QComboBox* Encoding() const { return encoding; }
  QSpinBox* SkipRows() const { return skipRows; }
  QComboBox* Profile() const { return profile; }
  QLineEdit* ProfileName() const { return profileName; }
  QPushButton* SaveProfile() const { return saveProfile; }

 signals:
  void changed();

 private:
  // The parts of the panel, top to bottom: a column choice per field, the kinds' table, how the file is
  // written, the profiles; then what each choice sets off.
  void BuildColumns(QVBoxLayout* layout);
  void BuildKinds(QVBoxLayout* layout);
  void BuildFileForm(QVBoxLayout* layout);
  void BuildProfiles(QVBoxLayout* layout);
  void ConnectChoices();
  void OnProfileChosen();
  void OnSaveProfile();
  void FillProfiles(const QString& select);

  ImportProfiles& profiles;
  std::map<ImportField, QComboBox*> columns;
  QCheckBox* headerRow = nullptr;
  QComboBox* delimiter = nullptr;
  QCheckBox* decimalComma = nullptr;
  QComboBox* dateFormat = nullptr;
  QComboBox* encoding = nullptr;
  QSpinBox* skipRows = nullptr;
  QComboBox* profile = nullptr;
  QLineEdit* profileName = nullptr;
  QPushButton* saveProfile = nullptr;
  QLabel* kindLabel = nullptr;
  ImportKindTable* kindTable = nullptr;
  bool filling = false;  // controls set by the program say nothing
  // What the panel has no controls for, kept from the profile chosen: the kinds of a list of transactions.
  TransactionKindMap kinds;
  bool sellWhenNegative = false;
};
