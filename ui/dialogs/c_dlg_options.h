#pragma once
#include <QDialog>

class ColourButton;
class QComboBox;
class VLGeneralPrefs;

// The home market and the two list colours. Reset puts the defaults into the controls only; OK writes
// the three preferences, Cancel writes nothing. The caller applies them.
class CDlgOptions : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgOptions(VLGeneralPrefs& prefs, QWidget* parent = nullptr);

  QComboBox* Markets() const { return markets; }
  ColourButton* AlternateColour() const { return alternate; }
  ColourButton* SortedColour() const { return sorted; }

 private:
  void OnReset();
  void OnOk();
  void SelectMarket(int market);

  VLGeneralPrefs& prefs;
  QComboBox* markets = nullptr;
  ColourButton* alternate = nullptr;
  ColourButton* sorted = nullptr;
  QPushButton* ok = nullptr;
};
