#include "platform/gui/FileRevealer.h"

#include "platform/gui/AlertSheet.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

FileRevealer::FileRevealer(const QDBusConnection &connection)
    : m_connection(connection)
{
}

void FileRevealer::revealPaths(const QStringList &paths, QWidget *alertWindow) const
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    revealFiles(urls, alertWindow);
}

void FileRevealer::revealFiles(const QList<QUrl> &fileUrls, QWidget *alertWindow) const
{
    if (fileUrls.isEmpty())
        return;
    const QPointer<QWidget> window(alertWindow);
    if (!m_connection.isConnected()) {
        openParentFolders(fileUrls, window);
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
                     [fileUrls, window](QDBusPendingCallWatcher *finished) {
                         if (finished->isError())
                             openParentFolders(fileUrls, window);
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

void FileRevealer::openParentFolders(const QList<QUrl> &fileUrls, const QPointer<QWidget> &alertWindow)
{
    for (const QUrl &folder : parentFolders(fileUrls)) {
        if (!QDesktopServices::openUrl(folder) && alertWindow) {
            showCannotOpenAlert(alertWindow, folder);
            return;
        }
    }
}

void FileRevealer::showCannotOpenAlert(QWidget *window, const QUrl &folder)
{
    auto *alert = new QMessageBox(QMessageBox::Warning, QString(), u"The file manager could not be opened."_s,
                                  QMessageBox::NoButton, window);
    alert->setInformativeText(u"Open the folder \u201c%1\u201d yourself to see the file."_s.arg(folder.toLocalFile()));
    alert->setEscapeButton(rq_addButtonWithTitle(*alert, u"OK"_s));
    rq_beginSheetModalForWindow(alert, window, AlertCompletionHandler());
}
