#pragma once

#include <QDBusConnection>
#include <QList>
#include <QPointer>
#include <QString>
#include <QUrl>

class QWidget;

// Shows files in the desktop's file manager: one org.freedesktop.FileManager1.ShowItems call
// with every file's URI; when no file manager answers on the bus, each distinct parent folder
// is opened instead. The call does not block: the fallback, when needed, runs on a later turn
// of the main thread's event loop. When a folder cannot be opened either, an alert on the given
// window (while it lives) says so and names the folder. Main thread only.
class FileRevealer final
{
public:
    explicit FileRevealer(const QDBusConnection &connection = QDBusConnection::sessionBus());

    void revealPaths(const QStringList &paths, QWidget *alertWindow = nullptr) const;
    void revealFiles(const QList<QUrl> &fileUrls, QWidget *alertWindow = nullptr) const;

    // The parent folders of the files, each once, in the order first met.
    static QList<QUrl> parentFolders(const QList<QUrl> &fileUrls);

private:
    static void openParentFolders(const QList<QUrl> &fileUrls, const QPointer<QWidget> &alertWindow);
    static void showCannotOpenAlert(QWidget *window, const QUrl &folder);

    QDBusConnection m_connection;
};
