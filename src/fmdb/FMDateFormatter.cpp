#include "fmdb/FMDateFormatter.h"

#include <QLocale>
#include <QTimeZone>

namespace {

QLocale storageLocale()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

} // namespace

FMDateFormatter::FMDateFormatter(QString format) : m_format(std::move(format)) {}

QString FMDateFormatter::stringFromDate(const QDateTime &date) const
{
    if (!date.isValid())
        return {};
    return storageLocale().toString(date.toUTC(), m_format);
}

QDateTime FMDateFormatter::dateFromString(const QString &string) const
{
    const QDateTime parsed = storageLocale().toDateTime(string, m_format);
    if (!parsed.isValid())
        return {};
    // The parser reads wall-clock fields in local time; they are GMT fields here.
    return QDateTime(parsed.date(), parsed.time(), QTimeZone::utc());
}
