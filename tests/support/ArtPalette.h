#pragma once

#include <QColor>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

// A colour of the art's one palette (scripts/art-palette.json) by name; invalid when the name
// is not there. For the interface areas' tests, which know where the sources lie.
inline QColor artPaletteColour(const QString &name)
{
    QFile file(QStringLiteral(MARROWICK_TEST_SOURCE_DIR "/../scripts/art-palette.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QColor(QJsonDocument::fromJson(file.readAll()).object().value(name).toString());
}
