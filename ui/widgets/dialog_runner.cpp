#include "ui/widgets/dialog_runner.h"

#include <QDialog>

namespace {

DialogRunner& Runner() {
  static DialogRunner runner;
  return runner;
}

}  // namespace

DialogRunner SetDialogRunner(DialogRunner runner) {
  DialogRunner previous = std::move(Runner());
  Runner() = std::move(runner);
  return previous;
}

int RunDialog(QDialog& dialog) {
  if (Runner()) return Runner()(dialog);
  return dialog.exec();
}
