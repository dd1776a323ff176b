#include "ui/dialogs/c_dlg_options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "portfolio/checks/portfolio_name_check.h"
#include "prefs/vl_prefs.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/widgets/colour_button.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"

namespace {

// The markets whose status and time can be shown, sorted by their text, with the market-time service's
// market number.
struct MarketEntry {
  const char* text;
  int market;
};
constexpr MarketEntry kMarkets[] = {
    {" Argentina", 1}, {" Australia", 3},       {" Brazil", 4},        {" Canada", 5},  {" France", 9},
    {" Germany", 10},  {" India", 12},          {" Italy", 15},        {" Mexico", 18}, {" Singapore", 23},
    {" Spain", 24},    {" United Kingdom", 28}, {" United States", 0},
};

const QColor kDefaultAlternate(232, 248, 232);
const QColor kDefaultSorted(240, 240, 240);

ColourButton* AddColourRow(QFormLayout* form, const QString& label, const QString& objectName) {
  auto* button = new ColourButton(form->parentWidget());
  button->setObjectName(objectName);
  button->setAccessibleName(PlainLabel(label));
  auto* caption = new QLabel(label, form->parentWidget());
  caption->setBuddy(button);
  form->addRow(caption, button);
  return button;
}

QCheckBox* AddCheck(QLayout* layout, QWidget* parent, const QString& text, const QString& objectName) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(objectName);
  layout->addWidget(box);
  return box;
}

// A paragraph that says what a page's settings do.
QLabel* AddNote(QLayout* layout, QWidget* parent, const QString& text) {
  auto* note = new QLabel(text, parent);
  note->setWordWrap(true);
  layout->addWidget(note);
  return note;
}

}  // namespace

CDlgOptions::CDlgOptions(VLPrefs& prefs, const RealPriceFolders& folders, QWidget* parent)
    : QDialog(parent), prefs(prefs), folders(folders) {
  setObjectName(QStringLiteral("1595"));
  setWindowTitle(QStringLiteral("Options"));
  auto* layout = new QVBoxLayout(this);
  pages = new QTabWidget(this);
  pages->setObjectName(QStringLiteral("pages"));
  pages->setAccessibleName(QStringLiteral("Options"));
  pages->addTab(CreateDisplayPage(), QStringLiteral(" Display "));
  pages->addTab(CreateUpdatesPage(), QStringLiteral(" Updates "));
  pages->addTab(CreateRealPricesPage(), QStringLiteral(" Real Prices "));
  FocusPageOnSwitch(pages);
  layout->addWidget(pages);

  QDialogButtonBox* buttons = AddOkCancel(this);
  ok = buttons->button(QDialogButtonBox::Ok);
  QPushButton* reset = buttons->addButton(QStringLiteral("Reset"), QDialogButtonBox::ResetRole);
  reset->setObjectName(QStringLiteral("2111"));
  reset->setAccessibleName(QStringLiteral("Reset"));
  reset->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgOptions::OnOk);
  connect(reset, &QPushButton::clicked, this, &CDlgOptions::OnReset);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  const VLGeneralPrefs& general = prefs.GetGeneralPrefs();
  SelectMarket(general.market);
  alternate->SetColour(ColourFromPrefs(general.alternateRowColor));
  sorted->SetColour(ColourFromPrefs(general.sortedColumnColor));
  baseCurrency->setText(QString::fromStdString(general.defaultBaseCurrency));
  const VLUpdatePrefs& updates = prefs.GetUpdatePrefs();
  updateAtStart->setChecked(updates.updateAtStart);
  updateEvery->setChecked(updates.updateEvery);
  updateMinutes->setValue(updates.updateMinutes);
  updateMinutes->setEnabled(updates.updateEvery);
  realPrices->setChecked(updates.fetchRealPrices && HasRealPriceSources(folders.data));
  markets->setFocus();
}

QWidget* CDlgOptions::CreateDisplayPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* marketLabel = new QLabel(QStringLiteral("Show status and time for this &market:"), page);
  layout->addWidget(marketLabel);
  markets = new QComboBox(page);
  markets->setObjectName(QStringLiteral("2117"));
  markets->setAccessibleName(QStringLiteral("Show status and time for this market"));
  for (const MarketEntry& entry : kMarkets) markets->addItem(QString::fromLatin1(entry.text), entry.market);
  marketLabel->setBuddy(markets);
  layout->addWidget(markets);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  alternate = AddColourRow(form, QStringLiteral("&Alternate row color:"), QStringLiteral("2155"));
  sorted = AddColourRow(form, QStringLiteral("&Sorted column color:"), QStringLiteral("2156"));
  baseCurrency = AddEditRow(form, QStringLiteral("&Base currency of new portfolios:"),
                            QStringLiteral("vl_default_base"));
  baseCurrency->setMaxLength(3);
  baseCurrency->setPlaceholderText(QStringLiteral("none"));
  baseCurrency->setToolTip(QStringLiteral("Three capital letters (EUR, USD); empty: no conversion"));
  baseCurrency->setAccessibleDescription(baseCurrency->toolTip());
  layout->addStretch(1);
  return page;
}

