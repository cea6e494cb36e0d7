#include "controls/RQDropView.h"

#include "controls/RQDropViewDelegate.h"
#include "foundation/RQDispatch.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "photolibraries/RQiPhotoLibrary.h"
#include "platform/DirectoryWalker.h"
#include "platform/gui/FolderChooser.h"
#include "windows/RQTouchBarController.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QUrl>

#include <algorithm>

RQDropView::RQDropView(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Folders to scan"));
    setAccessibleDescription(tr("Drop folders here, or press Space to choose them"));
}

void RQDropView::setLibraries(const RQiPhotoLibrary &iPhotoLibrary, const RQPhotosLibrary &photosLibrary)
{
    m_iPhotoLibrary = &iPhotoLibrary;
    m_photosLibrary = &photosLibrary;
}

void RQDropView::open()
{
    RQTouchBarController::sharedController().setHidden(true);
    FolderChooser::open(
        window(),
        [view = QPointer(this)](const QString &path) {
            return view && view->shouldAcceptFileWithPath(path, view->heldPaths());
        },
        [view = QPointer(this)](const QStringList &chosenPaths) {
            if (view)
                view->chooserDidEnd(chosenPaths);
        });
}

void RQDropView::chooserDidEnd(const QStringList &chosenPaths)
{
    RQDispatchAfterMain([] { RQTouchBarController::sharedController().setHidden(false); }, 0.2);
    if (chosenPaths.isEmpty())
        return;
    QStringList accepted;
    bool tookPhotosLibrary = false;
    for (const QString &chosen : chosenPaths) {
        const QString path = QDir::cleanPath(chosen);
        if (!shouldAcceptFileWithPath(path, heldPaths() + accepted))
            continue;
        const bool photosLibrary = isPhotosLibrary(path);
        if (photosLibrary && tookPhotosLibrary)
            continue;
        tookPhotosLibrary = tookPhotosLibrary || photosLibrary;
        accepted.append(path);
    }
    addFilePaths(accepted);
    tellFileWasDropped();
}

void RQDropView::addFilePaths(const QStringList &paths)
{
    const QStringList held = heldPaths();
    QStringList kept;
    for (const QString &given : paths) {
        const QString path = QDir::cleanPath(given);
        if (shouldAcceptFileWithPath(path, held + kept))
            kept.append(path);
    }
    QSet<QString> updated = m_filePaths.value_or(QSet<QString>());
    for (const QString &path : std::as_const(kept))
        updated.insert(path);
    m_filePaths = updated;
}

bool RQDropView::shouldAcceptFileWithPath(const QString &path, const QStringList &currentPaths) const
{
    if (!m_acceptingDrops)
        return false;
    // QFileInfo follows links, so a link to a folder is judged as that folder, as the scan
    // takes its roots.
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    if (!DirectoryWalker::isPackageName(QFileInfo(info.canonicalFilePath()).fileName()))
        return true;
    const RQiPhotoLibrary &iPhotoLibrary = m_iPhotoLibrary ? *m_iPhotoLibrary : RQiPhotoLibrary::sharedInstance();
    if (iPhotoLibrary.pathIsPhotoLibrary(path))
        return true;
    if (isPhotosLibrary(path))
        return !holdsPhotosLibrary(currentPaths);
    // Here a folder named like another platform's package is a folder to its user.
    return true;
}

std::optional<QStringList> RQDropView::filePathsWithMimeData(const QMimeData *mimeData)
{
    if (!mimeData || !mimeData->hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = mimeData->urls();
    if (urls.isEmpty() || !std::all_of(urls.cbegin(), urls.cend(), [](const QUrl &url) { return url.isLocalFile(); }))
        return std::nullopt;
    QStringList paths;
    for (const QUrl &url : urls)
        paths.append(QDir::cleanPath(url.toLocalFile()));
    return paths;
}

Qt::DropAction RQDropView::draggingEntered(const QMimeData *mimeData)
{
    const std::optional<QStringList> dragged = filePathsWithMimeData(mimeData);
    if (!dragged)
        return Qt::IgnoreAction;
    QStringList working = heldPaths();
    for (const QString &path : *dragged) {
        if (!shouldAcceptFileWithPath(path, working))
            return Qt::IgnoreAction;
        working.append(path);
    }
    if (m_delegate)
        m_delegate->dropViewDidEnter(*this);
    return Qt::CopyAction;
}

void RQDropView::draggingEnded()
{
    if (m_delegate)
        m_delegate->dropViewDidExit(*this);
}

bool RQDropView::performDragOperation(const QMimeData *mimeData)
{
    const std::optional<QStringList> dragged = filePathsWithMimeData(mimeData);
    if (!dragged)
        return false;
    addFilePaths(*dragged);
    tellFileWasDropped();
    return true;
}

void RQDropView::dragEnterEvent(QDragEnterEvent *event)
{
    const Qt::DropAction action = draggingEntered(event->mimeData());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void RQDropView::dragLeaveEvent(QDragLeaveEvent *event)
{
    draggingEnded();
    event->accept();
}

void RQDropView::dropEvent(QDropEvent *event)
{
    if (!performDragOperation(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Qt sends no leave after a drop; the drag has ended all the same.
    draggingEnded();
}

void RQDropView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        open();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void RQDropView::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        open();
        return;
    }
    QWidget::keyPressEvent(event);
}

QStringList RQDropView::heldPaths() const
{
    return m_filePaths ? QStringList(m_filePaths->cbegin(), m_filePaths->cend()) : QStringList();
}

bool RQDropView::isPhotosLibrary(const QString &path) const
{
    const RQPhotosLibrary &photosLibrary = m_photosLibrary ? *m_photosLibrary : RQPhotosLibrary::sharedInstance();
    return photosLibrary.pathIsPhotoLibrary(path);
}

bool RQDropView::holdsPhotosLibrary(const QStringList &paths) const
{
    return std::any_of(paths.cbegin(), paths.cend(), [this](const QString &path) { return isPhotosLibrary(path); });
}

void RQDropView::tellFileWasDropped()
{
    if (m_delegate)
        m_delegate->dropViewFileWasDropped(*this);
}
