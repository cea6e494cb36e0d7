#pragma once

#include <QSet>
#include <QStringList>
#include <QWidget>

#include <optional>

class QMimeData;
class RQDropViewDelegate;
class RQPhotosLibrary;
class RQiPhotoLibrary;

// The area of the main window that takes the folders to scan, dropped on it or picked in the
// folder chooser it opens on a click, Space or Return. It keeps the accepted folders in a set of
// its own: plain folders (a link to a folder counts as that folder), any number of iPhoto
// libraries and at most one Photos library; files and other packages are refused. A drag is
// taken only when all of its items are local paths and every one is acceptable. Main thread
// only.
class RQDropView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQDropView)

public:
    explicit RQDropView(QWidget *parent = nullptr);

    // None until the first paths are added and again after clear().
    const std::optional<QSet<QString>> &filePaths() const { return m_filePaths; }
    void setFilePaths(const std::optional<QSet<QString>> &paths) { m_filePaths = paths; }
    void clear() { m_filePaths.reset(); }

    // Not owned; may be null.
    RQDropViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(RQDropViewDelegate *delegate) { m_delegate = delegate; }

    // While off, every drag and every entry of the chooser is refused.
    bool acceptingDrops() const { return m_acceptingDrops; }
    void setAcceptingDrops(bool accepting) { m_acceptingDrops = accepting; }

    // The libraries that tell iPhoto and Photos libraries apart; the shared ones by default.
    // Not owned; they must outlive the view.
    void setLibraries(const RQiPhotoLibrary &iPhotoLibrary, const RQPhotosLibrary &photosLibrary);

    // Opens the folder chooser on the view's window, with the Touch Bar hidden until it ends.
    void open();
    // The end of the chooser: the chosen paths in the order they were picked, none when it was
    // cancelled. Of several Photos libraries only the first is taken. The Touch Bar comes back
    // 0.2 seconds later, whichever way the chooser ended.
    void chooserDidEnd(const QStringList &chosenPaths);

    // Adds those of the paths that are acceptable against the set and the ones kept before them.
    void addFilePaths(const QStringList &paths);
    // The acceptance rule, against the paths already taken.
    bool shouldAcceptFileWithPath(const QString &path, const QStringList &currentPaths) const;
    // The local paths of a drag, cleaned; none unless every item is a local file.
    static std::optional<QStringList> filePathsWithMimeData(const QMimeData *mimeData);

    // The dragging-destination answers, shared with the drop button.
    Qt::DropAction draggingEntered(const QMimeData *mimeData);
    void draggingEnded();
    bool performDragOperation(const QMimeData *mimeData);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QStringList heldPaths() const;
    bool isPhotosLibrary(const QString &path) const;
    bool holdsPhotosLibrary(const QStringList &paths) const;
    void tellFileWasDropped();

    std::optional<QSet<QString>> m_filePaths;
    RQDropViewDelegate *m_delegate = nullptr;
    bool m_acceptingDrops = true;
    const RQiPhotoLibrary *m_iPhotoLibrary = nullptr;
    const RQPhotosLibrary *m_photosLibrary = nullptr;
};
