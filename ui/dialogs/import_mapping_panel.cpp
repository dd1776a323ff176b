#include "ui/dialogs/import_mapping_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "portfolio/exchange/csv_form.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/exchange/import_fields.h"
#include "prefs/import_profiles.h"
#include "prefs/shipped_profiles.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/widgets/message_box.h"

namespace {

constexpr const char* kDateFormats[] = {"YYYY-MM-DD", "DD.MM.YYYY", "MM/DD/YYYY",
                                        "M/D/YYYY",   "D.M.YYYY",   "YYYYMMDD"};
const char kDelimiters[] = {',', ';', '\t'};
const TextEncoding kEncodings[] = {TextEncoding::Detect, TextEncoding::Utf8, TextEncoding::Latin1};

template <class Control>
Control* Labelled(QGridLayout* grid, int row, int column, QWidget* parent, const QString& label,
                  Control* control, const QString& objectName) {
  control->setObjectName(objectName);
  control->setAccessibleName(PlainLabel(label));
  auto* caption = new QLabel(label, parent);
  caption->setBuddy(control);
  grid->addWidget(caption, row, column);
  grid->addWidget(control, row, column + 1);
  return control;
}

}  // namespace

ImportMappingPanel::ImportMappingPanel(ImportProfiles& profiles, QWidget* parent)
    : QGroupBox(QStringLiteral("Columns of the CSV file"), parent), profiles(profiles) {
  setObjectName(QStringLiteral("importMapping"));
  auto* layout = new QVBoxLayout(this);
  BuildColumns(layout);
  BuildKinds(layout);
  BuildFileForm(layout);
  BuildProfiles(layout);
  FillProfiles({});
  ConnectChoices();
}

void ImportMappingPanel::BuildColumns(QVBoxLayout* layout) {
  auto* grid = new QGridLayout;
  int row = 0;
  int column = 0;
  for (const MappedField& f : MappedFields()) {
    auto* combo = Labelled(grid, row, column, this,
                           QString::fromLatin1(ImportFieldInfoOf(f.field).mappingLabel), new QComboBox(this),
                           QStringLiteral("importColumn_") + QString::fromLatin1(MappedFieldName(f.field)));
    combo->setMinimumContentsLength(12);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    columns[f.field] = combo;
    connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
      if (!filling) emit changed();
    });
    column += 2;
    if (column == 6) column = 0, ++row;
  }
  layout->addLayout(grid);
}

void ImportMappingPanel::BuildKinds(QVBoxLayout* layout) {
  kindLabel = new QLabel(QStringLiteral("What each value of the kind column is:"), this);
  kindTable = new ImportKindTable(this);
  kindLabel->setBuddy(kindTable);
  layout->addWidget(kindLabel);
  layout->addWidget(kindTable);
  kindLabel->hide();
  kindTable->hide();
  connect(kindTable, &ImportKindTable::kindChosen, this, [this](const QString& value, int kindIndex) {
    if (kindIndex < 0) {
      kinds.Remove(ToStd(value));
    } else {
      kinds.Add(TransactionKinds()[static_cast<size_t>(kindIndex)], ToStd(value));
    }
    emit changed();
  });
}

void ImportMappingPanel::BuildFileForm(QVBoxLayout* layout) {
  auto* format = new QGridLayout;
  headerRow = new QCheckBox(QStringLiteral("The file has a &header row"), this);
  headerRow->setObjectName(QStringLiteral("importHeaderRow"));
  headerRow->setAccessibleName(QStringLiteral("The file has a header row"));
  headerRow->setChecked(true);
  format->addWidget(headerRow, 0, 0, 1, 2);
  decimalComma = new QCheckBox(QStringLiteral("Decimal &comma (1234,56)"), this);
  decimalComma->setObjectName(QStringLiteral("importDecimalComma"));
  decimalComma->setAccessibleName(QStringLiteral("Decimal comma"));
  format->addWidget(decimalComma, 0, 2, 1, 2);
  delimiter = Labelled(format, 1, 0, this, QStringLiteral("De&limiter:"), new QComboBox(this),
                       QStringLiteral("importDelimiter"));
  delimiter->addItems({QStringLiteral("Comma (,)"), QStringLiteral("Semicolon (;)"), QStringLiteral("Tab")});
  dateFormat = Labelled(format, 1, 2, this, QStringLiteral("Date f&ormat:"), new QComboBox(this),
                        QStringLiteral("importDateFormat"));
  dateFormat->setEditable(true);
  for (const char* pattern : kDateFormats) dateFormat->addItem(QString::fromLatin1(pattern));
  dateFormat->setToolTip(QStringLiteral("YYYY, MM, DD, M and D; anything else stands for itself"));
  encoding = Labelled(format, 1, 4, this, QStringLiteral("Encoding:"), new QComboBox(this),
                      QStringLiteral("importEncoding"));
  encoding->addItems({QStringLiteral("Detect"), QStringLiteral("UTF-8"), QStringLiteral("Latin-1")});
  skipRows = Labelled(format, 2, 0, this, QStringLiteral("Rows to s&kip:"), new QSpinBox(this),
                      QStringLiteral("importSkipRows"));
  skipRows->setRange(0, 1000);
  layout->addLayout(format);
}

