#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class RQFile;

// Answers the walk's questions about a path: system folder, ignored by the user's folders or
// extensions, Time Machine backup. The system and allowed folders come from the shipped list
// ":/plists/IgnoreList-Catalina.plist"; the allowed folders win over the system folders and
// over the user's ignored folders and extensions (not over the backup tests). Every folder
// test counts a folder as lying under itself. Made on the main thread, then read by the scan
// only: nothing is changed once the scan has started.
class RQIgnoreList final
{
public:
    // A new list with the shipped system and allowed folders loaded.
    static std::unique_ptr<RQIgnoreList> ignoreList();

    RQIgnoreList(const RQIgnoreList &) = delete;
    RQIgnoreList &operator=(const RQIgnoreList &) = delete;

    // Replaces the system and allowed folders with those of the shipped list, or of the
    // property list at listPath: a dictionary with an array of path strings under
    // "SystemPaths" and, optionally, another under "AllowedPaths". An entry that begins with
    // "~" is taken below actualHomeDirectory(); every entry gets one trailing "/". A missing
    // file leaves both lists empty silently; anything else that is not such a list leaves
    // them empty and logs "Ignore list is invalid".
    void loadSystemPaths();
    void loadSystemPaths(const QString &listPath);

    QStringList systemPaths() const { return m_systemPaths; }
    QStringList allowedPaths() const { return m_allowedPaths; }

    // Folder paths, and extensions in lower case without the dot, as the settings hold them.
    QStringList ignoredPaths() const { return m_ignoredPaths; }
    void setIgnoredPaths(const QStringList &paths) { m_ignoredPaths = paths; }
    QStringList ignoredExtensions() const { return m_ignoredExtensions; }
    void setIgnoredExtensions(const QStringList &extensions) { m_ignoredExtensions = extensions; }

    // Not allowed, and under an ignored folder or with an ignored extension on any component.
    bool filePathIsIgnored(const QString &path) const;
    bool fileIsIgnored(const RQFile &file) const;
    // Not allowed, and under a system folder.
    bool pathIsChildOfSystemPath(const QString &path) const;
    bool pathHasAllowedOverride(const QString &path) const;
    bool pathIsIgnored(const QString &path) const;
    // Some component of the path, a folder above included, has an extension whose lower-case
    // form is one of the ignored extensions.
    bool pathExtensionIsIgnored(const QString &path) const;
    // The extension of this one name (a path component) is ignored.
    bool nameExtensionIsIgnored(QStringView name) const;

    // attributes: the item's resource values; its "NSFileExtendedAttributes" entry maps
    // extended-attribute names to values. A backup is marked by a name that begins with
    // "com.apple.backupd" or "com.apple.metadata:_kTimeMachine", in any case and with or
    // without diacritics. The path is not used.
    bool pathIsTimeMachineBackup(const QString &path, const QVariantMap &attributes) const;
    // The same test on the attributes read from the item itself; unreadable ones give NO.
    bool pathIsTimeMachineBackup(const QString &path) const;

    // The home folder of the account that runs the process, from the password database.
    static QString actualHomeDirectory();

private:
    RQIgnoreList() = default;

    bool timeMachinePredicate(const QString &attributeName) const;

    QStringList m_systemPaths;
    QStringList m_allowedPaths;
    QStringList m_timeMachinePrefixes;
    QStringList m_ignoredPaths;
    QStringList m_ignoredExtensions;
};
