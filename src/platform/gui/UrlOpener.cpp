#include "platform/gui/UrlOpener.h"

#include <QDesktopServices>

UrlOpener desktopUrlOpener()
{
    return [](const QUrl &url) { QDesktopServices::openUrl(url); };
}