void ImportMappingPanel::BuildProfiles(QVBoxLayout* layout) {
  auto* profileRow = new QHBoxLayout;
  auto* profileGrid = new QGridLayout;
  profile = Labelled(profileGrid, 0, 0, this, QStringLiteral("&Profile:"), new QComboBox(this),
                     QStringLiteral("importProfile"));
  profile->setMinimumContentsLength(14);
  profileName = Labelled(profileGrid, 0, 2, this, QStringLiteral("Sa&ve as:"), new QLineEdit(this),
                         QStringLiteral("importProfileName"));
  profileName->setAccessibleDescription(QStringLiteral("The name to save the mapping under"));
  profileRow->addLayout(profileGrid, 1);
  saveProfile = MakeButton(this, QStringLiteral("Save Profile"), QStringLiteral("importSaveProfile"));
  saveProfile->setAccessibleDescription(QStringLiteral("Save this mapping under the name typed beside it"));
  profileRow->addWidget(saveProfile);
  layout->addLayout(profileRow);
}

void ImportMappingPanel::ConnectChoices() {
  const auto changedNow = [this] {
    if (!filling) emit changed();
  };
  // Columns chosen by name mean nothing by position and the other way round: the choice starts afresh.
  connect(headerRow, &QCheckBox::toggled, this, [this] {
    if (filling) return;
    filling = true;
    for (auto& [field, combo] : columns) combo->setCurrentIndex(0);
    filling = false;
    emit changed();
  });
  connect(decimalComma, &QCheckBox::toggled, this, changedNow);
  connect(delimiter, qOverload<int>(&QComboBox::currentIndexChanged), this, changedNow);
  connect(dateFormat, &QComboBox::currentTextChanged, this, changedNow);
  connect(encoding, qOverload<int>(&QComboBox::currentIndexChanged), this, changedNow);
  connect(skipRows, qOverload<int>(&QSpinBox::valueChanged), this, changedNow);
  connect(profile, qOverload<int>(&QComboBox::activated), this, &ImportMappingPanel::OnProfileChosen);
  connect(saveProfile, &QPushButton::clicked, this, &ImportMappingPanel::OnSaveProfile);
  connect(profileName, &QLineEdit::returnPressed, this, &ImportMappingPanel::OnSaveProfile);
}

QComboBox* ImportMappingPanel::FieldColumn(ImportField field) const {
  const auto it = columns.find(field);
  return it == columns.end() ? nullptr : it->second;
}

void ImportMappingPanel::FillProfiles(const QString& select) {
  const QSignalBlocker block(profile);
  (void)profiles.Load();
  profile->clear();
  profile->addItem(QStringLiteral("(none)"));
  for (const std::string& name : profiles.Names()) profile->addItem(QString::fromStdString(name));
  // The shipped profiles follow the user's own, unless one of the user's has the name.
  for (const ShippedProfile& shipped : ShippedProfiles()) {
    if (profile->findText(QString::fromLatin1(shipped.name), Qt::MatchFixedString) < 0)
      profile->addItem(QString::fromLatin1(shipped.name));
  }
  const int index = select.isEmpty() ? 0 : profile->findText(select, Qt::MatchFixedString);
  profile->setCurrentIndex(index < 0 ? 0 : index);
}

CsvMapping ImportMappingPanel::Mapping() const {
  CsvMapping mapping;
  for (const auto& [field, combo] : columns) {
    // Each column entry carries how the mapping names it: its header name, or "#N" by its place.
    const QString column = combo->currentData().toString();
    if (!column.isEmpty()) mapping.columns[field] = ToStd(column);
  }
  // A file without a header row is read by positions only; with none chosen, the symbol is the first.
  if (!headerRow->isChecked() && mapping.columns.empty()) mapping.columns[ImportField::Symbol] = "#1";
  mapping.delimiter = kDelimiters[std::max(0, delimiter->currentIndex())];
  mapping.decimalComma = decimalComma->isChecked();
  mapping.dateFormat = ToStd(dateFormat->currentText().trimmed());
  mapping.encoding = kEncodings[std::max(0, encoding->currentIndex())];
  mapping.skipRows = skipRows->value();
  mapping.kinds = kinds;
  mapping.sellWhenNegative = sellWhenNegative;
  return mapping;
}

