#pragma once

#include <QString>

// The two names the maker's framework posts on the default notification centre, with any
// object, around its welcome window: when the window opens and when it closes. This stand-in
// has no welcome window, so only tests post them.
struct RQCWelcomeNotifications final
{
    static QString windowDidOpen() { return QStringLiteral("RQCWelcomeWindowDidOpen"); }
    static QString windowDidClose() { return QStringLiteral("RQCWelcomeWindowDidClose"); }
};
