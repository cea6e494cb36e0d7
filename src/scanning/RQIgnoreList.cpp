#include "scanning/RQIgnoreList.h"

#include "platform/ExtendedAttributes.h"
#include "platform/FileTypeInfo.h"
#include "platform/PropertyList.h"
#include "platform/SystemLog.h"
#include "platform/UserAccount.h"
#include "scanning/RQFile.h"
#include "foundation/RQOSVersion.h"
#include "foundation/RQStringPath.h"

#include <QFileInfo>
#include <QStringTokenizer>
#include <QVariantList>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Newer systems moved their own folders, so they ship a list of their own; Linux counts as
// a current system and reads that one.
QString shippedListPath()
{
    return rq_isOperatingSystemAtLeast10_15() ? u":/plists/IgnoreList-Catalina.plist"_s
                                              : u":/plists/IgnoreList.plist"_s;
}

// Case and diacritics do not count: "Ä" and "a" compare equal.
QString foldedForComparison(const QString &text)
{
    QString folded;
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    folded.reserve(decomposed.size());
    for (const QChar character : decomposed) {
        if (character.category() != QChar::Mark_NonSpacing && character.category() != QChar::Mark_Enclosing)
            folded.append(character);
    }
    return folded.toCaseFolded();
}

bool liesUnderAny(const QString &path, const QStringList &folders)
{
    return std::any_of(folders.cbegin(), folders.cend(),
                       [&path](const QString &folder) { return rq_isChildOfPath(path, folder); });
}

QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// "~/Library/" becomes "<home>/Library/": the rest of the entry is appended as one path
// component, so the result has single slashes and exactly one at the end. No value when the
// home folder is unknown, since "~/" would otherwise turn into "/" and take in everything.
std::optional<QString> expandedEntry(const QString &entry)
{
    QString expanded = entry;
    if (entry.startsWith(u'~')) {
        const QString home = RQIgnoreList::actualHomeDirectory();
        if (home.isEmpty())
            return std::nullopt;
        QString rest = entry.mid(1);
        while (rest.startsWith(u'/'))
            rest.remove(0, 1);
        expanded = withoutTrailingSlashes(home);
        if (!rest.isEmpty())
            expanded = withoutTrailingSlashes((expanded == "/"_L1 ? expanded : expanded + u'/') + rest);
    }
    if (!expanded.endsWith(u'/'))
        expanded += u'/';
    return expanded;
}

// The entries of an array of strings; no value when the value is anything else.
std::optional<QStringList> expandedEntries(const QVariant &value)
{
    if (value.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList paths;
    for (const QVariant &entry : value.toList()) {
        if (entry.typeId() != QMetaType::QString)
            return std::nullopt;
        if (const auto path = expandedEntry(entry.toString()))
            paths.append(*path);
    }
    return paths;
}

} // namespace

std::unique_ptr<RQIgnoreList> RQIgnoreList::ignoreList()
{
    std::unique_ptr<RQIgnoreList> list(new RQIgnoreList());
    list->loadSystemPaths();
    list->m_timeMachinePrefixes = {foldedForComparison(u"com.apple.backupd"_s),
                                   foldedForComparison(u"com.apple.metadata:_kTimeMachine"_s)};
    return list;
}

void RQIgnoreList::loadSystemPaths()
{
    loadSystemPaths(shippedListPath());
}

void RQIgnoreList::loadSystemPaths(const QString &listPath)
{
    m_systemPaths.clear();
    m_allowedPaths.clear();
    if (!QFileInfo::exists(listPath))
        return;

    const std::optional<QVariant> root = PropertyList::fromFile(listPath);
    const QVariantMap list = root ? root->toMap() : QVariantMap();
    const auto systemPaths = root && root->typeId() == QMetaType::QVariantMap
        ? expandedEntries(list.value(u"SystemPaths"_s))
        : std::nullopt;
    const auto allowedPaths = list.contains(u"AllowedPaths"_s)
        ? expandedEntries(list.value(u"AllowedPaths"_s))
        : std::optional<QStringList>(QStringList());
    if (!systemPaths || !allowedPaths) {
        SystemLog::write(u"Ignore list is invalid"_s);
        return;
    }
    m_systemPaths = *systemPaths;
    m_allowedPaths = *allowedPaths;
}

bool RQIgnoreList::filePathIsIgnored(const QString &path) const
{
    return !pathHasAllowedOverride(path) && (pathIsIgnored(path) || pathExtensionIsIgnored(path));
}

bool RQIgnoreList::fileIsIgnored(const RQFile &file) const
{
    return filePathIsIgnored(file.path());
}

bool RQIgnoreList::pathIsChildOfSystemPath(const QString &path) const
{
    return !pathHasAllowedOverride(path) && liesUnderAny(path, m_systemPaths);
}

bool RQIgnoreList::pathHasAllowedOverride(const QString &path) const
{
    return liesUnderAny(path, m_allowedPaths);
}

bool RQIgnoreList::pathIsIgnored(const QString &path) const
{
    return liesUnderAny(path, m_ignoredPaths);
}

bool RQIgnoreList::pathExtensionIsIgnored(const QString &path) const
{
    if (m_ignoredExtensions.isEmpty())
        return false;
    // The components are views, and only an extension is copied.
    for (const QStringView component : QStringTokenizer(path, u'/', Qt::SkipEmptyParts)) {
        if (nameExtensionIsIgnored(component))
            return true;
    }
    return false;
}

bool RQIgnoreList::nameExtensionIsIgnored(QStringView name) const
{
    if (m_ignoredExtensions.isEmpty())
        return false;
    const QStringView extension = FileTypeInfo::extensionView(name);
    return !extension.isEmpty() && m_ignoredExtensions.contains(extension.toString().toLower());
}

bool RQIgnoreList::pathIsTimeMachineBackup(const QString &, const QVariantMap &attributes) const
{
    const QVariant extended = attributes.value(u"NSFileExtendedAttributes"_s);
    if (extended.typeId() != QMetaType::QVariantMap)
        return false;
    const QStringList names = extended.toMap().keys();
    return std::any_of(names.cbegin(), names.cend(),
                       [this](const QString &name) { return timeMachinePredicate(name); });
}

bool RQIgnoreList::pathIsTimeMachineBackup(const QString &path) const
{
    const auto names = ExtendedAttributes::namesAtPath(path);
    return names && std::any_of(names->cbegin(), names->cend(),
                                [this](const QString &name) { return timeMachinePredicate(name); });
}

QString RQIgnoreList::actualHomeDirectory()
{
    return UserAccount::homeDirectory();
}

bool RQIgnoreList::timeMachinePredicate(const QString &attributeName) const
{
    const QString folded = foldedForComparison(attributeName);
    return std::any_of(m_timeMachinePrefixes.cbegin(), m_timeMachinePrefixes.cend(),
                       [&folded](const QString &prefix) { return folded.startsWith(prefix); });
}
