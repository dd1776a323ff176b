#include <QApplication>

#include "app/c_vellumar_app.h"

int main(int argc, char* argv[]) {
  QApplication qtApp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vellumar"));
  CVellumarApp app;
  return app.Run();
}
