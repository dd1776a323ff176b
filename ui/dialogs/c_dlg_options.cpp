#include "ui/dialogs/c_dlg_options.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "prefs/vl_general_prefs.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/widgets/colour_button.h"
#include "ui/widgets/message_box.h"

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

}  // namespace

CDlgOptions::CDlgOptions(VLGeneralPrefs& prefs, QWidget* parent) : QDialog(parent), prefs(prefs) {
  setObjectName(QStringLiteral("1595"));
  setWindowTitle(QStringLiteral("Options"));
  auto* layout = new QVBoxLayout(this);
  auto* marketLabel = new QLabel(QStringLiteral("Show status and time for this &market:"), this);
  layout->addWidget(marketLabel);
  markets = new QComboBox(this);
  markets->setObjectName(QStringLiteral("2117"));
  markets->setAccessibleName(QStringLiteral("Show status and time for this market"));
  for (const MarketEntry& entry : kMarkets) markets->addItem(QString::fromLatin1(entry.text), entry.market);
  marketLabel->setBuddy(markets);
  layout->addWidget(markets);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  alternate = AddColourRow(form, QStringLiteral("&Alternate row color:"), QStringLiteral("2155"));
  sorted = AddColourRow(form, QStringLiteral("&Sorted column color:"), QStringLiteral("2156"));

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

  SelectMarket(prefs.market);
  alternate->SetColour(ColourFromPrefs(prefs.alternateRowColor));
  sorted->SetColour(ColourFromPrefs(prefs.sortedColumnColor));
  markets->setFocus();
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
  ok->setFocus();
}

void CDlgOptions::OnOk() {
  prefs.market = markets->currentData().toInt();
  prefs.alternateRowColor = ColourToPrefs(alternate->Colour());
  prefs.sortedColumnColor = ColourToPrefs(sorted->Colour());
  accept();
}
