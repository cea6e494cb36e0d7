#pragma once

#include <QString>

#include <atomic>
#include <mutex>

class ApplicationRegistry;

// The process-wide view of the Photos application: whether the installed version is
// supported, which folders are its libraries, and three pieces of state about the current scan
// and removal. The version is checked once, when the object is made; an update of Photos while
// the program runs is not noticed.
//
// Thread-safety: the version answers are fixed after construction. currentLibraryPath is set
// on the scan queue and read on the main thread after the scan; hasPhotosFilesSelected is set
// on the main thread and photosFilesRemoved on the removal queue. Each may be read and written
// from any thread.
class RQPhotosLibrary final
{
public:
    // Made on first use, from any thread, against the system's application registry.
    static RQPhotosLibrary &sharedInstance();

    // A separate object whose version check asks the given registry (tests put a Photos
    // version in their own).
    explicit RQPhotosLibrary(const ApplicationRegistry &registry);
    RQPhotosLibrary(const RQPhotosLibrary &) = delete;
    RQPhotosLibrary &operator=(const RQPhotosLibrary &) = delete;

    // The installed Photos' short version string; null when Photos is not installed or
    // declares none.
    QString currentVersion() const { return m_currentVersion; }
    QString minVersionSupported() const;
    QString maxVersionSupported() const;
    // NO when Photos is not installed.
    bool currentVersionIsSupported() const { return m_currentVersionIsSupported; }

    // The Photos library taken into the current scan; null before a scan takes one in.
    QString currentLibraryPath() const;
    void setCurrentLibraryPath(const QString &path);
    // The removal that was started last included items of the current Photos library.
    bool hasPhotosFilesSelected() const { return m_hasPhotosFilesSelected; }
    void setHasPhotosFilesSelected(bool value) { m_hasPhotosFilesSelected = value; }
    // How many Photos-library items the last removal handed to Photos.
    quint64 photosFilesRemoved() const { return m_photosFilesRemoved; }
    void setPhotosFilesRemoved(quint64 count) { m_photosFilesRemoved = count; }

    // The path's extension is "photoslibrary" exactly (case-sensitive) and the installed
    // Photos is supported. Nothing is read from disk.
    bool pathIsPhotoLibrary(const QString &path) const;

    // The version check: reads Photos' version from the registry, compares it numerically
    // with the bounds and logs an unsupported version. Photos not installed: not supported,
    // no message. A Photos without a version string counts as supported.
    void checkIsSupported(const ApplicationRegistry &registry);

    // Forgets the current library and the count of removed items.
    void reset();

private:
    QString m_currentVersion;
    bool m_currentVersionIsSupported = false;
    mutable std::mutex m_libraryPathMutex;
    QString m_currentLibraryPath;
    std::atomic<bool> m_hasPhotosFilesSelected = false;
    std::atomic<quint64> m_photosFilesRemoved = 0;
};
