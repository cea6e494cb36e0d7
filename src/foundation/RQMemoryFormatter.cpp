#include "foundation/RQMemoryFormatter.h"

#include "foundation/FixedDecimalText.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr double unitStep = 1000.0;

double multipliedBySteps(double value, qint64 steps)
{
    for (qint64 step = 0; step < steps; ++step)
        value *= unitStep;
    return value;
}

double dividedBySteps(double value, qint64 steps)
{
    for (qint64 step = 0; step < steps; ++step)
        value /= unitStep;
    return value;
}

} // namespace

RQMemoryFormatter::RQMemoryFormatter()
    : m_unitStrings{u"bytes"_s, u"KB"_s, u"MB"_s, u"GB"_s, u"TB"_s, u"PB"_s, u"EB"_s}
{
}

QVariantList RQMemoryFormatter::arrayFromBytes(double bytes) const
{
    // The largest unit ends the climb: dividing further would show a wrong value under "EB",
    // and an infinite count would never drop to 1000.
    const qint64 lastUnit = std::max<qint64>(m_unitStrings.size() - 1, 0);
    double value = convertBytes(bytes, m_minimumUnit);
    qint64 index = std::clamp<qint64>(m_minimumUnit, 0, lastUnit);
    while (value > unitStep && index < lastUnit) {
        value /= unitStep;
        ++index;
    }
    const QString unit = m_unitStrings.value(index);
    return {value, unit};
}

QString RQMemoryFormatter::stringFromBytes(double bytes) const
{
    const QVariantList parts = arrayFromBytes(bytes);
    const double value = static_cast<float>(parts.at(0).toDouble());
    QString unitPart = unitFormat();
    unitPart.replace(u"%@"_s, parts.at(1).toString());
    return formattedNumber(value) + unitPart;
}

QString RQMemoryFormatter::stringFormat() const
{
    return numberFormat() + unitFormat();
}

QString RQMemoryFormatter::numberFormat() const
{
    return m_showsDecimalNumbers ? u"%4.2f"_s : u"%0.0f"_s;
}

QString RQMemoryFormatter::unitFormat() const
{
    QString format = m_formatterStyle == 2 ? u"%@"_s : u" %@"_s;
    if (m_formatterStyle == 1)
        format += u"/s"_s;
    return format;
}

QString RQMemoryFormatter::formattedNumber(double value) const
{
    // The two number formats of numberFormat(), as printf writes them.
    const int decimals = m_showsDecimalNumbers ? 2 : 0;
    const int width = m_showsDecimalNumbers ? 4 : 0;
    return fixedDecimalText(value, decimals).rightJustified(width, u' ');
}

double RQMemoryFormatter::convertValue(double value, qint64 fromUnit, qint64 toUnit)
{
    if (fromUnit == 0)
        return convertBytes(value, toUnit);
    if (toUnit < fromUnit)
        return multipliedBySteps(value, fromUnit - toUnit);
    return dividedBySteps(value, toUnit - fromUnit);
}

double RQMemoryFormatter::convertBytes(double bytes, qint64 toValue)
{
    return dividedBySteps(bytes, toValue);
}
