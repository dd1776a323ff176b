#include "ui/marketdata/c_dlg_news_item_options.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/marketdata/window_helpers.h"
#include "ui/widgets/message_box.h"

namespace {

// The number typed, or -1 when it is not a whole number.
int ReadNumber(const QLineEdit* edit) {
  bool ok = false;
  const int value = edit->text().trimmed().toInt(&ok);
  return ok ? value : -1;
}

}  // namespace

CDlgNewsItemOptions::CDlgNewsItemOptions(int dayLimit, int itemLimit, QWidget* parent)
    : QDialog(parent), days(dayLimit), items(itemLimit) {
  setObjectName(QStringLiteral("1594"));
  setWindowTitle(QStringLiteral("News Options"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  daysEdit = new QLineEdit(QString::number(days), this);
  NameControl(daysEdit, 2113, QStringLiteral("Get news items for the past, days"));
  itemsEdit = new QLineEdit(QString::number(items), this);
  NameControl(itemsEdit, 2114, QStringLiteral("Get at most, news items per symbol"));
  for (QLineEdit* edit : {daysEdit, itemsEdit}) {
    edit->setValidator(new QIntValidator(0, 99999, edit));
    edit->setMaxLength(5);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  }
  grid->addWidget(BuddyLabel(QStringLiteral("&Get news items for the past"), daysEdit, this), 0, 0);
  grid->addWidget(daysEdit, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("days"), this), 0, 2);
  grid->addWidget(BuddyLabel(QStringLiteral("Get at &most"), itemsEdit, this), 1, 0);
  grid->addWidget(itemsEdit, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("news items per symbol"), this), 1, 2);
  grid->setColumnStretch(3, 1);
  layout->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgNewsItemOptions::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CDlgNewsItemOptions::reject);
  layout->addWidget(buttons);
}

void CDlgNewsItemOptions::accept() {
  const int dayValue = ReadNumber(daysEdit);
  if (dayValue < 1 || dayValue > kMaxDays) {
    ShowMessage(this, StringId::NewsDaysOutOfRange);
    daysEdit->selectAll();
    daysEdit->setFocus();
    return;
  }
  const int itemValue = ReadNumber(itemsEdit);
  if (itemValue < 1 || itemValue > kMaxItems) {
    ShowMessage(this, StringId::NewsItemsOutOfRange);
    itemsEdit->selectAll();
    itemsEdit->setFocus();
    return;
  }
  days = dayValue;
  items = itemValue;
  QDialog::accept();
}
