#include "ui/dialogs/c_dlg_about.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString CDlgAbout::DisclaimerText() {
  return QStringLiteral(
      "This program is provided without any guarantee of reliability, "
      "accuracy of information, or correctness of operation.  The author is not "
      "responsible for any damages that may occur as a result of using this program.  Use "
      "this program entirely at your own risk.");
}

CDlgAbout::CDlgAbout(bool offerDontShow, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("100"));
  setWindowTitle(QStringLiteral("About Vellumar!"));
  auto* layout = new QVBoxLayout(this);
  auto* version = new QLabel(QStringLiteral("Vellumar! Version 0.15d"), this);
  QFont bold = version->font();
  bold.setBold(true);
  version->setFont(bold);
  layout->addWidget(version);
  layout->addWidget(new QLabel(QStringLiteral("Copyright the Vellumar developers."), this));
  layout->addSpacing(8);
  layout->addWidget(new QLabel(QStringLiteral("Important disclaimer:"), this));
  auto* disclaimer = new QLabel(DisclaimerText(), this);
  disclaimer->setObjectName(QStringLiteral("1033"));
  disclaimer->setWordWrap(true);
  disclaimer->setMinimumWidth(disclaimer->fontMetrics().averageCharWidth() * 60);
  layout->addWidget(disclaimer);
  dontShow = new QCheckBox(QStringLiteral("&Don't show this message again"), this);
  dontShow->setObjectName(QStringLiteral("1025"));
  dontShow->setAccessibleName(QStringLiteral("Don't show this message again"));
  dontShow->setVisible(offerDontShow);
  layout->addWidget(dontShow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CDlgAbout::ShowAgain() const {
  return !dontShow->isChecked();
}
