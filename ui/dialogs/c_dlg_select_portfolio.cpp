#include "ui/dialogs/c_dlg_select_portfolio.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <utility>

#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "ui/dialogs/c_dlg_portfolio.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/message_box.h"

CDlgSelectPortfolio::CDlgSelectPortfolio(VLDatabase& database, VLDatabaseConn* conn, uint32_t leaveOut,
                                         uint32_t preselect, QWidget* parent, std::string defaultBase)
    : QDialog(parent),
      database(database),
      conn(conn),
      leaveOut(leaveOut),
      defaultBase(std::move(defaultBase)) {
  setObjectName(QStringLiteral("1592"));
  setWindowTitle(QStringLiteral("Select Portfolio"));
  auto* layout = new QVBoxLayout(this);
  auto* caption = new QLabel(QStringLiteral("&Portfolio"), this);
  layout->addWidget(caption);
  list = new QListWidget(this);
  list->setObjectName(QStringLiteral("1052"));
  list->setAccessibleName(QStringLiteral("Portfolio"));
  list->setMinimumWidth(307);
  caption->setBuddy(list);
  layout->addWidget(list, 1);
  auto* row = new QHBoxLayout;
  newButton = MakeButton(this, QStringLiteral("New..."), QStringLiteral("2153"));
  row->addWidget(newButton);
  row->addStretch();
  QDialogButtonBox* buttons = AddOkCancel(this);
  row->addWidget(buttons);
  layout->addLayout(row);
  status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("statusBar"));
  status->setSizeGripEnabled(true);
  layout->addWidget(status);
  layout->setContentsMargins(layout->contentsMargins().left(), layout->contentsMargins().top(),
                             layout->contentsMargins().right(), 0);

  connect(list, &QListWidget::currentRowChanged, this, &CDlgSelectPortfolio::OnSelectionChanged);
  connect(list, &QListWidget::itemDoubleClicked, this, &CDlgSelectPortfolio::OnOk);
  connect(newButton, &QPushButton::clicked, this, &CDlgSelectPortfolio::OnNew);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgSelectPortfolio::OnOk);
  Fill(preselect);
  status->clearMessage();
  list->setFocus();
}

void CDlgSelectPortfolio::Fill(uint32_t select) {
  list->clear();
  VLPortfolioItemList portfolios;
  if (!conn || database.GetPortfolios(conn, portfolios) != VLResult::Ok) return;
  for (int i = 0; i < portfolios.GetCount(); ++i) {
    const auto* portfolio = static_cast<const VLPortfolioItem*>(portfolios.GetAt(i));
    if (portfolio->id == leaveOut) continue;
    auto* item = new QListWidgetItem(QString::fromStdString(portfolio->name), list);
    item->setData(Qt::UserRole, portfolio->id);
    if (portfolio->id == select) {
      list->setCurrentItem(item);
      list->scrollToItem(item);
    }
  }
}

void CDlgSelectPortfolio::OnSelectionChanged() {
  const QListWidgetItem* item = list->currentItem();
  if (!item) {
    status->clearMessage();
    return;
  }
  const uint32_t id = item->data(Qt::UserRole).toUInt();
  VLHoldingItemList held;
  VLHoldingItemList sold;
  if (database.GetPositions(conn, id, true, held) != VLResult::Ok ||
      database.GetPositions(conn, id, false, sold) != VLResult::Ok) {
    status->showMessage(QString());
    return;
  }
  if (held.GetCount() == 0 && sold.GetCount() == 0) {
    status->showMessage(QStringLiteral(" No items"));
    return;
  }
  status->showMessage(
      QStringLiteral(" Held: %1 item(s),  Sold: %2 item(s)").arg(held.GetCount()).arg(sold.GetCount()));
}

void CDlgSelectPortfolio::OnNew() {
  CDlgPortfolio dialog(nullptr, this, defaultBase);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  std::unique_ptr<VLPortfolioItem> portfolio = dialog.TakePortfolio();
  const VLResult code = database.AddPortfolio(conn, *portfolio);
  if (code != VLResult::Ok) {
    ShowMessage(this, code == VLResult::NameClash ? StringId::PortfolioExists : StringId::PortfolioAddError,
                MessageIcon::None, MessageButtons::Ok, {QString::fromStdString(portfolio->name)});
    newButton->setFocus();
    return;
  }
  Fill(portfolio->id);
  list->setFocus();
}

void CDlgSelectPortfolio::OnOk() {
  const QListWidgetItem* item = list->currentItem();
  if (!item || !item->isSelected()) {
    ShowMessage(this, StringId::SelectPortfolio);
    list->setFocus();
    return;
  }
  chosen = item->data(Qt::UserRole).toUInt();
  accept();
}
