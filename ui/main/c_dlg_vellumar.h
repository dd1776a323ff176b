#pragma once
#include <QMainWindow>

// The application's main window. For now it only proves the tool chain: an empty window with its title.
class CDlgVellumar : public QMainWindow {
  Q_OBJECT

 public:
  explicit CDlgVellumar(QWidget* parent = nullptr);
};
