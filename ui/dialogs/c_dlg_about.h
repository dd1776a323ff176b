#pragma once
#include <QDialog>

class QCheckBox;

// The About box: version, disclaimer and, when offered, "Don't show this message again".
class CDlgAbout : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgAbout(bool offerDontShow, QWidget* parent = nullptr);
  // After OK: whether the box is to be shown at the next start (the check box is not checked).
  bool ShowAgain() const;

  static QString DisclaimerText();

 private:
  QCheckBox* dontShow;
};
