#pragma once

#include <QList>
#include <QLoggingCategory>
#include <QString>
#include <QStringView>

#include <utility>

// The windows' log: one line per screen shown or state changed, silent unless enabled with
// QT_LOGGING_RULES="marrowick.windows.debug=true". End-to-end tests read it, so every line has
// the same shape:
//     screen step=<N> state=<STATE> key="text" key="text" ...
// where each text is what the screen shows, with '"' and '\' escaped by a backslash.
Q_DECLARE_LOGGING_CATEGORY(windowsLog)

using ScreenFields = QList<std::pair<QString, QString>>;

// The line logScreen writes, built on its own so its shape can be checked.
QString screenLogLine(int step, QStringView state, const ScreenFields &fields);

// Writes one screen line to windowsLog at debug level.
void logScreen(int step, QStringView state, const ScreenFields &fields = {});
