#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <ostream>

// Readable GoogleTest messages for Qt values. Every test file gets these through the test
// targets' forced include, so a failing comparison shows text rather than bytes.
inline void PrintTo(const QString &value, std::ostream *out)
{
    *out << '"' << value.toStdString() << '"';
}

inline void PrintTo(const QStringList &value, std::ostream *out)
{
    *out << '[' << value.join(QStringLiteral(", ")).toStdString() << ']';
}

inline void PrintTo(const QByteArray &value, std::ostream *out)
{
    *out << "bytes(" << value.toHex().toStdString() << ')';
}

inline void PrintTo(const QVariant &value, std::ostream *out)
{
    *out << value.typeName() << '(' << value.toString().toStdString() << ')';
}
