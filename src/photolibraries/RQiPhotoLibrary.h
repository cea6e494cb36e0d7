#pragma once

#include <QString>
#include <QStringList>

// The process-wide view of the iPhoto application: its version and its library folders.
class RQiPhotoLibrary final
{
public:
    static RQiPhotoLibrary &sharedInstance();

    bool pathIsPhotoLibrary(const QString &path) const;
    bool iPhotoVersionIsSupported() const { return false; }
    QStringList libraryPaths() const { return {}; }

private:
    RQiPhotoLibrary() = default;
};
