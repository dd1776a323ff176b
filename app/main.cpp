#include <QApplication>

#include "ui/main/c_dlg_vellumar.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vellumar"));
  CDlgVellumar window;
  window.show();
  return QApplication::exec();
}
