#include "services/Preferences.h"

#include "platform/PropertyList.h"
#include "platform/SystemLog.h"
#include "platform/UserDefaults.h"

#include <QFile>

#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString ignoreListKey = u"IgnoreList"_s;
const QString ignoredPathsKey = u"IgnoredPaths"_s;
const QString minimumFileSizeKey = u"MinimumFileSize"_s;
const QString minimumFileSizeTypeKey = u"MinimumFileSizeType"_s;
const QString useTrashKey = u"UseTrash"_s;
const QString useHardLinksKey = u"UseHardLinks"_s;
const QString autoSelectTypeKey = u"AutoSelectType"_s;
const QString suppressSelectAllWarningKey = u"SuppressSelectAllWarning"_s;
const QString suppressFinderWarningKey = u"SuppressFinderWarning"_s;
const QString suppressSelectAllFilesWarningKey = u"SuppressSelectAllFilesWarning"_s;
const QString suppressDeselectAllFilesWarningKey = u"SuppressDeselectAllFilesWarning"_s;
const QString timesRunKey = u"TimesRun"_s;
const QString firstRunKey = u"FirstRun"_s;

constexpr double defaultMinimumFileSize = 20000.0;
constexpr qint64 defaultMinimumFileSizeType = 1;
constexpr qint64 defaultAutoSelectType = 1;
// Beyond any file; a larger minimum is no choice a user made.
constexpr double largestMinimumFileSize = 1e18;
// The byte formatter's units, bytes to EB.
constexpr qint64 largestUnit = 6;

// The stored number, when it is one (a text only when it is a number whole) and in range.
std::optional<double> numberInRange(const QVariant &stored, double lowest, double highest)
{
    bool isNumber = false;
    double value = 0;
    if (stored.typeId() == QMetaType::QString)
        value = stored.toString().trimmed().toDouble(&isNumber);
    else if (stored.typeId() != QMetaType::Bool && stored.canConvert<double>())
        value = stored.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(value) || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

QMap<QString, QString> makePropertyMap()
{
    return {
        {u"ignoreList"_s, ignoreListKey},
        {u"ignoredPaths"_s, ignoredPathsKey},
        {u"minFileSize"_s, minimumFileSizeKey},
        {u"minFileSizeType"_s, minimumFileSizeTypeKey},
        {u"useTrash"_s, useTrashKey},
        {u"useHardLinks"_s, useHardLinksKey},
        {u"autoSelectType"_s, autoSelectTypeKey},
        {u"suppressSelectAllWarning"_s, suppressSelectAllWarningKey},
        {u"suppressFinderWarning"_s, suppressFinderWarningKey},
        {u"suppressSelectAllFilesWarning"_s, suppressSelectAllFilesWarningKey},
        {u"suppressDeselectAllFilesWarning"_s, suppressDeselectAllFilesWarningKey},
        {u"timesRun"_s, timesRunKey},
        {u"firstRun"_s, firstRunKey},
    };
}

// A stored list is taken with its strings; anything else, which a later reader could not use
// as a list, reads as an empty list.
QStringList stringList(const QVariant &value)
{
    const int type = value.typeId();
    if (type != QMetaType::QStringList && type != QMetaType::QVariantList)
        return {};
    return value.toStringList();
}

QVariant listValue(const std::optional<QStringList> &list)
{
    return list ? QVariant(*list) : QVariant();
}

} // namespace

Preferences &Preferences::sharedPreferences()
{
    static Preferences preferences(UserDefaults::standardUserDefaults(),
                                   u":/plists/DefaultIgnoredExtensions.plist"_s,
                                   u":/plists/IgnoreList.plist"_s);
    return preferences;
}

Preferences::Preferences(UserDefaults &defaults, const QString &defaultExtensionsResource,
                         const QString &ignoreListResource)
    : m_defaults(defaults)
    , m_defaultExtensionsResource(defaultExtensionsResource)
    , m_ignoreListResource(ignoreListResource)
    , m_propertyMap(makePropertyMap())
{
    setupDefaults();
    populateProperties();
}

void Preferences::setupDefaults()
{
    m_defaults.registerDefaults({
        {minimumFileSizeKey, defaultMinimumFileSize},
        {minimumFileSizeTypeKey, defaultMinimumFileSizeType},
        {useTrashKey, true},
        {ignoreListKey, defaultIgnoreList()},
        {firstRunKey, true},
        {autoSelectTypeKey, defaultAutoSelectType},
        {ignoredPathsKey, defaultIgnoredPaths()},
    });
}

