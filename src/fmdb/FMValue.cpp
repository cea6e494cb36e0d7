#include "fmdb/FMValue.h"

FMValue::FMValue(const char *utf8Text)
{
    if (utf8Text)
        m_value = QString::fromUtf8(utf8Text);
}

FMValue FMValue::null()
{
    FMValue value;
    value.m_value = NullMarker{};
    return value;
}

bool FMValue::isRealNumber() const
{
    const char type = numberType();
    return type == 'f' || type == 'd';
}

char FMValue::numberType() const
{
    const auto *number = std::get_if<Number>(&m_value);
    return number ? number->type : 0;
}

qint64 FMValue::toLongLong() const
{
    const auto *number = std::get_if<Number>(&m_value);
    if (!number)
        return 0;
    return isRealNumber() ? static_cast<qint64>(number->real) : number->integer;
}

quint64 FMValue::toULongLong() const
{
    const auto *number = std::get_if<Number>(&m_value);
    if (number && isRealNumber())
        return static_cast<quint64>(number->real);
    return static_cast<quint64>(toLongLong());
}

double FMValue::toDouble() const
{
    const auto *number = std::get_if<Number>(&m_value);
    if (!number)
        return 0.0;
    if (isRealNumber())
        return number->real;
    if (number->type == 'Q')
        return static_cast<double>(static_cast<quint64>(number->integer));
    return static_cast<double>(number->integer);
}

QString FMValue::text() const
{
    const auto *text = std::get_if<QString>(&m_value);
    return text ? *text : QString();
}

QByteArray FMValue::bytes() const
{
    const auto *bytes = std::get_if<QByteArray>(&m_value);
    return bytes ? *bytes : QByteArray();
}

QDateTime FMValue::date() const
{
    const auto *date = std::get_if<QDateTime>(&m_value);
    return date ? *date : QDateTime();
}

QString FMValue::description() const
{
    switch (kind()) {
    case Kind::Nil:
        return QStringLiteral("(null)");
    case Kind::Null:
        return QStringLiteral("<null>");
    case Kind::Bytes:
        return QLatin1Char('<') + QString::fromLatin1(bytes().toHex()) + QLatin1Char('>');
    case Kind::Date:
        return date().toString(Qt::ISODateWithMs);
    case Kind::Number:
        if (isRealNumber())
            return QString::number(toDouble(), 'g', 17);
        if (numberType() == 'Q')
            return QString::number(toULongLong());
        return QString::number(toLongLong());
    case Kind::Text:
        return text();
    }
    return {};
}

bool FMValue::operator==(const FMValue &other) const
{
    return m_value == other.m_value;
}
