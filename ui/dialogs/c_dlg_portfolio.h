#pragma once
#include <QDialog>
#include <memory>
#include <string>

class QLineEdit;
class VLPortfolioItem;

// Name, comment and base currency of a new portfolio, or of an existing one ("Edit Portfolio"). On OK the
// dialog holds the filled item: the one it was given, or a new one the caller takes with TakePortfolio().
class CDlgPortfolio : public QDialog {
  Q_OBJECT

 public:
  // `portfolio` null for a new portfolio, whose base currency starts as `defaultBase` (Options'); otherwise
  // it is filled in place on OK and must outlive the dialog.
  explicit CDlgPortfolio(VLPortfolioItem* portfolio, QWidget* parent = nullptr,
                         const std::string& defaultBase = {});
  ~CDlgPortfolio() override;

  // The item filled on OK (the given one or the new one); null before OK.
  VLPortfolioItem* Portfolio() const { return result; }
  // Ownership of a portfolio the dialog created; null when it was given one.
  std::unique_ptr<VLPortfolioItem> TakePortfolio();

 private:
  void OnOk();

  VLPortfolioItem* given;
  VLPortfolioItem* result = nullptr;
  std::unique_ptr<VLPortfolioItem> created;
  QLineEdit* name = nullptr;
  QLineEdit* comment = nullptr;
  QLineEdit* baseCurrency = nullptr;
};
