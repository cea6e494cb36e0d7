#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// Byte counts as a value and a unit, or as one text ("20.00 KB"), in decimal units of 1000.
// Unit indexes: 0 bytes, 1 KB, 2 MB, 3 GB, 4 TB, 5 PB, 6 EB (shared with the preferred size
// unit of the preferences). Each user keeps its own instance; not thread-safe.
class RQMemoryFormatter final
{
public:
    RQMemoryFormatter();

    const QStringList &unitStrings() const { return m_unitStrings; }
    void setUnitStrings(const QStringList &unitStrings) { m_unitStrings = unitStrings; }
    // The smallest unit index the output uses.
    qint64 minimumUnit() const { return m_minimumUnit; }
    void setMinimumUnit(qint64 minimumUnit) { m_minimumUnit = minimumUnit; }
    // 0 plain, 1 rate (the text ends in "/s"), 2 the unit joined to the number without a space.
    qint64 formatterStyle() const { return m_formatterStyle; }
    void setFormatterStyle(qint64 formatterStyle) { m_formatterStyle = formatterStyle; }
    // Two decimals, or none.
    bool showsDecimalNumbers() const { return m_showsDecimalNumbers; }
    void setShowsDecimalNumbers(bool showsDecimalNumbers)
    {
        m_showsDecimalNumbers = showsDecimalNumbers;
    }

    // [value (double), unit string]: the count in the largest unit, from minimumUnit up, in
    // which it is not above 1000 (EB holds whatever is larger).
    QVariantList arrayFromBytes(double bytes) const;
    // The value as single precision, printf-rounded, with its unit in the current style.
    QString stringFromBytes(double bytes) const;
    QString stringFormat() const;

    static double convertValue(double value, qint64 fromUnit, qint64 toUnit);
    // The byte count divided by 1000 once per unit step; unchanged for an index of 0 or less.
    static double convertBytes(double bytes, qint64 toValue);

private:
    QString numberFormat() const;
    QString unitFormat() const;
    QString formattedNumber(double value) const;

    QStringList m_unitStrings;
    qint64 m_minimumUnit = 0;
    qint64 m_formatterStyle = 0;
    bool m_showsDecimalNumbers = true;
};
