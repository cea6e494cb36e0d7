#pragma once

#include <QColor>

#include <ostream>

// Readable GoogleTest messages for colours: #aarrggbb.
inline void PrintTo(const QColor &color, std::ostream *out)
{
    *out << color.name(QColor::HexArgb).toStdString();
}
