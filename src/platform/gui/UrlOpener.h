#pragma once

#include <QUrl>

#include <functional>

// Opens a web address in the desktop's browser. Whatever opens pages takes one of these, so
// that tests can see the address instead of starting a browser.
using UrlOpener = std::function<void(const QUrl &url)>;

// The desktop's own opener; a page that cannot be opened is ignored.
UrlOpener desktopUrlOpener();
