#include "ui/main/web_page_opener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "ui/main/browser_command.h"

namespace {

WebPageOpener& Opener() {
  static WebPageOpener opener;
  return opener;
}

}  // namespace

WebPageOpener SetWebPageOpener(WebPageOpener opener) {
  WebPageOpener previous = std::move(Opener());
  Opener() = std::move(opener);
  return previous;
}

bool OpenWebPage(const QString& url) {
  if (Opener()) return Opener()(url);
  const QString command = qEnvironmentVariable("BROWSER").trimmed();
  if (!command.isEmpty()) {
    const QString program = QString::fromStdString(BrowserPathFromCommand(command.toStdString()));
    if (!program.isEmpty() && QProcess::startDetached(program, {url})) return true;
  }
  return QDesktopServices::openUrl(QUrl(url));
}
