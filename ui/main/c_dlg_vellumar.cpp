#include "ui/main/c_dlg_vellumar.h"

CDlgVellumar::CDlgVellumar(QWidget* parent) : QMainWindow(parent) {
  setObjectName("CDlgVellumar");
  setWindowTitle(QStringLiteral("Vellumar!"));
  resize(800, 500);
}
