#pragma once

#include <QMap>
#include <QString>

#include <optional>

// One "screen step=<N> state=<STATE> key="text" ..." line of the windows log: the screen or
// state the application switched to and the texts it showed then.
struct ScreenLine
{
    int step = -1;
    QString state;
    QMap<QString, QString> texts;
    QString raw;

    // The line parsed, or nothing when it is not a screen line. A backslash in a text takes the
    // next character as it stands.
    static std::optional<ScreenLine> parse(const QString &line);
    QString text(const QString &key) const { return texts.value(key); }
    // "1 scanning", as the road's sequence is written.
    QString stepAndState() const;
};
