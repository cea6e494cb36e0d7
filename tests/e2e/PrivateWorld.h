#pragma once

#include "support/TemporaryFolder.h"

#include <QProcessEnvironment>
#include <QString>

// The application's whole world in one temporary folder: its home, its XDG folders (so its
// settings, caches and home Trash) and the trees it scans, all on one file system. No session
// bus, and a system bus address that leads nowhere, so nothing reaches the user's session,
// the real Trash, logind or the notification service.
class PrivateWorld final
{
public:
    PrivateWorld();
    Q_DISABLE_COPY_MOVE(PrivateWorld)

    QString root() const { return m_folder.path(); }
    QString home() const;
    QString dataHome() const;
    QString trashFolder() const;
    // A fresh folder for one scanned tree, next to the home folder.
    QString treeFolder(const QString &name) const;

    // The environment for the application on the given X display.
    QProcessEnvironment environment(const QString &display) const;

private:
    TemporaryFolder m_folder;
};
