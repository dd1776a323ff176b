#pragma once
// Fills in the dialogs a command opens, one scripted step per dialog in the order they open; a dialog
// nobody expected fails the test and is cancelled.
#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <functional>

#include "ui_test_support.h"

class DialogSteps {
 public:
  using Step = std::function<void(QDialog&)>;

  DialogSteps()
      : script([this](QDialog& dialog) {
          opened.push_back(dialog.objectName());
          if (steps.empty()) {
            ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
            return int(QDialog::Rejected);
          }
          Step step = std::move(steps.front());
          steps.pop_front();
          dialog.show();
          step(dialog);
          const int result = dialog.result();
          dialog.hide();
          return result;
        }) {}
  ~DialogSteps() { EXPECT_TRUE(steps.empty()) << "a scripted dialog never opened"; }

  void Then(Step step) { steps.push_back(std::move(step)); }

  std::vector<QString> opened;

 private:
  std::deque<Step> steps;
  DialogScript script;
};

template <class T = QLineEdit>
T* Field(QWidget& parent, const char* name) {
  T* field = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(field, nullptr) << name;
  return field;
}

// Replaces the field's text by typing, as a user would.
inline void Type(QWidget& parent, const char* name, const QString& text) {
  QLineEdit* edit = Field(parent, name);
  if (!edit) return;
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

inline void PressOk(QDialog& dialog) {
  QTest::mouseClick(Field<QPushButton>(dialog, "1"), Qt::LeftButton);
}

inline void SetDate(QWidget& parent, const char* name, const QDate& date) {
  Field<QCheckBox>(parent, (std::string(name) + "Check").c_str())->setChecked(true);
  Field<QDateEdit>(parent, name)->setDate(date);
}