QWidget* CDlgOptions::CreateUpdatesPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  updateAtStart = AddCheck(layout, page, QStringLiteral("&Update quotes when Vellumar starts"),
                           QStringLiteral("updateAtStart"));
  auto* every = new QHBoxLayout;
  updateEvery = AddCheck(every, page, QStringLiteral("Update &every"), QStringLiteral("updateEvery"));
  updateMinutes = new QSpinBox(page);
  updateMinutes->setObjectName(QStringLiteral("updateMinutes"));
  updateMinutes->setRange(1, VLUpdatePrefs::kMaxMinutes);
  updateMinutes->setSuffix(QStringLiteral(" minutes"));
  updateMinutes->setAccessibleName(QStringLiteral("Minutes between updates"));
  every->addWidget(updateMinutes);
  every->addStretch(1);
  layout->addLayout(every);
  connect(updateEvery, &QCheckBox::toggled, updateMinutes, &QWidget::setEnabled);
  AddNote(layout, page,
          QStringLiteral("Quotes are updated only while market data can be reached, and never while a dialog "
                         "waits for an answer."));
  layout->addStretch(1);
  return page;
}

QWidget* CDlgOptions::CreateRealPricesPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  realPrices = AddCheck(layout, page, QStringLiteral("&Fetch real daily prices before each update"),
                        QStringLiteral("realPrices"));
  AddNote(
      layout, page,
      QStringLiteral("The bundled market-data service then asks Stooq (stooq.com) for the daily prices of "
                     "every security in the database before the quotes are updated, and keeps them, so "
                     "quotes, history and charts show real prices, also offline afterwards. This needs "
                     "an internet connection; without one the last prices fetched stay."));
  const int64_t last = LastRealPriceFetch(folders.data);
  lastFetched = new QLabel(
      last > 0 ? FormatString(StringId::RealPricesFetchedAt,
                              QLocale().toString(QDateTime::fromSecsSinceEpoch(last), QLocale::LongFormat))
               : LoadString(StringId::RealPricesNeverFetched),
      page);
  lastFetched->setObjectName(QStringLiteral("lastFetched"));
  lastFetched->setAccessibleDescription(QStringLiteral("Prices last fetched"));
  layout->addWidget(lastFetched);
  if (folders.data.empty()) realPrices->setEnabled(false);  // no bundled service to ask
  layout->addStretch(1);
  return page;
}

void CDlgOptions::SelectMarket(int market) {
  const int index = markets->findData(market);
  markets->setCurrentIndex(index >= 0 ? index : 0);
}

void CDlgOptions::OnReset() {
  if (ShowMessage(this, StringId::ResetOptionsConfirm, MessageIcon::Question,
                  MessageButtons::YesNoDefaultNo) != MessageAnswer::Yes) {
    return;
  }
  SelectMarket(0);
  alternate->SetColour(kDefaultAlternate);
  sorted->SetColour(kDefaultSorted);
  baseCurrency->clear();
  const VLUpdatePrefs defaults;
  updateAtStart->setChecked(defaults.updateAtStart);
  updateEvery->setChecked(defaults.updateEvery);
  updateMinutes->setValue(defaults.updateMinutes);
  realPrices->setChecked(defaults.fetchRealPrices);
  ok->setFocus();
}

void CDlgOptions::OnOk() {
  std::string base;
  if (const EntryCheck check = CheckBaseCurrency(ToStd(baseCurrency->text()), base); !check.Ok()) {
    ShowCheckMessage(this, check, MessageIcon::Exclamation);
    pages->setCurrentIndex(0);
    FocusEdit(baseCurrency);
    return;
  }
  VLUpdatePrefs& updates = prefs.GetUpdatePrefs();
  const bool wanted = realPrices->isChecked();
  const bool wasOn = updates.fetchRealPrices && HasRealPriceSources(folders.data);
  std::string error;
  if (wanted && !WriteRealPriceSources(folders.data, folders.bundled, error)) {
    ShowMessage(this, StringId::RealPricesSetupError, MessageIcon::Error, MessageButtons::Ok,
                {QString::fromStdString(error)});
    pages->setCurrentIndex(2);
    realPrices->setFocus();
    return;
  }
  VLGeneralPrefs& general = prefs.GetGeneralPrefs();
  general.market = markets->currentData().toInt();
  general.alternateRowColor = ColourToPrefs(alternate->Colour());
  general.sortedColumnColor = ColourToPrefs(sorted->Colour());
  general.defaultBaseCurrency = base;
  updates.updateAtStart = updateAtStart->isChecked();
  updates.updateEvery = updateEvery->isChecked();
  updates.updateMinutes = updateMinutes->value();
  updates.fetchRealPrices = wanted;
  turnedOn = wanted && !wasOn;
  accept();
}