// Loading assigns the members directly, so it writes nothing back.
void Preferences::populateProperties()
{
    m_ignoreList = stringList(m_defaults.objectForKey(ignoreListKey));
    m_ignoredPaths = stringList(m_defaults.objectForKey(ignoredPathsKey));
    m_minFileSize = double(float(checkedNumber(minimumFileSizeKey, 0, largestMinimumFileSize, defaultMinimumFileSize)));
    m_minFileSizeType = qint64(checkedNumber(minimumFileSizeTypeKey, 0, largestUnit, defaultMinimumFileSizeType));
    m_useTrash = m_defaults.boolForKey(useTrashKey);
    m_suppressFinderWarning = m_defaults.boolForKey(suppressFinderWarningKey);
    m_suppressSelectAllWarning = m_defaults.boolForKey(suppressSelectAllWarningKey);
    m_timesRun = m_defaults.integerForKey(timesRunKey);
    m_firstRun = m_defaults.boolForKey(firstRunKey);
    m_suppressSelectAllFilesWarning = m_defaults.boolForKey(suppressSelectAllFilesWarningKey);
    m_suppressDeselectAllFilesWarning = m_defaults.boolForKey(suppressDeselectAllFilesWarningKey);
    m_useHardLinks = m_defaults.boolForKey(useHardLinksKey);
    m_autoSelectType = qint64(checkedNumber(autoSelectTypeKey, 0, 1, defaultAutoSelectType));
}

double Preferences::checkedNumber(const QString &key, double lowest, double highest, double fallback) const
{
    const QVariant stored = m_defaults.objectForKey(key);
    if (const std::optional<double> value = numberInRange(stored, lowest, highest))
        return *value;
    SystemLog::write(u"The setting %1 holds %2, which is no number from %3 to %4; its default %5 is used"_s.arg(
        key, stored.toString(), QString::number(lowest), QString::number(highest), QString::number(fallback)));
    return fallback;
}

QStringList Preferences::defaultIgnoreList() const
{
    QFile resource(m_defaultExtensionsResource);
    if (!resource.exists() || !resource.open(QIODevice::ReadOnly))
        return {};
    const auto parsed = PropertyList::fromData(resource.readAll());
    if (!parsed) {
        SystemLog::write(u"Could not load ignore list because of error: "_s
                         + u"%1 is not a property list"_s.arg(m_defaultExtensionsResource));
        return {};
    }
    return stringList(*parsed);
}

QStringList Preferences::defaultIgnoredPaths() const
{
    const auto parsed = PropertyList::fromFile(m_ignoreListResource);
    if (!parsed || parsed->typeId() != QMetaType::QVariantMap)
        return {};
    return stringList(parsed->toMap().value(u"Preferences"_s));
}

void Preferences::writeBack(const QString &propertyName, const QVariant &value)
{
    const auto key = m_propertyMap.constFind(propertyName);
    if (key == m_propertyMap.cend()) {
        SystemLog::write(u"DEBUG: Could not map: %1 to a settings key"_s.arg(propertyName));
        return;
    }
    if (value.isValid())
        m_defaults.setObject(value, *key);
    else
        m_defaults.removeObject(*key);
    m_defaults.synchronize();
}

template <typename Value>
void Preferences::assign(Value &member, Value value, const QString &propertyName)
{
    member = value;
    writeBack(propertyName, QVariant::fromValue(value));
}

void Preferences::setIgnoreList(const std::optional<QStringList> &ignoreList)
{
    m_ignoreList = ignoreList.value_or(QStringList());
    writeBack(u"ignoreList"_s, listValue(ignoreList));
}

void Preferences::setIgnoredPaths(const std::optional<QStringList> &ignoredPaths)
{
    m_ignoredPaths = ignoredPaths.value_or(QStringList());
    writeBack(u"ignoredPaths"_s, listValue(ignoredPaths));
}

void Preferences::setMinFileSize(double minFileSize)
{
    assign(m_minFileSize, minFileSize, u"minFileSize"_s);
}

void Preferences::setMinFileSizeType(qint64 minFileSizeType)
{
    assign(m_minFileSizeType, minFileSizeType, u"minFileSizeType"_s);
}

void Preferences::setUseTrash(bool useTrash)
{
    assign(m_useTrash, useTrash, u"useTrash"_s);
}

void Preferences::setUseHardLinks(bool useHardLinks)
{
    assign(m_useHardLinks, useHardLinks, u"useHardLinks"_s);
}

void Preferences::setAutoSelectType(qint64 autoSelectType)
{
    assign(m_autoSelectType, autoSelectType, u"autoSelectType"_s);
}

void Preferences::setSuppressSelectAllWarning(bool suppress)
{
    assign(m_suppressSelectAllWarning, suppress, u"suppressSelectAllWarning"_s);
}

void Preferences::setSuppressFinderWarning(bool suppress)
{
    assign(m_suppressFinderWarning, suppress, u"suppressFinderWarning"_s);
}

void Preferences::setSuppressSelectAllFilesWarning(bool suppress)
{
    assign(m_suppressSelectAllFilesWarning, suppress, u"suppressSelectAllFilesWarning"_s);
}

void Preferences::setSuppressDeselectAllFilesWarning(bool suppress)
{
    assign(m_suppressDeselectAllFilesWarning, suppress, u"suppressDeselectAllFilesWarning"_s);
}

void Preferences::setTimesRun(qint64 timesRun)
{
    assign(m_timesRun, timesRun, u"timesRun"_s);
}

void Preferences::setFirstRun(bool firstRun)
{
    assign(m_firstRun, firstRun, u"firstRun"_s);
}
