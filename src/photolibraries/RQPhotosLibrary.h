#pragma once

#include <QString>

// The process-wide view of the Photos application: whether its version is supported, which
// folders are its libraries, and the library taken into the current scan.
class RQPhotosLibrary final
{
public:
    static RQPhotosLibrary &sharedInstance();

    bool pathIsPhotoLibrary(const QString &path) const;

    QString currentLibraryPath() const { return m_currentLibraryPath; }
    void setCurrentLibraryPath(const QString &path) { m_currentLibraryPath = path; }

private:
    RQPhotosLibrary() = default;

    QString m_currentLibraryPath;
};
