#pragma once

#include <QDateTime>
#include <QString>

// Turns dates into text and back with a fixed format (Qt date-time format letters), in GMT
// and the "en_US" locale, so stored text does not depend on where the program runs.
class FMDateFormatter final
{
public:
    explicit FMDateFormatter(QString format);

    // A null string for an invalid date.
    QString stringFromDate(const QDateTime &date) const;
    // An invalid date when the text does not match the format.
    QDateTime dateFromString(const QString &string) const;

private:
    QString m_format;
};
