#pragma once

#include <QIcon>
#include <QString>

// The platform's icon for a file or folder (the desktop theme's icon for its type), and the
// hook that makes FileIconSource answer with it. Main thread only.
class FileIconProvider final
{
public:
    static QIcon iconForFile(const QString &path);
    // Registers iconForFile with FileIconSource; called once when the application starts.
    static void install();

    FileIconProvider() = delete;
};
