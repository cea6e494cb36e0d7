#include "platform/gui/FileRevealer.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

FileRevealer::FileRevealer(const QDBusConnection &connection)
    : m_connection(connection)
{
}

void FileRevealer::revealPaths(const QStringList &paths) const
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    revealFiles(urls);
}

void FileRevealer::revealFiles(const QList<QUrl> &fileUrls) const
{
    if (fileUrls.isEmpty())
        return;
    if (!m_connection.isConnected()) {
        openParentFolders(fileUrls);
        return;
    }
    QStringList uris;
    uris.reserve(fileUrls.size());
    for (const QUrl &url : fileUrls)
        uris.append(url.toString(QUrl::FullyEncoded));
    QDBusMessage call = QDBusMessage::createMethodCall(
        u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
        u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << uris << QString();
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [fileUrls](QDBusPendingCallWatcher *finished) {
                         if (finished->isError())
                             openParentFolders(fileUrls);
                         finished->deleteLater();
                     });
}

QList<QUrl> FileRevealer::parentFolders(const QList<QUrl> &fileUrls)
{
    QList<QUrl> folders;
    for (const QUrl &url : fileUrls) {
        QString path = url.toLocalFile();
        // A folder's own trailing "/" does not make it its own parent.
        while (path.size() > 1 && path.endsWith(u'/'))
            path.chop(1);
        const QUrl folder = QUrl::fromLocalFile(QFileInfo(path).path());
        if (!folders.contains(folder))
            folders.append(folder);
    }
    return folders;
}

void FileRevealer::openParentFolders(const QList<QUrl> &fileUrls)
{
    for (const QUrl &folder : parentFolders(fileUrls))
        QDesktopServices::openUrl(folder);
}