void ImportMappingPanel::SetMapping(const CsvMapping& mapping) {
  filling = true;
  headerRow->setChecked(mapping.HasHeader());
  for (size_t i = 0; i < std::size(kDelimiters); ++i) {
    if (kDelimiters[i] == mapping.delimiter) delimiter->setCurrentIndex(static_cast<int>(i));
  }
  decimalComma->setChecked(mapping.decimalComma);
  dateFormat->setCurrentText(QString::fromStdString(mapping.dateFormat));
  for (size_t i = 0; i < std::size(kEncodings); ++i) {
    if (kEncodings[i] == mapping.encoding) encoding->setCurrentIndex(static_cast<int>(i));
  }
  skipRows->setValue(mapping.skipRows);
  kinds = mapping.kinds;
  sellWhenNegative = mapping.sellWhenNegative;
  // The columns themselves are known once the file is read with this mapping (SetColumns).
  for (auto& [field, combo] : columns) {
    const auto it = mapping.columns.find(field);
    combo->clear();
    combo->addItem(QStringLiteral("(none)"));
    if (it != mapping.columns.end()) {
      combo->addItem(QString::fromStdString(it->second), QString::fromStdString(it->second));
      combo->setCurrentIndex(1);
    }
  }
  filling = false;
}

void ImportMappingPanel::SetColumns(const std::vector<std::string>& fileHeader,
                                    const std::map<ImportField, int>& used) {
  filling = true;
  const bool named = headerRow->isChecked();
  for (auto& [field, combo] : columns) {
    combo->clear();
    combo->addItem(QStringLiteral("(none)"));
    for (size_t i = 0; i < fileHeader.size(); ++i) {
      const QString position = QStringLiteral("#%1").arg(i + 1);
      const QString name = QString::fromStdString(fileHeader[i]);
      combo->addItem(named ? name : QStringLiteral("Column %1").arg(i + 1), named ? name : position);
    }
    const auto it = used.find(field);
    combo->setCurrentIndex(it == used.end() || it->second + 1 >= combo->count() ? 0 : it->second + 1);
  }
  filling = false;
}

void ImportMappingPanel::SetKindValues(const std::vector<std::string>& values) {
  kindTable->Show(values, kinds);
  kindLabel->setVisible(!values.empty());
  kindTable->setVisible(!values.empty());
}

void ImportMappingPanel::StartFile(const std::string& head) {
  (void)profiles.Load();
  std::vector<std::string> names = profiles.Names();
  for (const ShippedProfile& shipped : ShippedProfiles()) names.emplace_back(shipped.name);
  for (const std::string& name : names) {
    CsvMapping fitting;
    std::string error;
    if (!profiles.Get(name, fitting, error) || !error.empty() || !MappingFitsFile(fitting, head)) continue;
    SetMapping(fitting);
    const QSignalBlocker block(profile);
    profile->setCurrentIndex(
        std::max(0, profile->findText(QString::fromStdString(name), Qt::MatchFixedString)));
    profileName->setText(QString::fromStdString(name));
    return;
  }
  CsvMapping fresh;
  const CsvForm form = DetectCsvForm(head);
  fresh.delimiter = form.delimiter;
  fresh.decimalComma = form.decimalComma;
  SetMapping(fresh);
  const QSignalBlocker block(profile);
  profile->setCurrentIndex(0);
}

void ImportMappingPanel::OnProfileChosen() {
  if (profile->currentIndex() <= 0) return;
  CsvMapping mapping;
  std::string error;
  const QString name = profile->currentText();
  if (!profiles.Get(ToStd(name), mapping, error)) return;
  if (!error.empty()) {
    ShowMessage(this, StringId::ProfileUnusable, MessageIcon::Exclamation, MessageButtons::Ok,
                {name, QString::fromStdString(error)});
  }
  SetMapping(mapping);
  profileName->setText(name);
  emit changed();
}

void ImportMappingPanel::OnSaveProfile() {
  const QString name = profileName->text().trimmed();
  if (name.isEmpty()) {
    ShowMessage(this, StringId::ProfileNameMissing, MessageIcon::Information);
    FocusEdit(profileName);
    return;
  }
  FileError error;
  if (!profiles.Save(ToStd(name), Mapping(), error)) {
    ShowMessage(this, StringId::ProfileSaveError, MessageIcon::Error, MessageButtons::Ok,
                {name, QString::fromStdString(error.Describe())});
    FocusEdit(profileName);
    return;
  }
  FillProfiles(name);
}
