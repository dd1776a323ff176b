#pragma once
#include <QDialog>

#include "marketdata/real_prices.h"

class ColourButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class VLPrefs;

// The options on three pages: " Display " (the home market, the two list colours and the base currency new
// portfolios get), " Updates " (quotes
// refreshed at start and every so many minutes) and " Real Prices " (the bundled service fetches real
// daily prices before each update). Reset puts the defaults into the controls only; OK writes the
// settings (and, when real prices are turned on, the service's sources file), Cancel writes nothing. The
// caller applies them.
class CDlgOptions : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgOptions(VLPrefs& prefs, const RealPriceFolders& folders = {}, QWidget* parent = nullptr);

  QTabWidget* Pages() const { return pages; }
  QComboBox* Markets() const { return markets; }
  ColourButton* AlternateColour() const { return alternate; }
  ColourButton* SortedColour() const { return sorted; }
  // True after OK when real prices were off and are on now.
  bool RealPricesTurnedOn() const { return turnedOn; }

 private:
  QWidget* CreateDisplayPage();
  QWidget* CreateUpdatesPage();
  QWidget* CreateRealPricesPage();
  void OnReset();
  void OnOk();
  void SelectMarket(int market);

  VLPrefs& prefs;
  RealPriceFolders folders;
  bool turnedOn = false;
  QTabWidget* pages = nullptr;
  QComboBox* markets = nullptr;
  ColourButton* alternate = nullptr;
  ColourButton* sorted = nullptr;
  QCheckBox* updateAtStart = nullptr;
  QCheckBox* updateEvery = nullptr;
  QSpinBox* updateMinutes = nullptr;
  QCheckBox* realPrices = nullptr;
  QLabel* lastFetched = nullptr;
  QLineEdit* baseCurrency = nullptr;
  QPushButton* ok = nullptr;
};
