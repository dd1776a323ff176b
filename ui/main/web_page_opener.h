#pragma once
#include <QString>
#include <functional>

// Opens a web page in the user's browser: the program named by the BROWSER environment variable (its
// program part, BrowserPathFromCommand) when it is set, otherwise the desktop's handler for web pages.
// False when nothing could be started.
bool OpenWebPage(const QString& url);

// Replaces the opener (tests); an empty function restores the real one. Returns the previous one.
using WebPageOpener = std::function<bool(const QString& url)>;
WebPageOpener SetWebPageOpener(WebPageOpener opener);
