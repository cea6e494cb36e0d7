#pragma once

#include <QString>
#include <QStringList>

class ApplicationRegistry;

// The iPhoto application as the program sees it: whether the installed version is recent
// enough, and the user's library folders from iPhoto's recent-libraries list. Only the folders
// in that list count as libraries; no default location is assumed. Version and list are read
// once, when the object is made, and are fixed afterwards (but for checkIphotoSupported), so
// an object may be read from any thread.
class RQiPhotoLibrary final
{
public:
    // Made on first use, from any thread, against the system's application registry and
    // the list in the account's home folder.
    static RQiPhotoLibrary &sharedInstance();

    // A separate object with the same start-up as the shared one (the settings window reads
    // the list again this way).
    RQiPhotoLibrary();
    // The version check asks the given registry and the list is read from plistPath (tests
    // use their own of both).
    RQiPhotoLibrary(const ApplicationRegistry &registry, const QString &plistPath);
    RQiPhotoLibrary(const RQiPhotoLibrary &) = delete;
    RQiPhotoLibrary &operator=(const RQiPhotoLibrary &) = delete;

    // The installed iPhoto's short version string; null when iPhoto is not installed or
    // declares none.
    QString iPhotoVersion() const { return m_iPhotoVersion; }
    // The version is at least iPhotoSupportedVersion; NO when iPhoto is not installed.
    bool iPhotoVersionIsSupported() const { return m_iPhotoVersionIsSupported; }
    QString iPhotoSupportedVersion() const;

    // The library folders of the recent-libraries list, in its order; empty when the list
    // could not be read.
    QStringList libraryPaths() const { return m_libraryPaths; }

    // The path is one of the library folders or lies inside one. The version does not matter.
    bool pathIsPhotoLibrary(const QString &path) const;

    // The recent-libraries list this object reads: by default
    // "Library/Preferences/com.apple.iApps.plist" in the home folder of the account that
    // runs the process, whatever $HOME says.
    QString plistPath() const { return m_plistPath; }

    // The version check again, against the registry: tests put an iPhoto in. Not while a
    // scan runs, which reads the answer on its own thread.
    void checkIphotoSupported(const ApplicationRegistry &registry);

private:
    void parsePaths();

    QString m_iPhotoVersion;
    bool m_iPhotoVersionIsSupported = false;
    QString m_plistPath;
    QStringList m_libraryPaths;
};
