#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class RQFile;

// Answers the walk's questions about a path: system folder, ignored by the user's folders or
// extensions, Time Machine backup. Made on the main thread, then read by the scan only.
class RQIgnoreList final
{
public:
    static std::unique_ptr<RQIgnoreList> ignoreList();

    void setIgnoredPaths(const QStringList &paths) { m_ignoredPaths = paths; }
    void setIgnoredExtensions(const QStringList &extensions) { m_ignoredExtensions = extensions; }

    bool filePathIsIgnored(const QString &path) const;
    bool fileIsIgnored(const RQFile &file) const;
    bool pathIsChildOfSystemPath(const QString &path) const;
    // attributes: the item's resource values; its "NSFileExtendedAttributes" entry maps
    // extended-attribute names to values.
    bool pathIsTimeMachineBackup(const QString &path, const QVariantMap &attributes) const;

private:
    RQIgnoreList() = default;

    QStringList m_ignoredPaths;
    QStringList m_ignoredExtensions;
};
