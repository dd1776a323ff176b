#include "ui/dialogs/c_dlg_portfolio.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "portfolio/checks/portfolio_name_check.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"

CDlgPortfolio::CDlgPortfolio(VLPortfolioItem* portfolio, QWidget* parent, const std::string& defaultBase)
    : QDialog(parent), given(portfolio) {
  setObjectName(QStringLiteral("134"));
  setWindowTitle(portfolio ? LoadString(StringId::EditPortfolioTitle) : QStringLiteral("New Portfolio"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  name = AddEditRow(form, QStringLiteral("Name:"), QStringLiteral("1035"));
  comment = AddEditRow(form, QStringLiteral("&Comment:"), QStringLiteral("1036"));
  baseCurrency = AddEditRow(form, QStringLiteral("&Base currency:"), QStringLiteral("vl_base_currency"));
  baseCurrency->setMaxLength(3);
  baseCurrency->setPlaceholderText(QStringLiteral("none"));
  baseCurrency->setToolTip(
      QStringLiteral("The currency the totals are converted into (EUR, USD); empty: no conversion"));
  baseCurrency->setAccessibleDescription(baseCurrency->toolTip());
  name->setMinimumWidth(name->fontMetrics().averageCharWidth() * 40);
  QDialogButtonBox* buttons = AddOkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgPortfolio::OnOk);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  if (portfolio) {
    name->setText(QString::fromStdString(portfolio->name));
    comment->setText(QString::fromStdString(portfolio->comment));
    baseCurrency->setText(QString::fromStdString(portfolio->baseCurrency));
  } else {
    baseCurrency->setText(QString::fromStdString(defaultBase));
  }
  name->setFocus();
}

CDlgPortfolio::~CDlgPortfolio() = default;

std::unique_ptr<VLPortfolioItem> CDlgPortfolio::TakePortfolio() {
  return std::move(created);
}

void CDlgPortfolio::OnOk() {
  std::string trimmedName;
  const EntryCheck check = CheckPortfolioName(ToStd(name->text()), trimmedName);
  if (!check.Ok()) {
    ShowCheckMessage(this, check, MessageIcon::Exclamation);
    FocusEdit(name);
    return;
  }
  if (const EntryCheck commentCheck = CheckPortfolioComment(ToStd(comment->text().trimmed()));
      !commentCheck.Ok()) {
    ShowCheckMessage(this, commentCheck, MessageIcon::Exclamation);
    FocusEdit(comment);
    return;
  }
  std::string base;
  if (const EntryCheck baseCheck = CheckBaseCurrency(ToStd(baseCurrency->text()), base); !baseCheck.Ok()) {
    ShowCheckMessage(this, baseCheck, MessageIcon::Exclamation);
    FocusEdit(baseCurrency);
    return;
  }
  if (!given) {
    created = std::make_unique<VLPortfolioItem>();
    result = created.get();
  } else {
    result = given;
  }
  result->name = trimmedName;
  result->comment = ToStd(comment->text().trimmed());
  result->baseCurrency = base;
  accept();
}
