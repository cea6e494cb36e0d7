#include "platform/UserDefaults.h"

#include "platform/LeadingNumber.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The INI format keeps only strings apart: it writes numbers and booleans as plain text and
// reads back a one-element list as a string. Every other value is therefore stored inside a
// one-entry dictionary, which the format writes with its binary value encoding, types intact.
const QString wrapperKey = u"value"_s;

QVariant encode(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return value;
    return QVariantMap{{wrapperKey, value}};
}

QVariant decode(const QVariant &stored)
{
    if (stored.typeId() != QMetaType::QVariantMap)
        return stored;
    return stored.toMap().value(wrapperKey);
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

double numberValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return leadingNumber(value.toString());
    if (isNumber(value))
        return value.toDouble();
    return 0.0;
}

qint64 truncatedInteger(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 is exact in a double; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value < -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(value);
}

bool textMeansYes(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    if (trimmed.compare("YES"_L1, Qt::CaseInsensitive) == 0
        || trimmed.compare("true"_L1, Qt::CaseInsensitive) == 0)
        return true;
    const QChar first = trimmed.front();
    if (first == u'Y' || first == u'y' || first == u'T' || first == u't')
        return true;
    return leadingNumber(trimmed) != 0.0;
}

QString standardFileName()
{
    QString application = QCoreApplication::applicationName();
    if (application.isEmpty())
        application = u"Marrowick"_s;
    QString organisation = QCoreApplication::organizationName();
    if (organisation.isEmpty())
        organisation = application;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/'
        + organisation + u'/' + application + ".ini"_L1;
}

} // namespace

UserDefaults &UserDefaults::standardUserDefaults()
{
    static UserDefaults defaults(standardFileName());
    return defaults;
}

UserDefaults::UserDefaults(const QString &fileName)
    : m_settings(fileName, QSettings::IniFormat)
{
}

QString UserDefaults::fileName() const
{
    std::lock_guard lock(m_mutex);
    return m_settings.fileName();
}

void UserDefaults::registerDefaults(const QVariantMap &registrationDictionary)
{
    std::lock_guard lock(m_mutex);
    for (auto entry = registrationDictionary.cbegin(); entry != registrationDictionary.cend();
         ++entry)
        m_registered.insert(entry.key(), entry.value());
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    std::lock_guard lock(m_mutex);
    if (m_settings.contains(key))
        return decode(m_settings.value(key));
    return m_registered.value(key);
}

bool UserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString)
        return textMeansYes(value.toString());
    return numberValue(value) != 0.0;
}

qint64 UserDefaults::integerForKey(const QString &key) const
{
    return truncatedInteger(doubleForKey(key));
}

float UserDefaults::floatForKey(const QString &key) const
{
    const double value = doubleForKey(key);
    // Converting a double beyond the float range is undefined; it saturates to infinity.
    constexpr float infinity = std::numeric_limits<float>::infinity();
    if (std::abs(value) > double(std::numeric_limits<float>::max()))
        return value > 0 ? infinity : -infinity;
    return static_cast<float>(value);
}

double UserDefaults::doubleForKey(const QString &key) const
{
    return numberValue(objectForKey(key));
}

void UserDefaults::setObject(const QVariant &value, const QString &key)
{
    if (!value.isValid()) {
        removeObject(key);
        return;
    }
    std::lock_guard lock(m_mutex);
    m_settings.setValue(key, encode(value));
}

void UserDefaults::removeObject(const QString &key)
{
    std::lock_guard lock(m_mutex);
    m_settings.remove(key);
}

bool UserDefaults::synchronize()
{
    std::lock_guard lock(m_mutex);
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}
