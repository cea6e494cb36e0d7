#include "services/CDEvent.h"

using namespace Qt::StringLiterals;

namespace {

const QString identifierKey = u"identifier"_s;
const QString flagsKey = u"flags"_s;
const QString dateKey = u"date"_s;
const QString URLKey = u"URL"_s;

} // namespace

std::shared_ptr<const CDEvent> CDEvent::eventWithIdentifier(quint64 identifier,
                                                            const QDateTime &date,
                                                            const QUrl &URL, quint32 flags)
{
    return std::make_shared<const CDEvent>(identifier, date, URL, flags);
}

CDEvent::CDEvent(quint64 identifier, const QDateTime &date, const QUrl &URL, quint32 flags)
    : m_identifier(identifier)
    , m_date(date)
    , m_URL(URL)
    , m_flags(flags)
{
}

QString CDEvent::description() const
{
    // One pass over the placeholders, so a "%" inside the URL is left alone.
    return u"<CDEvent: 0x%1 { identifier = %2, URL = %3, flags = %4, date = %5 }>"_s.arg(
        QString::number(quintptr(this), 16), QString::number(m_identifier), m_URL.toString(),
        QString::number(m_flags), m_date.toUTC().toString(u"yyyy-MM-dd HH:mm:ss +0000"_s));
}

QVariantMap CDEvent::encode() const
{
    return {
        {identifierKey, m_identifier},
        {flagsKey, m_flags},
        {dateKey, m_date},
        {URLKey, m_URL},
    };
}

std::shared_ptr<const CDEvent> CDEvent::decode(const QVariantMap &coder)
{
    const QVariant identifier = coder.value(identifierKey);
    const QVariant flags = coder.value(flagsKey);
    const QVariant date = coder.value(dateKey);
    const QVariant URL = coder.value(URLKey);
    if (identifier.typeId() != QMetaType::ULongLong || flags.typeId() != QMetaType::UInt
        || date.typeId() != QMetaType::QDateTime || URL.typeId() != QMetaType::QUrl)
        return nullptr;
    return eventWithIdentifier(identifier.toULongLong(), date.toDateTime(), URL.toUrl(),
                               flags.toUInt());
}
