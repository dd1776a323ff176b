#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

#include "app/c_vellumar_app.h"
#include "vl_version.h"

namespace {

constexpr const char* kUsage =
    "usage: vellumar [--help] [--version] [Qt options such as -platform offscreen]\n"
    "\n"
    "Vellumar, a stock-portfolio tracker. It keeps Vellumar.db, backup/, its report files and vellumar.ini\n"
    "beside the program when that folder is writable (portable use); an installed Vellumar keeps them in\n"
    "$XDG_DATA_HOME/vellumar (~/.local/share/vellumar) and the settings in $XDG_CONFIG_HOME/vellumar\n"
    "(~/.config/vellumar). When the quote host is this machine it starts vellumar-marketd.\n"
    "\n"
    "Environment:\n"
    "  VELLUMAR_QUIT_WHEN_SHOWN  when set, end right after the main window is shown (installation checks)\n";

}  // namespace

int main(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("vellumar %s\n", VELLUMAR_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  QApplication qtApp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vellumar"));
  QApplication::setApplicationVersion(QStringLiteral(VELLUMAR_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("org.vellumar.Vellumar"));
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/%1x%1/apps/vellumar.png").arg(size), QSize(size, size));
  }
  QApplication::setWindowIcon(icon);
  CVellumarApp app;
  return app.Run();
}
